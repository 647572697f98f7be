// The headless backend: no window and no devices. A virtual clock advances only while the
// program waits; a script supplies the input at given virtual times and asks for screenshots
// and state dumps. With a fixed seed a run is fully deterministic.
#include "platform/session/headless_backend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/input.h"
#include "platform/session/script.h"
#include "platform/video/png_write.h"
#include "platform/video/present.h"

namespace {

ScriptRefill Refill = nullptr;

class HeadlessBackend : public Backend {
public:
    bool Init(const PlatformOptions& options) override {
        now_ = options.clockStart;
        if (options.scriptPath.empty()) {
            std::fprintf(stderr, "kelmorav: --headless needs --script FILE\n");
            PlatformExit(2);
        }
        std::string error;
        if (!LoadScriptFile(options.scriptPath, &ops_, &error)) {
            std::fprintf(stderr, "kelmorav: %s\n", error.c_str());
            PlatformExit(2);
        }
        return true;
    }

    void Shutdown() override {}

    uint32_t Now() override { return now_; }

    void Poll() override { RunScript(); }

    void Wait(uint32_t deadline, bool takeMessages) override {
        for (;;) {
            RunScript();
            if (takeMessages && !InputQueueEmpty()) return;
            if (static_cast<int32_t>(deadline - now_) <= 0) return;
            uint32_t next = deadline;
            if (opStarted_ && pc_ < ops_.size()) {
                const uint32_t bound =
                    ops_[pc_].type == ScriptOpType::Until ? untilLimit_ : resumeAt_;
                if (static_cast<int32_t>(bound - next) < 0) next = bound;
            }
            now_ = next;
        }
    }

    bool Present(const Rect&, bool) override {
        const Surface* primary = PlatformPresentedPicture();
        if (primary == nullptr) return false;
        shotWidth_ = primary->width;
        shotHeight_ = primary->height;
        shotPixels_.resize(static_cast<size_t>(shotWidth_) * shotHeight_);
        // Row by row: the picture is copied at every presentation, which makes this copy the
        // bulk of a long headless run's work when done a pixel at a time.
        for (int y = 0; y < shotHeight_; ++y) {
            std::memcpy(shotPixels_.data() + static_cast<size_t>(y) * shotWidth_,
                        primary->pixels.data() + static_cast<size_t>(y) * primary->pitch,
                        static_cast<size_t>(shotWidth_));
        }
        const PaletteEntry* pal = InstalledPalette();
        for (int i = 0; i < 256; ++i) shotPalette_[i] = pal[i];
        return true;
    }

    void DisplayModeChanged(int, int) override {}
    void WarpPointer(int x, int y) override { InputSetPointer(x, y); }
    bool Headless() const override { return true; }

private:
    // Runs script operations whose time has come. Called at every wait and poll.
    void RunScript() {
        // A dump asks the game for its state, which may poll the platform again: the script
        // is not re-entered from there.
        if (inScript_) return;
        inScript_ = true;
        RunScriptOps();
        inScript_ = false;
    }

    // Asks the refill for more script once the ops have run out; true when it gave some.
    bool MoreScript() {
        if (Refill == nullptr || closeSent_) return false;
        std::string text;
        if (!Refill(&text)) return false;
        std::vector<ScriptOp> more;
        std::string error;
        if (!ParseScript(text, &more, &error)) {
            std::fprintf(stderr, "kelmorav: more script: %s\n", error.c_str());
            PlatformExit(2);
        }
        // Every op so far has run: a long session keeps only the ones still to come.
        ops_ = std::move(more);
        pc_ = 0;
        return !ops_.empty();
    }

    void RunScriptOps() {
        while (pc_ < ops_.size() || MoreScript()) {
            const ScriptOp& op = ops_[pc_];
            switch (op.type) {
            case ScriptOpType::Wait:
                if (!opStarted_) {
                    opStarted_ = true;
                    resumeAt_ = now_ + static_cast<uint32_t>(op.a);
                }
                if (static_cast<int32_t>(now_ - resumeAt_) < 0) return;
                break;
            case ScriptOpType::Until: {
                if (!opStarted_) {
                    opStarted_ = true;
                    untilLimit_ = now_ + static_cast<uint32_t>(op.b);
                }
                const GameHooks& hooks = InputHooks();
                const int scene = hooks.scene ? hooks.scene() : -1;
                if (scene != op.a) {
                    if (static_cast<int32_t>(now_ - untilLimit_) >= 0) {
                        std::fprintf(stderr,
                                     "kelmorav: script line %d: scene %s not reached within %d ms "
                                     "(scene is %d)\n",
                                     op.line, op.text.c_str(), op.b, scene);
                        PlatformExit(3);
                    }
                    return;
                }
                break;
            }
            case ScriptOpType::Move: InputSetPointer(op.a, op.b); break;
            case ScriptOpType::Down:
                if (op.a == 0) {
                    InputPushMessage(
                        {op.b ? MessageType::LButtonDblClk : MessageType::LButtonDown, 0});
                } else {
                    InputPushMessage(
                        {op.b ? MessageType::RButtonDblClk : MessageType::RButtonDown, 0});
                }
                break;
            case ScriptOpType::Up:
                InputPushMessage({op.a == 0 ? MessageType::LButtonUp : MessageType::RButtonUp, 0});
                break;
            case ScriptOpType::Key:
                InputPushMessage({op.b ? MessageType::KeyDown : MessageType::KeyUp,
                                  static_cast<uint32_t>(op.a)});
                break;
            case ScriptOpType::Shot: Shot(op.text); break;
            case ScriptOpType::Dump: Dump(op.text); break;
            case ScriptOpType::Quit: InputPushMessage({MessageType::Close, 0}); break;
            }
            opStarted_ = false;
            ++pc_;
        }
        if (!closeSent_) {
            // The script has run out: the run ends as if the window were closed.
            closeSent_ = true;
            InputPushMessage({MessageType::Close, 0});
        }
    }

    void Shot(const std::string& path) {
        if (shotPixels_.empty()) {
            std::fprintf(stderr, "kelmorav: shot %s: nothing has been presented yet\n",
                         path.c_str());
            return;
        }
        WritePalettedPng(path, shotWidth_, shotHeight_, shotPixels_.data(), shotWidth_,
                         shotPalette_);
    }

    void Dump(const std::string& path) {
        const GameHooks& hooks = InputHooks();
        const std::string state = (hooks.dumpState ? hooks.dumpState() : std::string("{}")) + "\n";
        // Whole or not at all: a program watching the folder never reads half a dump.
        if (!WriteFileWhole(path, [&state](std::FILE* f) {
                return std::fwrite(state.data(), 1, state.size(), f) == state.size();
            })) {
            std::fprintf(stderr, "kelmorav: cannot write %s\n", path.c_str());
        }
    }

    uint32_t now_ = 0;
    std::vector<ScriptOp> ops_;
    size_t pc_ = 0;
    bool opStarted_ = false;
    uint32_t resumeAt_ = 0;
    uint32_t untilLimit_ = 0;
    bool closeSent_ = false;
    bool inScript_ = false;

    int shotWidth_ = 0;
    int shotHeight_ = 0;
    std::vector<uint8_t> shotPixels_;
    PaletteEntry shotPalette_[256];
};

}  // namespace

void SetScriptRefill(ScriptRefill refill) { Refill = refill; }

Backend* MakeHeadlessBackend() { return new HeadlessBackend; }
