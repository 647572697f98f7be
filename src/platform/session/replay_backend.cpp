// The replay backend: headless like the script backend, but its clock and input come from a
// recording. Each wait ends at the reading the recorded wait ended at, and each poll and wait
// queues what arrived in it then; the session (session.cpp) holds the recording and says where
// the game goes another way.
#include "platform/session/replay_backend.h"

#include "platform/core/input.h"
#include "platform/session/session.h"
#include "platform/video/present.h"

namespace {

class ReplayBackend : public Backend {
public:
    bool Init(const PlatformOptions&) override {
        now_ = SessionReplayClockStart();
        return true;
    }
    void Shutdown() override {}
    uint32_t Now() override { return now_; }
    void Poll() override { SessionReplayPoll(); }
    void Wait(uint32_t deadline, bool) override { SessionReplayWait(deadline, &now_); }
    // Presented as the script backend does: every picture reaches its (absent) screen.
    bool Present(const Rect&, bool) override { return PlatformPresentedPicture() != nullptr; }
    void DisplayModeChanged(int, int) override {}
    void WarpPointer(int x, int y) override { InputSetPointer(x, y); }
    bool Headless() const override { return true; }

private:
    uint32_t now_ = 0;
};

}  // namespace

Backend* MakeReplayBackend() { return new ReplayBackend; }
