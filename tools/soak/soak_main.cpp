// kelmorav_soak: plays the game headless for a given virtual time with random input, and checks
// a state dump every few virtual seconds (and at every change of scene) against the invariants
// of soak_checks.h. The input is chosen as the game goes, from the scene it is in: random moves,
// clicks and taps, double and right clicks, held buttons and drags over the whole picture and
// every key of the game but Escape; when a scene has lasted long, the input that leads out of it
// (the menu's items, the forfeit key, a click on the result) becomes likely, so every scene is
// reached. Every line of input is written to a script that the game itself replays:
//   kelmorav --headless --seed SEED --script LOG
// reproduces the session frame for frame.
//
//   kelmorav_soak --seed N --minutes M [--brisk] [--data DIR] [--log FILE] [--dump-every MS]
//
// --brisk shortens the driver's patience tenfold, so that a few virtual minutes see every scene.
//
// SIGUSR1 ends the session early but cleanly: at the next slice of input the driver stops as if
// its time were up, and its summary says how much it played ("stoppedEarly").
//
// Exit status: 0 when the time is played with every invariant kept, 4 at the first dump that
// breaks one (the dump, the seed and the virtual time are printed), 2 for a bad argument, and
// the game's own status when it ends by itself.
#include <unistd.h>

#include <cinttypes>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "match/match.h"
#include "platform/core/platform.h"
#include "platform/session/headless_backend.h"
#include "rules/board.h"
#include "rules/placing_panel.h"
#include "scenes/title.h"
#include "shell/data_dir.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "shell/state_dump.h"
#include "soak_checks.h"
#include "state/loop_state.h"

namespace {

using nlohmann::json;

volatile std::sig_atomic_t StopRequested = 0;
void RequestStop(int) { StopRequested = 1; }

// Input is fed in slices of at most this many virtual milliseconds, so the driver sees every
// scene, even those that last one frame.
constexpr uint32_t SLICE_MS = 10;
// A scene that keeps the game longer than this, although the driver has been choosing the
// input that leads out of it, is a hang.
constexpr uint32_t STUCK_MS = 15 * 60 * 1000;

// The title's quit item (with the four pixels of slack its pointer test allows, and more):
// a button held over it ends the program, so outside a match no button is ever held there.
constexpr int QUIT_LEFT = 340;
constexpr int QUIT_TOP = 345;
constexpr int QUIT_RIGHT = 470;
constexpr int QUIT_BOTTOM = 420;

const char* const KEYS[] = {"F1", "Z", "Q", "W", "A", "S", "M", "C", "L", "P",
                            "0",  "1", "2", "3", "4", "5", "6", "7", "8", "9"};
// Keys that may stay held across other input (Z held would forfeit every match at once).
const char* const HOLD_KEYS[] = {"F1", "M", "C", "Q", "W", "A", "S", "L", "1", "5"};

struct Options {
    uint32_t seed = 1;
    double minutes = 5;
    std::string dataDir;
    std::string logPath;
    uint32_t dumpEvery = 3000;
    // Short patience (a tenth): a few virtual minutes then pass through several matches,
    // results and closing sequences, for the suite's short soak.
    bool brisk = false;
};

struct Stats {
    long long entries[16] = {};
    long long kingTaken = 0;
    long long forfeits = 0;
    long long turns = 0;
    long long maxTurn = 0;
    long long dumps = 0;
    long long captures = 0;
    long long placements = 0;
    long long promotions = 0;
};

class Driver {
public:
    void Start(const Options& options) {
        options_ = options;
        rng_.seed(options.seed);
        start_ = TimeGetTime();
        end_ = start_ + static_cast<uint64_t>(options.minutes * 60000.0);
        nextDump_ = start_;
        if (!options.logPath.empty()) {
            log_ = std::fopen(options.logPath.c_str(), "w");
            if (log_ == nullptr) {
                std::fprintf(stderr, "kelmorav_soak: cannot write %s\n", options.logPath.c_str());
                std::exit(2);
            }
            std::fprintf(log_,
                         "# kelmorav_soak --seed %" PRIu32
                         ": replay with kelmorav --headless --seed %" PRIu32 " --script THIS\n",
                         options.seed, options.seed);
        }
    }

    bool Refill(std::string* text) {
        const uint32_t now = TimeGetTime();
        const int scene = Scene;
        if (scene != scene_) EnterScene(scene, now);
        if (static_cast<int32_t>(now - nextDump_) >= 0) {
            CheckNow(now, "every few seconds");
            nextDump_ = now + options_.dumpEvery;
        }
        if (now - sceneSince_ > STUCK_MS) {
            Broken(now, {"scene " + std::to_string(scene) + " has lasted " +
                         std::to_string((now - sceneSince_) / 1000) +
                         " virtual seconds although the input that leads out was given"});
        }
        if (now >= end_ || StopRequested != 0) {
            Finish(now);
            return false;
        }
        if (pending_.empty()) Plan(scene, now);
        *text = Emit(scene);
        return true;
    }

private:
    // --- random numbers (the raw generator only, so every platform draws the same) ---
    int Below(int n) { return n <= 1 ? 0 : static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    bool Chance(double p) { return static_cast<double>(rng_() % 1000000) < p * 1000000.0; }

    static bool InQuitZone(int x, int y) {
        return x >= QUIT_LEFT && x < QUIT_RIGHT && y >= QUIT_TOP && y < QUIT_BOTTOM;
    }

    void Add(const std::string& line) { pending_.push_back(line); }
    void Wait(int ms) { Add("wait " + std::to_string(ms)); }
    void Move(int x, int y) { Add("move " + std::to_string(x) + " " + std::to_string(y)); }
    // A click, or now and then a tap (pressed and released with no time between, as a
    // touchpad gives it), which must do all that a click does.
    void Click(int x, int y) {
        Add((Chance(0.25) ? "tap " : "click ") + std::to_string(x) + " " + std::to_string(y));
    }
    void ClickSquare(int x, int y) {
        // The middle of the square's tile, a few pixels either way.
        Click(320 + 32 * (x - y) + Between(-6, 6), 136 + 16 * (x + y) + Between(-3, 3));
    }
    void Hold(int x, int y, int ms) {
        Move(x, y);
        Add("down left");
        Wait(ms);
        Add("up left");
    }

    // The next line to give the game. Waits go in slices; outside a match a button is never
    // pressed or held over the quit item.
    std::string Emit(int scene) {
        std::string line = pending_.front();
        pending_.pop_front();
        const bool guard = scene != SCENE_MATCH;
        int a = 0;
        int b = 0;
        if (std::sscanf(line.c_str(), "wait %d", &a) == 1) {
            if (a > static_cast<int>(SLICE_MS)) {
                pending_.push_front("wait " + std::to_string(a - static_cast<int>(SLICE_MS)));
                a = SLICE_MS;
                line = "wait " + std::to_string(a);
            }
            Log(line, a);
            return line + "\n";
        }
        char word[16] = {};
        if (guard && std::sscanf(line.c_str(), "%15s %d %d", word, &a, &b) == 3 &&
            InQuitZone(a, b) && (std::strcmp(word, "move") != 0 || leftHeld_ || rightHeld_)) {
            line = std::string(word) + " " + std::to_string(a) + " " + std::to_string(b - 80);
        }
        if (line.rfind("down", 0) == 0) {
            int x = 0;
            int y = 0;
            GetCursorPos(&x, &y);
            if (guard && InQuitZone(x, y)) {
                pending_.push_front(line);
                line = "move " + std::to_string(x) + " " + std::to_string(y - 80);
            } else {
                (line == "down left" ? leftHeld_ : rightHeld_) = true;
            }
        }
        if (line == "up left") leftHeld_ = false;
        if (line == "up right") rightHeld_ = false;
        Log(line, 0);
        return line + "\n";
    }

    // The script log: consecutive waits are written as one.
    void Log(const std::string& line, int waitMs) {
        if (log_ == nullptr) return;
        if (waitMs > 0) {
            loggedWait_ += waitMs;
            return;
        }
        FlushWait();
        std::fprintf(log_, "%s\n", line.c_str());
        std::fflush(log_);
    }
    void FlushWait() {
        if (log_ == nullptr || loggedWait_ == 0) return;
        std::fprintf(log_, "wait %lld\n", loggedWait_);
        loggedWait_ = 0;
    }

    json State() {
        ++stats_.dumps;
        return json::parse(DumpGameState());
    }

    void CheckNow(uint32_t now, const char* why) {
        last_ = State();
        const std::vector<std::string> broken = checker_.Check(last_);
        if (!broken.empty()) Broken(now, broken, why);
        Count(last_);
    }

    // Counts what happened in the match since the last dump: captures, placements and
    // promotions, from the pieces that vanished, appeared or turned.
    void Count(const json& d) {
        if (d.at("Scene").get<int>() != SCENE_MATCH) return;
        std::vector<int> kinds(PIECE_SLOT_COUNT, 0);
        for (const json& p : d.at("PieceTable")) kinds[p.at("slot").get<int>()] = p.at("kind");
        if (!lastKinds_.empty() && d.at("TurnNumber").get<int>() >= lastTurn_) {
            for (int s = 0; s < PIECE_SLOT_COUNT; ++s) {
                if (lastKinds_[s] != 0 && kinds[s] == 0) ++stats_.captures;
                if (lastKinds_[s] == 0 && kinds[s] != 0) ++stats_.placements;
                if (lastKinds_[s] != 0 && kinds[s] == (lastKinds_[s] | KIND_PROMOTED) &&
                    kinds[s] != lastKinds_[s]) {
                    ++stats_.promotions;
                }
            }
        }
        lastKinds_ = kinds;
        lastTurn_ = d.at("TurnNumber").get<int>();
    }

    void EnterScene(int scene, uint32_t now) {
        scene_ = scene;
        sceneSince_ = now;
        if (scene >= 0 && scene < 16) ++stats_.entries[scene];
        const int scale = options_.brisk ? 10 : 1;
        switch (scene) {
        case SCENE_TITLE: patience_ = Between(2000, 20000) / scale; break;
        case SCENE_MATCH:
            patience_ = Between(60000, 600000) / scale;
            lastKinds_.clear();
            break;
        case SCENE_RESULT: patience_ = Between(1000, 8000) / scale; break;
        default: patience_ = UINT32_MAX; break;
        }
        CheckNow(now, "at the change of scene");
        if (scene == SCENE_RESULT) {
            // A match ends by taking a king (the piece in a side's first slot) or by the
            // forfeit key.
            bool kings = true;
            for (int side = 0; side < 2; ++side) {
                bool found = false;
                for (const json& p : last_.at("PieceTable")) {
                    found = found || p.at("slot").get<int>() == FirstSlotOf(side);
                }
                kings = kings && found;
            }
            ++(kings ? stats_.forfeits : stats_.kingTaken);
            const long long turn = last_.at("TurnNumber").get<long long>();
            stats_.turns += turn;
            if (turn > stats_.maxTurn) stats_.maxTurn = turn;
        }
    }

    // --- choosing the input ---
    void Plan(int scene, uint32_t now) {
        const bool impatient = now - sceneSince_ > patience_ && Chance(0.7);
        if (scene == SCENE_TITLE && impatient) {
            const int step = TitleStep;
            if (step == TITLE_MENU) {
                if (Chance(0.75)) {
                    Click(Between(212, 300), Between(364, 405));  // the start item
                } else {
                    Click(Between(275, 400), Between(462, 477));  // the staff roll
                }
            } else if (step != TITLE_CHOSEN && step != TITLE_LEAVE) {
                Click(Between(0, 639), Between(0, 300));  // skips the opening
            }
            Wait(Between(100, 1500));
            return;
        }
        if (scene == SCENE_RESULT && impatient) {
            Click(Between(0, 639), Between(0, 479));
            Wait(Between(100, 1000));
            return;
        }
        if (scene == SCENE_MATCH && impatient && Chance(0.3)) {
            Add("press Z " + std::to_string(Between(40, 300)));
            Wait(Between(100, 1000));
            return;
        }
        if (scene == SCENE_MATCH && Chance(0.65) && PlayMatch()) return;
        Noise();
    }

    // A sensible turn from the state of the match, so that matches see captures, promotions,
    // placements and taken kings. False when there is nothing to do but wait.
    bool PlayMatch() {
        const json d = State();
        const int state = d.at("MatchState").get<int>();
        const int mover = d.at("SideToMove").get<int>();
        std::vector<std::pair<int, int>> own;
        std::vector<std::pair<int, int>> enemy;
        std::pair<int, int> enemyKing = {-1, -1};
        for (const json& p : d.at("PieceTable")) {
            const int slot = p.at("slot").get<int>();
            const std::pair<int, int> sq = {p.at("x").get<int>(), p.at("y").get<int>()};
            if (!OnBoard(sq.first, sq.second)) continue;
            if (SlotOwner(slot) == mover) {
                own.push_back(sq);
            } else {
                enemy.push_back(sq);
                if (slot == FirstSlotOf(1 - mover)) enemyKing = sq;
            }
        }
        std::vector<std::pair<int, int>> reach;
        for (const json& e : d.at("ReachTable")) {
            reach.emplace_back(e.at("x").get<int>(), e.at("y").get<int>());
        }
        const int points = d.at("SideTally").at(mover).at("points").get<int>();
        const int hand = mover == 0 ? 581 : 157;
        switch (state) {
        case MATCH_SELECT:
        case MATCH_CHOOSE_DESTINATION: {
            if (points > 0 && Chance(0.2)) {
                Click(hand + Between(2, 28), Between(82, 108));
            } else if (state == MATCH_CHOOSE_DESTINATION && !reach.empty() && Chance(0.85)) {
                std::vector<std::pair<int, int>> takes;
                for (const auto& sq : reach) {
                    for (const auto& e : enemy) {
                        if (e == sq) takes.push_back(sq);
                    }
                }
                std::pair<int, int> to = reach[Below(static_cast<int>(reach.size()))];
                bool king = false;
                for (const auto& sq : takes) king = king || sq == enemyKing;
                if (king && Chance(0.8)) {
                    to = enemyKing;
                } else if (!takes.empty() && Chance(0.7)) {
                    to = takes[Below(static_cast<int>(takes.size()))];
                }
                ClickSquare(to.first, to.second);
            } else if (!own.empty()) {
                const auto& from = own[Below(static_cast<int>(own.size()))];
                ClickSquare(from.first, from.second);
            }
            break;
        }
        case MATCH_PLACING: {
            const int left = mover == 0 ? 469 : 45;
            if (d.at("PlacePanelStep").get<int>() != PLACE_CHOOSING) {
                Wait(Between(30, 200));
            } else if (Chance(0.3)) {
                Click(left + Between(124, 170), Between(42, 70));  // the next kind
            } else if (Chance(0.1)) {
                Click(left + Between(-28, 20), Between(42, 70));  // the kind before
            } else if (Chance(0.08)) {
                Move(Between(0, 639), Between(0, 479));
                Add("down right");
                Wait(Between(40, 200));
                Add("up right");
            } else if (!reach.empty()) {
                const auto& to = reach[Below(static_cast<int>(reach.size()))];
                ClickSquare(to.first, to.second);
            }
            break;
        }
        case MATCH_PROMOTION_PROMPT: {
            const int px = static_cast<int>(d.at("MoverX").get<double>());
            const int py = static_cast<int>(d.at("MoverY").get<double>());
            const int x = Chance(0.6) ? px - 3 : px + 39;
            Hold(x + Between(0, 26), py - 38 + Between(0, 28), Between(80, 300));
            break;
        }
        default: Wait(Between(30, 300)); break;
        }
        Wait(Between(30, 700));
        return true;
    }

    // Input without a plan, anywhere on the picture.
    void Noise() {
        const int x = Between(0, 639);
        const int y = Between(0, 479);
        const int pick = Below(100);
        if (pick < 18) {
            for (int n = Between(1, 4); n > 0; --n) {
                Move(Between(0, 639), Between(0, 479));
                Wait(Between(10, 300));
            }
        } else if (pick < 32) {
            Click(x, y);
            Wait(Between(50, 600));
        } else if (pick < 37) {
            Add("dclick " + std::to_string(x) + " " + std::to_string(y));
            Wait(Between(50, 600));
        } else if (pick < 43) {
            Move(x, y);
            Add("down right");
            Wait(Between(30, 250));
            Add("up right");
            Wait(Between(50, 400));
        } else if (pick < 48) {
            Hold(x, y, Between(100, 1500));
        } else if (pick < 54) {
            const bool right = Chance(0.3);
            Move(x, y);
            Add(right ? "down right" : "down left");
            for (int n = Between(2, 8); n > 0; --n) {
                Move(Between(0, 639), Between(0, 479));
                Wait(Between(15, 120));
            }
            Add(right ? "up right" : "up left");
            Wait(Between(50, 300));
        } else if (pick < 68) {
            // Z forfeits a match: rare here, the impatient driver presses it when a match
            // has lasted.
            const char* key = KEYS[Below(sizeof KEYS / sizeof KEYS[0])];
            if (std::strcmp(key, "Z") == 0 && !Chance(0.1)) key = "L";
            if (Chance(0.2)) {
                Add(std::string("tap ") + key);
            } else {
                Add(std::string("press ") + key + " " + std::to_string(Between(20, 500)));
            }
            Wait(Between(20, 400));
        } else if (pick < 71) {
            const std::string key = HOLD_KEYS[Below(sizeof HOLD_KEYS / sizeof HOLD_KEYS[0])];
            bool held = false;
            for (const std::string& k : keysHeld_) held = held || k == key;
            if (held) {
                Add("key " + key + " up");
                std::erase(keysHeld_, key);
            } else if (keysHeld_.size() < 2) {
                Add("key " + key + " down");
                keysHeld_.push_back(key);
            }
            Wait(Between(20, 400));
        } else {
            Wait(Between(100, 3000));
        }
    }

    [[noreturn]] void Broken(uint32_t now, const std::vector<std::string>& broken,
                             const char* why = "") {
        const std::string failDump =
            options_.logPath.empty() ? "" : options_.logPath + ".fail.json";
        std::fprintf(stderr,
                     "kelmorav_soak: seed %" PRIu32 ", virtual time %" PRIu32
                     " ms (%.1f min into the soak), dump taken %s, broke %zu invariant(s):\n",
                     options_.seed, now, (now - start_) / 60000.0, why, broken.size());
        for (const std::string& b : broken) std::fprintf(stderr, "  %s\n", b.c_str());
        std::fprintf(stderr, "the dump:\n%s\n", last_.dump().c_str());
        if (log_ != nullptr) {
            FlushWait();
            std::fprintf(log_, "dump %s\n", failDump.c_str());
            std::fclose(log_);
            log_ = nullptr;
            std::fprintf(stderr,
                         "replay: kelmorav --headless --seed %" PRIu32
                         " --script %s (its last line writes this dump to %s)\n",
                         options_.seed, options_.logPath.c_str(), failDump.c_str());
        }
        Report(now, false);
        PlatformExit(4);
    }

    // The log ends with a dump of the final state, which the driver writes too (as LOG.end.json):
    // a replay of the log that writes the same file has played the same session.
    void Finish(uint32_t now) {
        if (log_ != nullptr) {
            FlushWait();
            const std::string endDump = options_.logPath + ".end.json";
            std::fprintf(log_, "dump %s\n", endDump.c_str());
            std::fclose(log_);
            log_ = nullptr;
            std::FILE* out = std::fopen(endDump.c_str(), "w");
            if (out != nullptr) {
                std::fprintf(out, "%s\n", DumpGameState().c_str());
                std::fclose(out);
            }
        }
        Report(now, true);
    }

    void Report(uint32_t now, bool kept) {
        json scenes;
        for (int s = 0; s < 16; ++s) {
            const char* name = nullptr;
            if (KnownScene(s, &name)) scenes[name] = stats_.entries[s];
        }
        const json report = {
            {"seed", options_.seed},
            {"virtualMs", now - start_},
            {"invariantsKept", kept},
            {"stoppedEarly", kept && now < end_},
            {"dumpsChecked", stats_.dumps},
            {"scenesEntered", scenes},
            {"matches", stats_.entries[SCENE_MATCH]},
            {"results", stats_.entries[SCENE_RESULT]},
            {"kingsTaken", stats_.kingTaken},
            {"forfeits", stats_.forfeits},
            {"turnsInFinishedMatches", stats_.turns},
            {"longestMatchTurns", stats_.maxTurn},
            {"capturesSeen", stats_.captures},
            {"placementsSeen", stats_.placements},
            {"promotionsSeen", stats_.promotions},
        };
        std::printf("%s\n", report.dump().c_str());
        std::fflush(stdout);
    }

    Options options_;
    std::mt19937 rng_;
    uint32_t start_ = 0;
    uint64_t end_ = 0;
    uint32_t nextDump_ = 0;
    int scene_ = -1;
    uint32_t sceneSince_ = 0;
    uint32_t patience_ = UINT32_MAX;
    std::deque<std::string> pending_;
    bool leftHeld_ = false;
    bool rightHeld_ = false;
    std::vector<std::string> keysHeld_;
    SoakChecker checker_;
    json last_;
    std::vector<int> lastKinds_;
    int lastTurn_ = 0;
    Stats stats_;
    std::FILE* log_ = nullptr;
    long long loggedWait_ = 0;
};

Driver TheDriver;

bool RefillHook(std::string* text) { return TheDriver.Refill(text); }
int SceneHook() { return Scene; }
int SceneByNameHook(const char* name) { return SceneByName(name); }

bool ParseUnsigned(const char* text, unsigned long long hi, unsigned long long* out) {
    if (text == nullptr || *text == 0 || *text == '-') return false;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (*end != 0 || v > hi) return false;
    *out = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        unsigned long long v = 0;
        if (arg == "--seed" && ParseUnsigned(next, UINT32_MAX, &v)) {
            options.seed = static_cast<uint32_t>(v);
        } else if (arg == "--minutes" && next != nullptr && std::atof(next) > 0 &&
                   std::atof(next) < 60.0 * 24 * 40) {
            options.minutes = std::atof(next);
        } else if (arg == "--dump-every" && ParseUnsigned(next, 600000, &v) && v > 0) {
            options.dumpEvery = static_cast<uint32_t>(v);
        } else if (arg == "--brisk") {
            options.brisk = true;
            continue;
        } else if (arg == "--data" && next != nullptr) {
            options.dataDir = next;
        } else if (arg == "--log" && next != nullptr) {
            options.logPath = std::filesystem::absolute(next).string();
        } else {
            std::fprintf(
                stderr,
                "kelmorav_soak: bad argument %s\nusage: kelmorav_soak --seed N --minutes M "
                "[--brisk] [--data DIR] [--log FILE] [--dump-every MS]\n",
                argv[i]);
            return 2;
        }
        ++i;
    }
    std::error_code ec;
    const std::string exeDir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
    if (!FindDataDir(options.dataDir, std::getenv("KELMORAV_DATA"), exeDir, &DataDir)) return 1;

    PlatformOptions platform;
    platform.headless = true;
    platform.dataDir = DataDir.dir;
    platform.scriptPath = "/dev/null";  // all the input comes from the driver
    GameHooks hooks;
    hooks.scene = SceneHook;
    hooks.sceneByName = SceneByNameHook;
    hooks.dumpState = DumpGameState;
    SetGameHooks(hooks);
    SetScriptRefill(RefillHook);
    if (!PlatformInit(platform)) return 1;
    TheDriver.Start(options);
    std::signal(SIGUSR1, RequestStop);
    StartUp(options.seed);
    PlatformExit(RunMainLoop());
}
