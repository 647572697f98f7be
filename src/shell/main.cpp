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
#include "shell/sound_check.h"
#include "shell/startup.h"
#include "shell/state_dump.h"
#include "state/computer_setting.h"
#include "state/loop_state.h"

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
    bool computer = false;  // --computer or --level
    uint8_t computerSides = 0;
    int level = COMPUTER_LEVEL_DEFAULT;
};

// Options that do not go together with recording or replaying, or null when all is well.
const char* SessionClash(const PlatformOptions& options, const Given& given) {
    const bool record = !options.recordPath.empty();
    const bool replay = !options.replayPath.empty();
    if (record && replay) return "--record and --replay do not go together";
    if (given.soundCheck && (record || replay))
        return "--sound-check is neither recorded nor replayed";
    if (replay && (given.seed || given.clock || !options.scriptPath.empty())) {
        return "--replay takes the seed, the clock and the input from the recording: leave out "
               "--seed, --script and --clock-start";
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
    if (is("--renderer")) return ParseRendererRequest(next, &options->renderer);
    if (is("--scaling")) return ParseScaling(next, &options->scaling);
    if (is("--scale") && ParseNumber(next, 1, 8, &value)) {
        options->scale = static_cast<int>(value);
        options->windowed = true;
    } else if (is("--seed") && ParseNumber(next, 0, UINT32_MAX, &value)) {
        options->seed = static_cast<uint32_t>(value);
        given->seed = true;
    } else if (is("--level") && ParseNumber(next, COMPUTER_LEVEL_MIN, COMPUTER_LEVEL_MAX, &value)) {
        given->level = static_cast<int>(value);
        given->computer = true;
    } else if (is("--computer") && ParseComputerSides(next, &given->computerSides)) {
        given->computer = true;
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

    if (!PlatformInit(options)) return 1;  // said why on stderr; nothing else is created
    if (given.soundCheck) {
        PlatformOpenAudio();
        PlatformExit(RunSoundCheck());
    }
    ApplyComputerSetting(PlatformComputerSetting());
    StartUp(PlatformSeed());
    PlatformExit(RunMainLoop());
}
