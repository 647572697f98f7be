#pragma once
// Asks what the accelerated renderer would be, in a child process started before SDL: loading
// a GL stack only to learn that it rasterises on the CPU costs tens of megabytes and tens of
// milliseconds that would then stay in the game's process for the whole run. The child makes a
// hidden window and a renderer, writes what they report into a pipe and ends; the game goes on
// starting up meanwhile and reads the answer when it first presents a picture.

#include <sys/types.h>

#include "platform/presentation.h"

class RendererProbe {
public:
    RendererProbe() = default;
    RendererProbe(const RendererProbe&) = delete;
    RendererProbe& operator=(const RendererProbe&) = delete;
    ~RendererProbe() { Abandon(); }

    // Forks the child. Call before SDL starts (it must not inherit SDL's connections).
    void Start();
    bool Started() const { return pid_ > 0; }
    // Waits up to timeoutMs for the child's report and reaps it. A child that fails, dies or
    // does not answer in time reports no renderer.
    RendererReport Finish(int timeoutMs);
    // Ends a child that is still running, without waiting for its answer.
    void Abandon();

private:
    pid_t pid_ = -1;
    int fd_ = -1;
};
