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
#include "shell/main_loop.h"
#include "shell/quit.h"
#include "shell/sound_check.h"
#include "shell/startup.h"
#include "shell/state_dump.h"
#include "state/loop_state.h"

namespace {

const char* const HELP =
    "Usage:\n"
    "  kelmorav [--window] [--scale N] [--renderer auto|gpu|software] [--data DIR] [--seed N]\n"
    "           [--trace FILE] [--record FILE] [--dump-at-end FILE]\n"
    "      Play. Full screen by default.\n"
    "  kelmorav --headless --script FILE [--seed N] [--trace FILE] [--data DIR]\n"
    "           [--clock-start MS] [--record FILE] [--dump-at-end FILE]\n"
    "      Run a test script without a window or sound device, on a virtual clock.\n"
    "  kelmorav --headless --replay FILE [--data DIR] [--trace FILE] [--dump-at-end FILE]\n"
    "      Play a recorded session again, frame for frame, without a window or sound device.\n"
    "  kelmorav --sound-check [--data DIR]\n"
    "      Play every sound effect and the opening of each piece of music, naming each.\n"
    "  kelmorav --version | --help | -h\n"
    "\n"
    "Options:\n"
    "  --window       play in a window instead of full screen\n"
    "  --scale N      the window is N times 640x480, N from 1 to 8 (default 2; implies --window)\n"
    "  --renderer R   how the picture reaches the screen: auto (default) uses the GPU unless its\n"
    "                 GL draws in software (virtual machines, remote desktops), then copies\n"
    "                 the picture into the window itself; gpu or software force one way\n"
    "  --data DIR     the directory that holds DATA; without it the game looks in\n"
    "                 $KELMORAV_DATA, the executable's directory, then ../share/kelmorav\n"
    "                 beside the executable, and takes the first that holds DATA\n"
    "  --seed N       seed of the random generator (default: the time in seconds)\n"
    "  --trace FILE   write a JSON-lines trace of scenes, frames, presented pictures, palettes,\n"
    "                 sounds and music commands (virtual time headless, real ms otherwise)\n"
    "  --clock-start MS  headless: the virtual clock's first reading (default 1000000)\n"
    "  --record FILE  record the session (seed, clock, input, the sound device's replies)\n"
    "                 into FILE, a small text file to attach to a bug report\n"
    "  --replay FILE  replay a recording made by this version (implies --headless; the seed,\n"
    "                 clock and input come from the recording)\n"
    "  --dump-at-end FILE  write the game state as JSON into FILE when the program ends\n"
    "\n"
    "Keys:\n"
    "  Everywhere     Escape quits; Alt+Enter switches between full screen and window;\n"
    "                 PrintScreen saves the picture as kelmorav-YYYYMMDD-HHMMSS.png in your\n"
    "                 pictures folder; F1 held shows a card of the keys and words on screen\n"
    "  Title, result, ending and credits   the mouse only\n"
    "  Match          mouse: pick up a piece and click a marked square; the hand button opens\n"
    "                 the placing panel (right button closes it)\n"
    "                 Z forfeit    Q sound effects off    W sound effects on\n"
    "                 A music off  S music on             0-9 recolour the side to move\n"
    "                 M skip the opening banner           C cut a block transition short\n"
    "                 L show or hide the kind of every piece on its token\n"
    "                 H show or hide the mark of the last move's squares\n"
    "                 N show or hide the board coordinates (1-9 along the near edges)\n"
    "\n"
    "Script commands (one a line, '#' starts a comment):\n"
    "  wait MS | until SCENE_NAME [MAXMS] | move X Y | down left|right | up left|right\n"
    "  click X Y | dclick X Y | key NAME down|up | press NAME [MS] | shot FILE.png\n"
    "  dump FILE.json | quit\n"
    "  Key names: ESC F1 Z Q W A S M C L H N 0-9. Relative files are taken from the working\n"
    "  directory. A shot is 640x480, or 320x240 in the credits and the closing fire.\n"
    "\n"
    "Exit status: 0 when the game ends normally; 1 when it cannot start (no display, no data\n"
    "directory, unreadable data, a recording that cannot be written); 2 for a bad argument,\n"
    "a script error, or a recording that cannot be replayed (damaged, another version, or\n"
    "the game went another way); 3 when a script's `until` times out. A replay ends with the\n"
    "status of the session it replays.\n";

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
    if (is("--scale") && ParseNumber(next, 1, 8, &value)) {
        options->scale = static_cast<int>(value);
        options->windowed = true;
    } else if (is("--seed") && ParseNumber(next, 0, UINT32_MAX, &value)) {
        options->seed = static_cast<uint32_t>(value);
        given->seed = true;
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
            std::fputs(HELP, stdout);
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
    StartUp(PlatformSeed());
    PlatformExit(RunMainLoop());
}
