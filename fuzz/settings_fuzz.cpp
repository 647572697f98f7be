// libFuzzer target: the settings reader on arbitrary file contents. Any bytes give either the
// defaults with one line of reason, or a whole set of values each in its range with one line for
// each value it could not take; what was read, written out again, reads back the same and
// writes the same file (the keys of other versions kept); the one-line form a recording keeps
// reads back to the same values.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "state/settings.h"

namespace {

bool InRange(const Settings& s) {
    return s.musicVolume >= 0 && s.musicVolume <= VOLUME_STEPS && s.effectsVolume >= 0 &&
           s.effectsVolume <= VOLUME_STEPS && s.scale >= SCALE_MIN && s.scale <= SCALE_MAX &&
           (s.windowWidth == 0 ||
            (s.windowWidth >= WINDOW_SIZE_MIN && s.windowWidth <= WINDOW_SIZE_MAX)) &&
           (s.windowHeight == 0 ||
            (s.windowHeight >= WINDOW_SIZE_MIN && s.windowHeight <= WINDOW_SIZE_MAX));
}

bool OneLine(const std::string& text) {
    return !text.empty() && text.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Settings read;
    const SettingsRead r = ParseSettings(text, &read);
    FUZZ_CHECK(InRange(read));
    if (!r.fileProblem.empty()) {
        FUZZ_CHECK(OneLine(r.fileProblem));
        FUZZ_CHECK(read == Settings{});
        FUZZ_CHECK(r.keyProblems.empty());
        return 0;
    }
    for (const std::string& problem : r.keyProblems) FUZZ_CHECK(!problem.empty());

    const std::string written = FormatSettings(read);
    Settings again;
    const SettingsRead r2 = ParseSettings(written, &again);
    FUZZ_CHECK(r2.fileProblem.empty() && r2.keyProblems.empty());
    FUZZ_CHECK(again == read);
    FUZZ_CHECK(FormatSettings(again) == written);

    Settings fromLine;
    const SettingsRead r3 = ParseSettingsLine(FormatSettingsLine(read), &fromLine);
    FUZZ_CHECK(r3.fileProblem.empty() && r3.keyProblems.empty());
    fromLine.otherLines = read.otherLines;
    FUZZ_CHECK(fromLine == read);
    return 0;
}
