// kelmorav: the game. See --help for the command line.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "media/sound_check.h"
#include "platform/platform.h"
#include "shell/data_dir.h"
#include "shell/main_loop.h"
#include "shell/quit.h"
#include "shell/shell_state.h"
#include "shell/startup.h"
#include "shell/state_dump.h"

namespace {

const char* const HELP =
    "Usage:\n"
    "  kelmorav [--window] [--scale N] [--data DIR] [--seed N]\n"
    "      Play. Full screen by default; --window opens a window N times 640x480 (default 2).\n"
    "      Alt+Enter switches between full screen and window. Escape quits.\n"
    "  kelmorav --headless --script FILE [--seed N] [--trace FILE] [--data DIR]\n"
    "      Run a test script without a window or sound device, on a virtual clock.\n"
    "  kelmorav --sound-check [--data DIR]\n"
    "      Play every sound effect and the opening of each piece of music, naming each.\n"
    "\n"
    "Options:\n"
    "  --data DIR     the directory that holds DATA (default: the executable's directory)\n"
    "  --seed N       seed of the random generator (default: the time in seconds)\n"
    "  --trace FILE   write a JSON-lines trace of scenes, palettes, sounds and music commands\n"
    "  --clock-start MS  headless: the virtual clock's first reading (default 1000000)\n"
    "\n"
    "Script commands (one a line, '#' starts a comment):\n"
    "  wait MS | until SCENE_NAME [MAXMS] | move X Y | down left|right | up left|right\n"
    "  click X Y | dclick X Y | key NAME down|up | press NAME [MS] | shot FILE.png\n"
    "  dump FILE.json | quit\n"
    "  Key names: ESC F1 Z Q W A S M C L 0-9. Exit status: the game's own; 2 for a script\n"
    "  error, 3 when an `until` times out.\n";

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

std::string ExecutableDir(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path().string();
}

}  // namespace

int main(int argc, char** argv) {
    PlatformOptions options;
    uint32_t seed = static_cast<uint32_t>(std::time(nullptr));
    bool soundCheck = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        long long value = 0;
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(HELP, stdout);
            return 0;
        } else if (std::strcmp(arg, "--version") == 0) {
            std::printf("kelmorav %s\n", KELMORAV_VERSION);
            return 0;
        } else if (std::strcmp(arg, "--window") == 0) {
            options.windowed = true;
        } else if (std::strcmp(arg, "--headless") == 0) {
            options.headless = true;
        } else if (std::strcmp(arg, "--sound-check") == 0) {
            soundCheck = true;
        } else if (std::strcmp(arg, "--scale") == 0 && ParseNumber(next, 1, 8, &value)) {
            options.scale = static_cast<int>(value);
            options.windowed = true;
            ++i;
        } else if (std::strcmp(arg, "--seed") == 0 && ParseNumber(next, 0, UINT32_MAX, &value)) {
            seed = static_cast<uint32_t>(value);
            ++i;
        } else if (std::strcmp(arg, "--clock-start") == 0 &&
                   ParseNumber(next, 0, UINT32_MAX, &value)) {
            options.clockStart = static_cast<uint32_t>(value);
            ++i;
        } else if (std::strcmp(arg, "--data") == 0 && next) {
            options.dataDir = next;
            ++i;
        } else if (std::strcmp(arg, "--script") == 0 && next) {
            options.scriptPath = next;
            ++i;
        } else if (std::strcmp(arg, "--trace") == 0 && next) {
            options.tracePath = next;
            ++i;
        } else {
            std::fprintf(stderr, "kelmorav: bad argument %s (try --help)\n", arg);
            return 2;
        }
    }
    if (!FindDataDir(options.dataDir, std::getenv("KELMORAV_DATA"), ExecutableDir(argv[0]),
                     &DataDir)) {
        return 1;
    }
    options.dataDir = DataDir.dir;

    GameHooks hooks;
    hooks.scene = SceneHook;
    hooks.sceneByName = SceneByNameHook;
    hooks.dumpState = DumpGameState;
    SetGameHooks(hooks);

    if (!PlatformInit(options)) return 0;  // no window: nothing else is created
    if (soundCheck) {
        PlatformOpenAudio();
        PlatformExit(RunSoundCheck());
    }
    StartUp(seed);
    PlatformExit(RunMainLoop());
}
