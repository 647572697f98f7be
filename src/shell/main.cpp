// kelmorav: the game. See --help for the command line.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "platform/core/platform.h"
#include "shell/data_dir.h"
#include "shell/help_text.h"
#include "shell/main_loop.h"
#include "shell/quit.h"
#include "shell/settings_file.h"
#include "shell/sound_check.h"
#include "shell/startup.h"
#include "shell/state_dump.h"
#include "state/computer_setting.h"
#include "state/language.h"
#include "state/loop_state.h"
#include "state/settings.h"

namespace {

int SceneHook() { return Scene; }
int SceneByNameHook(const char* name) { return SceneByName(name); }

bool ParseNumber(const char* text, long long lo, long long hi, long long* out) {
    if (text == nullptr || *text == 0) return false;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (*end != 0 || v < lo || v > hi) return false;
    *out = v;
    return true;
}

// What the command line gave beyond the platform's options.
struct Given {
    bool seed = false;
    bool clock = false;
    bool soundCheck = false;
    bool window = false;  // --window or --scale: this run's screen, not the remembered one
    bool scale = false;
    bool renderer = false;
    bool scaling = false;
    std::string settingsPath;  // --settings
    bool computer = false;     // --computer or --level
    uint8_t computerSides = 0;
    int level = COMPUTER_LEVEL_DEFAULT;
    bool language = false;  // --lang
    Language languageChosen = Language::JAPANESE;
};

// Options that do not go together with recording or replaying, or null when all is well.
const char* SessionClash(const PlatformOptions& options, const Given& given) {
    const bool record = !options.recordPath.empty();
    const bool replay = !options.replayPath.empty();
    if (record && replay) return "--record and --replay do not go together";
    if (given.soundCheck && (record || replay))
        return "--sound-check is neither recorded nor replayed";
    if (replay && !given.settingsPath.empty()) {
        return "--replay takes the settings from the recording: leave out --settings";
    }
    if (replay && (given.seed || given.clock || !options.scriptPath.empty())) {
        return "--replay takes the seed, the clock and the input from the recording: leave out "
               "--seed, --script and --clock-start";
    }
    if (replay && given.language) {
        return "--replay takes the language from the recording: leave out --lang";
    }
    if (replay && given.computer) {
        return "--replay takes the computer opponent from the recording: leave out --computer "
               "and --level";
    }
    return nullptr;
}

// An option without a value; false when arg is none of them.
bool TakeFlag(const char* arg, PlatformOptions* options, Given* given) {
    if (std::strcmp(arg, "--window") == 0) {
        options->windowed = true;
        given->window = true;
    } else if (std::strcmp(arg, "--headless") == 0) {
        options->headless = true;
    } else if (std::strcmp(arg, "--sound-check") == 0) {
        given->soundCheck = true;
    } else {
        return false;
    }
    return true;
}

// An option with its value `next` (null at the end of the line); false when arg is none of
// them or the value is not one it takes.
bool TakeValue(const char* arg, const char* next, PlatformOptions* options, Given* given) {
    long long value = 0;
    const auto is = [arg](const char* name) { return std::strcmp(arg, name) == 0; };
    if (is("--renderer")) {
        given->renderer = true;
        return ParseRendererRequest(next, &options->renderer);
    }
    if (is("--scaling")) {
        given->scaling = true;
        return ParseScaling(next, &options->scaling);
    }
    if (is("--scale") && ParseNumber(next, 1, 8, &value)) {
        options->scale = static_cast<int>(value);
        options->windowed = true;
        given->window = true;
        given->scale = true;
    } else if (is("--seed") && ParseNumber(next, 0, UINT32_MAX, &value)) {
        options->seed = static_cast<uint32_t>(value);
        given->seed = true;
    } else if (is("--level") && ParseNumber(next, COMPUTER_LEVEL_MIN, COMPUTER_LEVEL_MAX, &value)) {
        given->level = static_cast<int>(value);
        given->computer = true;
    } else if (is("--computer") && ParseComputerSides(next, &given->computerSides)) {
        given->computer = true;
    } else if (is("--lang") && ParseLanguage(next, &given->languageChosen)) {
        given->language = true;
    } else if (is("--clock-start") && ParseNumber(next, 0, UINT32_MAX, &value)) {
        options->clockStart = static_cast<uint32_t>(value);
        given->clock = true;
    } else if (next == nullptr) {
        return false;
    } else if (is("--data")) {
        options->dataDir = next;
    } else if (is("--script")) {
        options->scriptPath = next;
    } else if (is("--trace")) {
        options->tracePath = next;
    } else if (is("--record")) {
        options->recordPath = next;
    } else if (is("--replay")) {
        options->replayPath = next;
        options->headless = true;
    } else if (is("--dump-at-end")) {
        options->dumpAtEndPath = next;
    } else if (is("--settings")) {
        given->settingsPath = next;
    } else {
        return false;
    }
    return true;
}

// The status to leave with at once (0 after --help or --version, 2 for a bad argument), or -1
// when the game is to run with the options read.
int ReadCommandLine(int argc, char** argv, PlatformOptions* options, Given* given) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(HelpText().c_str(), stdout);
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("kelmorav %s\n", KELMORAV_VERSION);
            return 0;
        }
        if (TakeFlag(arg, options, given)) continue;
        if (!TakeValue(arg, i + 1 < argc ? argv[i + 1] : nullptr, options, given)) {
            std::fprintf(stderr, "kelmorav: bad argument %s (try --help)\n", arg);
            return 2;
        }
        ++i;
    }
    if (given->computer) {
        options->computer = std::string(ComputerSidesWord(given->computerSides)) + " " +
                            std::to_string(given->level);
    }
    if (const char* clash = SessionClash(*options, *given)) {
        std::fprintf(stderr, "kelmorav: %s (try --help)\n", clash);
        return 2;
    }
    return -1;
}

std::string ExecutableDir(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path().string();
}

RendererRequest RequestOf(RendererSetting renderer) {
    switch (renderer) {
    case RendererSetting::GPU: return RendererRequest::GPU;
    case RendererSetting::SOFTWARE: return RendererRequest::SOFTWARE;
    case RendererSetting::AUTO: break;
    }
    return RendererRequest::AUTO;
}

RendererSetting SettingOf(RendererRequest request) {
    switch (request) {
    case RendererRequest::GPU: return RendererSetting::GPU;
    case RendererRequest::SOFTWARE: return RendererSetting::SOFTWARE;
    case RendererRequest::AUTO: break;
    }
    return RendererSetting::AUTO;
}

// The settings file of the run: the one --settings names, else the player's own outside
// --headless; "" for none (a headless run reads and writes no settings unless told to).
std::string SettingsFileOf(const PlatformOptions& options, const Given& given) {
    if (!given.settingsPath.empty()) return given.settingsPath;
    if (options.headless) return "";
    return DefaultSettingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

// The settings the run starts with: the file's, with the command line's choices over them; the
// options follow them.
Settings StartSettings(const Settings& file, const Given& given, PlatformOptions* options) {
    Settings start = file;
    if (given.window) start.fullScreen = false;
    if (given.scale) {
        start.scale = options->scale;
        start.windowWidth = 0;
        start.windowHeight = 0;
    }
    if (given.renderer) start.renderer = SettingOf(options->renderer);
    if (given.computer) {
        start.computerSides = given.computerSides & 3;
        start.computerLevel = given.level;
    }
    if (given.language) start.language = given.languageChosen;
    if (given.scaling) {
        start.scaling =
            options->scaling == Scaling::FIT ? ScalingSetting::FIT : ScalingSetting::INTEGER;
    }
    options->windowed = !start.fullScreen;
    options->scale = start.scale;
    options->windowWidth = start.windowWidth;
    options->windowHeight = start.windowHeight;
    options->renderer = RequestOf(start.renderer);
    options->scaling = start.scaling == ScalingSetting::FIT ? Scaling::FIT : Scaling::INTEGER;
    return start;
}

// A replay starts from the settings its recording kept (the defaults when it kept none).
Settings ReplayedSettings() {
    Settings settings;
    const std::string& line = PlatformSessionSettings();
    if (line.empty()) return settings;
    const SettingsRead read = ParseSettingsLine(line, &settings);
    if (!read.fileProblem.empty()) {
        std::fprintf(stderr, "kelmorav: the recording's settings: %s\n", read.fileProblem.c_str());
    }
    for (const std::string& problem : read.keyProblems) {
        std::fprintf(stderr, "kelmorav: the recording's settings: %s\n", problem.c_str());
    }
    return settings;
}

// The computer opponent of the session, "SIDES LEVEL" as the command line or the recording
// gives it; "" leaves every side to a person.
void ApplyComputerSetting(const std::string& setting) {
    const size_t space = setting.find(' ');
    if (space == std::string::npos) return;
    uint8_t sides = 0;
    long long level = 0;
    if (!ParseComputerSides(setting.substr(0, space).c_str(), &sides) ||
        !ParseNumber(setting.c_str() + space + 1, COMPUTER_LEVEL_MIN, COMPUTER_LEVEL_MAX, &level)) {
        return;
    }
    ComputerSides = sides;
    ComputerLevel = static_cast<int>(level);
}

// The shell's hooks into the platform: the scene for scripts, and the state for dumps.
void InstallGameHooks() {
    GameHooks hooks;
    hooks.scene = SceneHook;
    hooks.sceneByName = SceneByNameHook;
    hooks.dumpState = DumpGameState;
    SetGameHooks(hooks);
}

}  // namespace

int main(int argc, char** argv) {
    PlatformOptions options;
    options.seed = static_cast<uint32_t>(std::time(nullptr));
    options.version = KELMORAV_VERSION;
    Given given;
    const int status = ReadCommandLine(argc, argv, &options, &given);
    if (status >= 0) return status;
    // The data is found and checked before any window opens, so a wrong directory is one
    // clear line.
    if (!FindDataDir(options.dataDir, std::getenv("KELMORAV_DATA"), ExecutableDir(argv[0]),
                     &DataDir)) {
        return 1;
    }
    options.dataDir = DataDir.dir;
    InstallGameHooks();
    const bool replay = !options.replayPath.empty();
    const std::string settingsFile = replay ? "" : SettingsFileOf(options, given);
    const Settings file = settingsFile.empty() ? Settings{} : LoadSettingsFile(settingsFile);
    Settings start = StartSettings(file, given, &options);
    // A recording keeps the settings the session starts with when they are not all the defaults'
    // own: those of a settings file, or a language given on the command line.
    if (!settingsFile.empty() || given.language) {
        options.sessionSettings = FormatSettingsLine(start);
    }

    if (!PlatformInit(options)) return 1;  // said why on stderr; nothing else is created
    if (given.soundCheck) {
        PlatformOpenAudio();
        PlatformExit(RunSoundCheck());
    }
    if (replay) {
        start = ReplayedSettings();
        PlatformSetScreen(start.fullScreen, start.scale);
        PlatformSetScaling(start.scaling == ScalingSetting::FIT ? Scaling::FIT : Scaling::INTEGER);
    }
    StartUp(PlatformSeed());
    ApplySettings(start);
    // The command line's computer opponent (or the one a recording kept) has the last word.
    ApplyComputerSetting(PlatformComputerSetting());
    if (!settingsFile.empty()) KeepSettings(settingsFile, file, start);
    const int exitStatus = RunMainLoop();
    SettingsFlush();
    PlatformExit(exitStatus);
}
