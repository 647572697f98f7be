#pragma once
// Asks what the accelerated renderer would be, in a child process started before SDL: loading
// a GL stack only to learn that it rasterises on the CPU costs tens of megabytes and tens of
// milliseconds that would then stay in the game's process for the whole run. The child makes a
// hidden window and a renderer, writes what they report into a pipe and ends; the game goes on
// starting up, and presenting, meanwhile, and takes the answer when it has come.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/video/presentation.h"

class RendererProbe {
public:
    RendererProbe() = default;
    RendererProbe(const RendererProbe&) = delete;
    RendererProbe& operator=(const RendererProbe&) = delete;
    ~RendererProbe() { Abandon(); }

    // Forks the child, which has timeoutMs to answer. Call before SDL starts (the child must
    // not inherit SDL's connections).
    void Start(int timeoutMs);
    // The report once the child has given it, without waiting; a child that fails, dies or
    // runs out of time reports no renderer. Nothing while it is still working.
    std::optional<RendererReport> Poll();
    // Ends a child that is still running, without waiting for its answer.
    void Abandon();

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    int64_t deadlineMs_ = 0;
    std::string text_;
};
