#pragma once
// The player's own choices that the game remembers from one run to the next: the volumes, the
// aids of the match, the screen and the way of presenting. Never anything of a match. The text
// form is a small file of `key=value` lines under a version line; this file reads and writes
// that text, the shell keeps it on disk.

#include <string>
#include <string_view>
#include <vector>

#include "state/language.h"

constexpr int VOLUME_STEPS = 10;  // 10 is the game's own loudness, 0 silence
constexpr int SCALE_MIN = 1;
constexpr int SCALE_MAX = 8;
// A remembered window size outside these bounds is not one the game made.
constexpr int WINDOW_SIZE_MIN = 160;
constexpr int WINDOW_SIZE_MAX = 16384;

enum class RendererSetting { AUTO, GPU, SOFTWARE };
// How the picture is scaled to the screen: to fit, or by whole multiples.
enum class ScalingSetting { FIT, INTEGER };

struct Settings {
    int musicVolume = VOLUME_STEPS;
    int effectsVolume = VOLUME_STEPS;
    bool kindLabels = false;
    bool lastMove = false;
    bool coordinates = false;
    bool fullScreen = true;
    int scale = 2;
    // The window's size after the player resized it; 0 when the window is scale x 640x480.
    int windowWidth = 0;
    int windowHeight = 0;
    RendererSetting renderer = RendererSetting::AUTO;
    ScalingSetting scaling = ScalingSetting::FIT;
    // The sides the computer plays (bit 0 the first side, bit 1 the second) and its level.
    int computerSides = 0;
    int computerLevel = 3;
    // The language of the game's words and pictures.
    Language language = Language::JAPANESE;
    // Lines of keys this version does not know (another version's choices), kept as they were
    // read so that writing the file again loses nothing.
    std::vector<std::string> otherLines;

    bool operator==(const Settings&) const = default;
};

// What reading the text found.
struct SettingsRead {
    // Empty when the text is a settings file; else why it is not one, and the values are the
    // defaults.
    std::string fileProblem;
    // One line for each key whose value could not be taken (that key keeps its default).
    std::vector<std::string> keyProblems;
};

// Reads the text of a settings file into *out, which is reset to the defaults first. The text
// is untrusted: any bytes give either a whole set of values or a file problem.
SettingsRead ParseSettings(std::string_view text, Settings* out);
// The text of a settings file holding these values; ParseSettings gives them back.
std::string FormatSettings(const Settings& settings);

// The same values on one line of `key=value` words joined by commas, without the other lines, as
// a recording keeps them; ParseSettingsLine reads it as ParseSettings reads a file.
std::string FormatSettingsLine(const Settings& settings);
SettingsRead ParseSettingsLine(std::string_view line, Settings* out);

// The values of base, with every choice that differs between from and to taken from to (the
// choices a run made, laid over the file it started from; the window's size counts as one).
Settings WithChanges(const Settings& base, const Settings& from, const Settings& to);

// The renderer's word in the file and on the command line: "auto", "gpu", "software".
const char* RendererSettingName(RendererSetting renderer);
