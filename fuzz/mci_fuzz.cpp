// libFuzzer target: the music command parser and the sequencer state behind it. The input is
// a list of commands, one a line; the first byte of each line also moves the clock on.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/audio/mci.h"

namespace {

uint32_t FuzzClock = 0;

// Plays any path ending in ".mid" for a length taken from the path, without touching files.
class FuzzMusic : public MusicOutput {
public:
    bool Load(const std::string& path, std::string* error) override {
        if (path.size() < 4 || path.compare(path.size() - 4, 4, ".mid") != 0) {
            *error = "not a .mid";
            return false;
        }
        time_.LoadLength(static_cast<uint32_t>(path.size()) * 37);
        loaded_ = true;
        return true;
    }
    void Start() override { Check(), time_.Start(); }
    void Pause() override { Check(), time_.Pause(); }
    void Resume() override { Check(), time_.Resume(); }
    bool Ended() override { return Check(), time_.Ended(); }
    void Unload() override {
        Check();
        time_.Unload();
        loaded_ = false;
    }

private:
    // The device must never drive a piece it has not loaded.
    void Check() const {
        if (!loaded_) std::abort();
    }
    SimulatedMusic time_{[] { return FuzzClock; }};
    bool loaded_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzClock = 0;
    MciDevice device(std::make_unique<FuzzMusic>());
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty()) FuzzClock += static_cast<uint8_t>(line[0]) * 16u;
        std::string reply;
        uint32_t result = device.Send(line.c_str(), &reply);
        MciCommand parsed;
        bool parses = ParseMciCommand(line.c_str(), &parsed);
        if (!parses && result != MCI_ERR_SYNTAX) std::abort();
        if (!reply.empty() && reply != "playing" && reply != "stopped") std::abort();
        if (!reply.empty() && (parsed.verb != MciVerb::STATUS_MODE || result != MCI_OK)) {
            std::abort();
        }
        start = end + 1;
    }
    return 0;
}
