// The core's start and end: the backend it runs on, the parts above it, the seed, the data
// directory named in messages, the shutdown, and the way out with the trace's last line, the
// recorder's end and the dump asked for at the end.
#include "platform/core/lifecycle.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/core/backend.h"
#include "platform/core/input.h"
#include "platform/core/platform.h"
#include "platform/core/recorder.h"
#include "platform/core/trace.h"

// The sanitizer build checks for leaks on the way out (see PlatformExit).
#if defined(__SANITIZE_ADDRESS__)
#define KELMORAV_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELMORAV_LEAK_CHECK 1
#endif
#endif
#ifdef KELMORAV_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace {

std::unique_ptr<Backend> Active;
CoreParts Parts;
std::string DataDirectory;  // as given at start-up, for messages
std::string DumpAtEnd;      // --dump-at-end
uint32_t Seed = 0;

void WriteDumpAtEnd() {
    if (DumpAtEnd.empty()) return;
    std::ofstream out(DumpAtEnd, std::ios::out | std::ios::trunc);
    if (!out) {
        std::fprintf(stderr, "kelmorav: cannot write %s\n", DumpAtEnd.c_str());
        return;
    }
    const GameHooks& hooks = InputHooks();
    out << (hooks.dumpState ? hooks.dumpState() : std::string("{}")) << "\n";
}

void AbandonSession() {
    if (ActiveRecorder()) ActiveRecorder()->Abandon();
}

// Enters the data directory given at start-up; false, after one line, when it cannot be.
bool EnterDataDirectory(const std::string& dir) {
    if (dir.empty()) return true;
    std::error_code ec;
    std::filesystem::current_path(dir, ec);
    if (!ec) return true;
    std::fprintf(stderr, "kelmorav: cannot use the data directory %s: %s\n", dir.c_str(),
                 ec.message().c_str());
    return false;
}

}  // namespace

Backend* ActiveBackend() { return Active.get(); }

void SetCoreParts(const CoreParts& parts) { Parts = parts; }

const CoreParts& InstalledCoreParts() { return Parts; }

void CoreRemember(const PlatformOptions& options) {
    DataDirectory = options.dataDir;
    DumpAtEnd = options.dumpAtEndPath.empty()
                    ? std::string()
                    : std::filesystem::absolute(options.dumpAtEndPath).string();
    Seed = options.seed;
}

bool CoreStart(const PlatformOptions& options, Backend* backend, uint32_t seed) {
    Seed = seed;
    Active.reset(backend);
    if (!options.tracePath.empty()) TraceOpen(options.tracePath);
    ScreenState screen;
    screen.fullScreen = !options.windowed;
    screen.scale = options.scale;
    screen.windowWidth = options.windowWidth;
    screen.windowHeight = options.windowHeight;
    screen.scaling = options.scaling;
    Active->StartScreen(screen);
    if (!Active->Init(options)) {
        Active.reset();
        AbandonSession();
        return false;
    }
    if (!EnterDataDirectory(options.dataDir)) {
        PlatformShutdown();
        AbandonSession();
        return false;
    }
    const uint32_t clock = Active->Now();
    Recorder* recorder = ActiveRecorder();
    if (recorder) recorder->Start(clock);
    LatchClock(clock, recorder && recorder->Recording());
    return true;
}

uint32_t PlatformSeed() { return Seed; }

void PlatformShutdown() {
    if (Parts.closeAudio) Parts.closeAudio();
    if (Active) {
        Active->Shutdown();
        Active.reset();
    }
}

void PlatformExit(int status) {
    const uint32_t moved = StopGathering();
    if (ActiveRecorder()) status = ActiveRecorder()->End(status, moved);
    WriteDumpAtEnd();
    TraceLine("\"exit\":" + std::to_string(status));
    TraceClose();
    PlatformShutdown();
    std::fflush(stdout);
    std::fflush(stderr);
#ifdef KELMORAV_LEAK_CHECK
    // _Exit skips the leak checker's own check at exit, so it runs here, after the teardown:
    // a leak found ends the program with the checker's report and status.
    __lsan_do_leak_check();
#endif
    std::_Exit(status);
}

bool PlatformIsHeadless() { return Active && Active->Headless(); }

std::string UserPath(const char* gamePath) {
    std::string host = HostPath(gamePath);
    if (DataDirectory.empty() || (!host.empty() && host.front() == '/')) return host;
    return DataDirectory + (DataDirectory.back() == '/' ? "" : "/") + host;
}
