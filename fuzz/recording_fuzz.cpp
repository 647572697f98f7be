// libFuzzer target: the reader of session recordings. Whatever it accepts must write back
// into a recording that reads the same session (the same header, the same end, and the same
// streams of gathers and replies once runs of alike items are counted together), and that
// writes back to the very same text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/session/recording.h"

namespace {

// The version the input claims, so that any version's recording reaches the lines below it.
std::string ClaimedVersion(const std::string& text) {
    const size_t at = text.find("\ngame ");
    if (at == std::string::npos) return "1.0.0";
    const size_t start = at + 6;
    size_t end = start;
    while (end < text.size() && text[end] != '\n' && text[end] != ' ' && text[end] != '\r' &&
           text[end] != '\t') {
        ++end;
    }
    return text.substr(start, end - start);
}

struct Run {
    std::string item;  // the item with its count left out
    uint64_t count;
};

void Add(std::vector<Run>* runs, const std::string& item, uint64_t count, bool mergeable) {
    if (mergeable && !runs->empty() && runs->back().item == item) {
        runs->back().count += count;
    } else {
        runs->push_back(Run{item, count});
    }
}

std::string Key(const RecordedGather& g) {
    std::string key = (g.kind == GatherKind::WAIT ? "w" : "p") + std::to_string(g.late) + "/" +
                      std::to_string(g.poll);
    for (const Message& m : g.input.messages) {
        key += " " + std::to_string(static_cast<int>(m.type)) + ":" + std::to_string(m.wparam);
    }
    if (g.input.pointerMoved)
        key += " @" + std::to_string(g.input.x) + "," + std::to_string(g.input.y);
    return key;
}

std::string Key(const RecordedAnswer& a) {
    return std::to_string(static_cast<int>(a.kind)) + (a.yes ? "+" : "-") +
           std::to_string(a.result) + "/" + a.reply;
}

// The session as the replay walks it: alike items in a row counted together.
std::vector<Run> Walk(const Recording& r) {
    std::vector<Run> runs;
    for (const RecordedGather& g : r.gathers) {
        if (g.repeat == 0 || g.repeat > RECORDING_MAX_REPEAT) std::abort();
        Add(&runs, Key(g), g.repeat, g.kind == GatherKind::WAIT && g.input.Empty());
    }
    runs.push_back(Run{"--", 0});
    for (const RecordedAnswer& a : r.answers) {
        if (a.repeat == 0 || a.repeat > RECORDING_MAX_REPEAT) std::abort();
        Add(&runs, Key(a), a.repeat, true);
    }
    return runs;
}

bool SameRuns(const std::vector<Run>& a, const std::vector<Run>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].item != b[i].item || a[i].count != b[i].count) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string version = ClaimedVersion(text);
    Recording first;
    std::string error;
    if (!ParseRecording(text, version, &first, &error)) {
        if (error.empty()) std::abort();  // every refusal says why
        return 0;
    }
    const std::string written = RecordingText(first);
    Recording second;
    if (!ParseRecording(written, version, &second, &error)) std::abort();
    const RecordingHeader& a = first.header;
    const RecordingHeader& b = second.header;
    if (a.game != b.game || a.made != b.made || a.seed != b.seed || a.clock != b.clock ||
        a.data != b.data || a.computer != b.computer) {
        std::abort();
    }
    if (first.ended != second.ended || first.exitStatus != second.exitStatus ||
        first.exitClock != second.exitClock) {
        std::abort();
    }
    if (!SameRuns(Walk(first), Walk(second))) std::abort();
    if (RecordingText(second) != written) std::abort();
    return 0;
}
