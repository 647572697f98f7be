#include "shell/settings_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "match/board_aids.h"
#include "match/kind_labels.h"
#include "platform/core/platform.h"
#include "scenes/option_rows.h"
#include "state/computer_setting.h"
#include "state/language.h"

namespace {

// More than any settings file holds: a larger one is refused without reading it all.
constexpr size_t READ_LIMIT = size_t{64} * 1024 + 1;
constexpr uint32_t WRITE_INTERVAL_MS = 1000;

struct Keeper {
    std::string path;
    Settings file;
    Settings start;
    Settings written;  // what the file holds now
    uint32_t lastWrite = 0;
    bool wroteOnce = false;
    bool failed = false;  // said once that it cannot be written
};
Keeper Kept;

void PutAside(const std::string& path, const std::string& what) {
    const std::string bad = path + ".bad";
    std::error_code ec;
    std::filesystem::rename(path, bad, ec);
    if (ec) {
        std::fprintf(stderr, "kelmorav: %s: %s; the default settings are used\n", path.c_str(),
                     what.c_str());
    } else {
        std::fprintf(stderr,
                     "kelmorav: %s: %s; the default settings are used and the file is kept as "
                     "%s\n",
                     path.c_str(), what.c_str(), bad.c_str());
    }
}

void WriteKept(const Settings& settings) {
    if (SaveSettingsFile(Kept.path, settings)) {
        Kept.written = settings;
        Kept.failed = false;
    } else if (!Kept.failed) {
        Kept.failed = true;
        std::fprintf(stderr, "kelmorav: cannot write the settings %s: %s\n", Kept.path.c_str(),
                     std::strerror(errno));
    }
}

}  // namespace

std::string DefaultSettingsPath(const char* xdgConfigHome, const char* home) {
    std::string folder;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        folder = xdgConfigHome;
    } else if (home != nullptr && home[0] != 0) {
        folder = std::string(home) + "/.config";
    } else {
        return "";
    }
    return folder + "/kelmorav/settings.ini";
}

Settings LoadSettingsFile(const std::string& path) {
    Settings settings;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        if (errno != ENOENT) PutAside(path, std::string("cannot be read: ") + std::strerror(errno));
        return settings;
    }
    std::string text(READ_LIMIT, '\0');
    const size_t got = std::fread(text.data(), 1, text.size(), in);
    const bool failed = std::ferror(in) != 0;
    const int error = errno;
    std::fclose(in);
    if (failed) {
        PutAside(path, std::string("cannot be read: ") + std::strerror(error));
        return settings;
    }
    text.resize(got);
    const SettingsRead read = ParseSettings(text, &settings);
    if (!read.fileProblem.empty()) {
        PutAside(path, read.fileProblem);
        return settings;
    }
    for (const std::string& problem : read.keyProblems) {
        std::fprintf(stderr, "kelmorav: %s: %s\n", path.c_str(), problem.c_str());
    }
    return settings;
}

bool SaveSettingsFile(const std::string& path, const Settings& settings) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    const std::string text = FormatSettings(settings);
    return WriteFileWhole(path, [&text](std::FILE* out) {
        return std::fwrite(text.data(), 1, text.size(), out) == text.size();
    });
}

void KeepSettings(const std::string& path, const Settings& file, const Settings& start) {
    Kept = Keeper{};
    Kept.path = path;
    Kept.file = file;
    Kept.start = start;
    Kept.written = file;
}

void SettingsCheck(uint32_t now) {
    if (Kept.path.empty()) return;
    const Settings wanted = WithChanges(Kept.file, Kept.start, LiveSettings(Kept.start));
    if (wanted == Kept.written) return;
    if (Kept.wroteOnce && now - Kept.lastWrite < WRITE_INTERVAL_MS) return;
    Kept.wroteOnce = true;
    Kept.lastWrite = now;
    WriteKept(wanted);
}

void SettingsFlush() {
    if (Kept.path.empty()) return;
    const Settings wanted = WithChanges(Kept.file, Kept.start, LiveSettings(Kept.start));
    if (wanted != Kept.written) WriteKept(wanted);
}

Settings LiveSettings(const Settings& base) {
    Settings live = base;
    live.musicVolume = MusicVolume();
    live.effectsVolume = EffectsVolume();
    live.kindLabels = KindLabelsOn != 0;
    live.lastMove = LastMoveMarkOn != 0;
    live.coordinates = CoordinatesOn != 0;
    const ScreenState screen = PlatformScreen();
    live.fullScreen = screen.fullScreen;
    live.scale = screen.scale;
    live.windowWidth = screen.windowWidth;
    live.windowHeight = screen.windowHeight;
    live.renderer = NextRenderer;
    live.computerSides = ComputerSides & 3;
    live.computerLevel = ComputerLevel;
    live.language = ChosenLanguage;
    live.scaling = screen.scaling == Scaling::FIT ? ScalingSetting::FIT : ScalingSetting::INTEGER;
    return live;
}

void ApplySettings(const Settings& settings) {
    SetSoundVolumes(settings.musicVolume, settings.effectsVolume);
    KindLabelsOn = settings.kindLabels ? 1 : 0;
    LastMoveMarkOn = settings.lastMove ? 1 : 0;
    CoordinatesOn = settings.coordinates ? 1 : 0;
    NextRenderer = settings.renderer;
    ComputerSides = static_cast<uint8_t>(settings.computerSides & 3);
    ComputerLevel = settings.computerLevel;
    ChosenLanguage = settings.language;
}
