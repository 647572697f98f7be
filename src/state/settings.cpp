#include "state/settings.h"

#include <charconv>
#include <cstddef>
#include <utility>

namespace {

constexpr std::string_view VERSION_WORD = "kelmorav-settings";
constexpr int FORMAT_VERSION = 1;
// A settings file is a dozen short lines; anything much larger is not one.
constexpr size_t MAX_FILE_BYTES = size_t{64} * 1024;
constexpr size_t MAX_LINE_BYTES = 1024;
// The keys of other versions kept for the next write, so that what is written always reads
// back: a file of the most such lines still fits under MAX_FILE_BYTES with this version's own.
constexpr size_t MAX_OTHER_BYTES = size_t{32} * 1024;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

bool ReadInt(std::string_view text, int lo, int hi, int* out) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty() || value < lo || value > hi) return false;
    *out = value;
    return true;
}

bool ReadSwitch(std::string_view text, bool* out) {
    if (text == "on") {
        *out = true;
    } else if (text == "off") {
        *out = false;
    } else {
        return false;
    }
    return true;
}

const char* SwitchWord(bool on) { return on ? "on" : "off"; }

bool ReadWindowSize(std::string_view text, int* out) {
    int value = 0;
    if (!ReadInt(text, 0, WINDOW_SIZE_MAX, &value)) return false;
    if (value != 0 && value < WINDOW_SIZE_MIN) return false;
    *out = value;
    return true;
}

// One key of the file: how its value is read into the settings (false: not a value it takes)
// and written from them, and what a value must be, for the line that refuses one.
struct SettingKey {
    std::string_view name;
    const char* expected;
    bool (*read)(std::string_view value, Settings* s);
    std::string (*write)(const Settings& s);
};

const SettingKey KEYS[] = {
    {"music", "a volume from 0 to 10",
     [](std::string_view v, Settings* s) { return ReadInt(v, 0, VOLUME_STEPS, &s->musicVolume); },
     [](const Settings& s) { return std::to_string(s.musicVolume); }},
    {"effects", "a volume from 0 to 10",
     [](std::string_view v, Settings* s) { return ReadInt(v, 0, VOLUME_STEPS, &s->effectsVolume); },
     [](const Settings& s) { return std::to_string(s.effectsVolume); }},
    {"labels", "on or off",
     [](std::string_view v, Settings* s) { return ReadSwitch(v, &s->kindLabels); },
     [](const Settings& s) { return std::string(SwitchWord(s.kindLabels)); }},
    {"last_move", "on or off",
     [](std::string_view v, Settings* s) { return ReadSwitch(v, &s->lastMove); },
     [](const Settings& s) { return std::string(SwitchWord(s.lastMove)); }},
    {"coordinates", "on or off",
     [](std::string_view v, Settings* s) { return ReadSwitch(v, &s->coordinates); },
     [](const Settings& s) { return std::string(SwitchWord(s.coordinates)); }},
    {"screen", "full or window",
     [](std::string_view v, Settings* s) {
         if (v != "full" && v != "window") return false;
         s->fullScreen = v == "full";
         return true;
     },
     [](const Settings& s) { return std::string(s.fullScreen ? "full" : "window"); }},
    {"scale", "a number from 1 to 8",
     [](std::string_view v, Settings* s) { return ReadInt(v, SCALE_MIN, SCALE_MAX, &s->scale); },
     [](const Settings& s) { return std::to_string(s.scale); }},
    {"window_width", "0 or a width from 160 to 16384",
     [](std::string_view v, Settings* s) { return ReadWindowSize(v, &s->windowWidth); },
     [](const Settings& s) { return std::to_string(s.windowWidth); }},
    {"window_height", "0 or a height from 160 to 16384",
     [](std::string_view v, Settings* s) { return ReadWindowSize(v, &s->windowHeight); },
     [](const Settings& s) { return std::to_string(s.windowHeight); }},
    {"renderer", "auto, gpu or software",
     [](std::string_view v, Settings* s) {
         for (const RendererSetting r :
              {RendererSetting::AUTO, RendererSetting::GPU, RendererSetting::SOFTWARE}) {
             if (v == RendererSettingName(r)) {
                 s->renderer = r;
                 return true;
             }
         }
         return false;
     },
     [](const Settings& s) { return std::string(RendererSettingName(s.renderer)); }},
    {"computer", "none, first, second or both",
     [](std::string_view v, Settings* s) {
         constexpr std::string_view WORDS[] = {"none", "first", "second", "both"};
         for (int sides = 0; sides < 4; ++sides) {
             if (v == WORDS[sides]) {
                 s->computerSides = sides;
                 return true;
             }
         }
         return false;
     },
     [](const Settings& s) {
         constexpr const char* WORDS[] = {"none", "first", "second", "both"};
         return std::string(WORDS[s.computerSides & 3]);
     }},
    {"level", "a level from 1 to 5",
     [](std::string_view v, Settings* s) { return ReadInt(v, 1, 5, &s->computerLevel); },
     [](const Settings& s) { return std::to_string(s.computerLevel); }},
    {"scaling", "fit or integer",
     [](std::string_view v, Settings* s) {
         if (v != "fit" && v != "integer") return false;
         s->scaling = v == "fit" ? ScalingSetting::FIT : ScalingSetting::INTEGER;
         return true;
     },
     [](const Settings& s) {
         return std::string(s.scaling == ScalingSetting::FIT ? "fit" : "integer");
     }},
    {"lang", "ja or en",
     [](std::string_view v, Settings* s) {
         return ParseLanguage(std::string(v).c_str(), &s->language);
     },
     [](const Settings& s) { return std::string(LanguageWord(s.language)); }},
};

const SettingKey* KeyNamed(std::string_view name) {
    for (const SettingKey& key : KEYS) {
        if (key.name == name) return &key;
    }
    return nullptr;
}

// Why the first line is not the version line this game writes, or "" when it is.
std::string VersionProblem(std::string_view line) {
    const std::string_view word = line.substr(0, VERSION_WORD.size());
    if (word != VERSION_WORD || line.size() <= VERSION_WORD.size() ||
        line[VERSION_WORD.size()] != ' ') {
        return "not a settings file (its first line is not \"kelmorav-settings 1\")";
    }
    int version = 0;
    if (!ReadInt(Trim(line.substr(VERSION_WORD.size() + 1)), 1, 1000000, &version)) {
        return "not a settings file (its version line has no version)";
    }
    if (version != FORMAT_VERSION) {
        return "settings of format " + std::to_string(version) + ", which this version cannot read";
    }
    return "";
}

// Reads the text line by line; the first problem that makes it no settings file ends it.
std::string ReadLines(std::string_view text, Settings* out, std::vector<std::string>* keyProblems) {
    if (text.size() > MAX_FILE_BYTES) return "too large to be a settings file";
    size_t otherBytes = 0;  // of the other versions' lines kept
    if (text.find('\0') != std::string_view::npos) return "not a text file";
    size_t start = 0;
    int number = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (raw.size() > MAX_LINE_BYTES) return "line " + std::to_string(number) + " is too long";
        const std::string_view line = Trim(raw);
        if (number == 1) {
            std::string problem = VersionProblem(line);
            if (!problem.empty()) return problem;
            continue;
        }
        if (line.empty() || line.front() == '#') continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            return "line " + std::to_string(number) + " is not key=value";
        }
        const std::string_view name = Trim(line.substr(0, eq));
        const std::string_view value = Trim(line.substr(eq + 1));
        if (name.empty()) return "line " + std::to_string(number) + " has no key";
        const SettingKey* key = KeyNamed(name);
        if (key == nullptr) {
            std::string kept = std::string(name) + "=" + std::string(value);
            if (otherBytes + kept.size() + 1 > MAX_OTHER_BYTES) {
                if (otherBytes <= MAX_OTHER_BYTES) {
                    keyProblems->push_back(
                        "more keys of other versions than a settings file "
                        "keeps; those from line " +
                        std::to_string(number) + " on are dropped");
                }
                otherBytes = MAX_OTHER_BYTES + 1;
                continue;
            }
            otherBytes += kept.size() + 1;
            out->otherLines.push_back(std::move(kept));
            continue;
        }
        if (!key->read(value, out)) {
            // The key keeps its default: read the default's own word back into place.
            const Settings defaults;
            key->read(key->write(defaults), out);
            keyProblems->push_back(std::string(name) + " is \"" + std::string(value) + "\", not " +
                                   key->expected + "; taking " + key->write(defaults));
        }
    }
    if (number == 0) return "empty";
    return "";
}

}  // namespace

const char* RendererSettingName(RendererSetting renderer) {
    switch (renderer) {
    case RendererSetting::GPU: return "gpu";
    case RendererSetting::SOFTWARE: return "software";
    case RendererSetting::AUTO: break;
    }
    return "auto";
}

SettingsRead ParseSettings(std::string_view text, Settings* out) {
    SettingsRead read;
    *out = Settings{};
    read.fileProblem = ReadLines(text, out, &read.keyProblems);
    if (!read.fileProblem.empty()) {
        *out = Settings{};
        read.keyProblems.clear();
    }
    return read;
}

std::string FormatSettings(const Settings& settings) {
    std::string text = std::string(VERSION_WORD) + " " + std::to_string(FORMAT_VERSION) + "\n";
    for (const SettingKey& key : KEYS) {
        text += std::string(key.name) + "=" + key.write(settings) + "\n";
    }
    for (const std::string& line : settings.otherLines) text += line + "\n";
    return text;
}

std::string FormatSettingsLine(const Settings& settings) {
    std::string line;
    for (const SettingKey& key : KEYS) {
        if (!line.empty()) line += ',';
        line += std::string(key.name) + "=" + key.write(settings);
    }
    return line;
}

SettingsRead ParseSettingsLine(std::string_view line, Settings* out) {
    std::string text = std::string(VERSION_WORD) + " " + std::to_string(FORMAT_VERSION) + "\n";
    for (const char c : line) text += c == ',' ? '\n' : c;
    return ParseSettings(text, out);
}

Settings WithChanges(const Settings& base, const Settings& from, const Settings& to) {
    Settings out = base;
    const auto take = [](auto& field, const auto& was, const auto& now) {
        if (was != now) field = now;
    };
    take(out.musicVolume, from.musicVolume, to.musicVolume);
    take(out.effectsVolume, from.effectsVolume, to.effectsVolume);
    take(out.kindLabels, from.kindLabels, to.kindLabels);
    take(out.lastMove, from.lastMove, to.lastMove);
    take(out.coordinates, from.coordinates, to.coordinates);
    take(out.fullScreen, from.fullScreen, to.fullScreen);
    take(out.scale, from.scale, to.scale);
    if (from.windowWidth != to.windowWidth || from.windowHeight != to.windowHeight) {
        out.windowWidth = to.windowWidth;
        out.windowHeight = to.windowHeight;
    }
    take(out.renderer, from.renderer, to.renderer);
    take(out.scaling, from.scaling, to.scaling);
    take(out.computerSides, from.computerSides, to.computerSides);
    take(out.computerLevel, from.computerLevel, to.computerLevel);
    take(out.language, from.language, to.language);
    return out;
}
