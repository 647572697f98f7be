#include "platform/session/script.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/core/input.h"
#include "platform/core/platform.h"

namespace {

constexpr int DEFAULT_UNTIL_MS = 600000;
constexpr int CLICK_HOLD_MS = 60;
constexpr int DCLICK_GAP_MS = 80;
constexpr int DEFAULT_PRESS_MS = 100;

bool ParseInt(const std::string& word, int* out) {
    if (word.empty() || word.size() > 10) return false;
    size_t i = word[0] == '-' ? 1 : 0;
    if (i == word.size()) return false;
    long long v = 0;
    for (; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') return false;
        v = v * 10 + (word[i] - '0');
    }
    if (word[0] == '-') v = -v;
    if (v < -2147483647LL || v > 2147483647LL) return false;
    *out = static_cast<int>(v);
    return true;
}

int ButtonCode(const std::string& word) {
    if (word == "left") return 0;
    if (word == "right") return 1;
    return -1;
}

}  // namespace

int ScriptKeyCode(const std::string& name) {
    if (name == "ESC") return VK_ESCAPE;
    if (name == "F1") return VK_F1;
    if (name.size() == 1) {
        const char c = name[0];
        if (c == 'Z' || c == 'Q' || c == 'W' || c == 'A' || c == 'S' || c == 'M' || c == 'C' ||
            c == 'L') {
            return c;
        }
        if (c >= '0' && c <= '9') return c;
    }
    return -1;
}

bool ParseScript(const std::string& text, std::vector<ScriptOp>* ops, std::string* error) {
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    auto fail = [&](const std::string& why) {
        *error = "script line " + std::to_string(lineNo) + ": " + why + ": " + raw;
        return false;
    };
    while (std::getline(in, raw)) {
        ++lineNo;
        // A NUL byte would cut a scene name or a file path short where the runner passes it
        // on, so the script would name one thing and the run do another.
        if (raw.find('\0') != std::string::npos) return fail("a NUL byte in the line");
        std::string line = raw.substr(0, raw.find('#'));
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string s; words >> s;) w.push_back(s);
        if (w.empty()) continue;
        const std::string& cmd = w[0];
        auto push = [&](ScriptOpType t, int a = 0, int b = 0, std::string s = {}) {
            ops->push_back(ScriptOp{t, a, b, std::move(s), lineNo});
        };
        int x = 0;
        int y = 0;
        if (cmd == "wait") {
            if (w.size() != 2 || !ParseInt(w[1], &x) || x < 0) return fail("expected: wait MS");
            push(ScriptOpType::Wait, x);
        } else if (cmd == "until") {
            if (w.size() < 2 || w.size() > 3) return fail("expected: until SCENE_NAME [MAXMS]");
            const GameHooks& hooks = InputHooks();
            const int scene = hooks.sceneByName ? hooks.sceneByName(w[1].c_str()) : -1;
            if (scene < 0) return fail("unknown scene " + w[1]);
            int maxMs = DEFAULT_UNTIL_MS;
            if (w.size() == 3 && (!ParseInt(w[2], &maxMs) || maxMs < 0)) {
                return fail("bad MAXMS");
            }
            push(ScriptOpType::Until, scene, maxMs, w[1]);
        } else if (cmd == "move" || cmd == "click" || cmd == "dclick") {
            if (w.size() != 3 || !ParseInt(w[1], &x) || !ParseInt(w[2], &y)) {
                return fail("expected: " + cmd + " X Y");
            }
            push(ScriptOpType::Move, x, y);
            if (cmd == "click") {
                push(ScriptOpType::Down, 0, 0);
                push(ScriptOpType::Wait, CLICK_HOLD_MS);
                push(ScriptOpType::Up, 0);
            } else if (cmd == "dclick") {
                push(ScriptOpType::Down, 0, 0);
                push(ScriptOpType::Wait, DCLICK_GAP_MS / 2);
                push(ScriptOpType::Up, 0);
                push(ScriptOpType::Wait, DCLICK_GAP_MS / 2);
                push(ScriptOpType::Down, 0, 1);
                push(ScriptOpType::Wait, CLICK_HOLD_MS);
                push(ScriptOpType::Up, 0);
            }
        } else if (cmd == "down" || cmd == "up") {
            const int button = w.size() == 2 ? ButtonCode(w[1]) : -1;
            if (button < 0) return fail("expected: " + cmd + " left|right");
            if (cmd == "down") {
                push(ScriptOpType::Down, button, 0);
            } else {
                push(ScriptOpType::Up, button);
            }
        } else if (cmd == "key") {
            const int key = w.size() == 3 ? ScriptKeyCode(w[1]) : -1;
            if (key < 0 || (w[2] != "down" && w[2] != "up")) {
                return fail("expected: key NAME down|up");
            }
            push(ScriptOpType::Key, key, w[2] == "down" ? 1 : 0);
        } else if (cmd == "press") {
            const int key = (w.size() == 2 || w.size() == 3) ? ScriptKeyCode(w[1]) : -1;
            int ms = DEFAULT_PRESS_MS;
            if (key < 0 || (w.size() == 3 && (!ParseInt(w[2], &ms) || ms < 0))) {
                return fail("expected: press NAME [MS]");
            }
            push(ScriptOpType::Key, key, 1);
            push(ScriptOpType::Wait, ms);
            push(ScriptOpType::Key, key, 0);
        } else if (cmd == "shot" || cmd == "dump") {
            // The file is the rest of the line, so that a path may hold spaces (a data folder
            // under "My Games", say); only the white space around it is dropped.
            const size_t from = line.find_first_not_of(" \t\v\f\r", line.find(cmd) + cmd.size());
            const size_t to = line.find_last_not_of(" \t\v\f\r");
            if (w.size() < 2 || from == std::string::npos) {
                return fail("expected: " + cmd + " FILE");
            }
            const std::string path =
                std::filesystem::absolute(line.substr(from, to + 1 - from)).string();
            push(cmd == "shot" ? ScriptOpType::Shot : ScriptOpType::Dump, 0, 0, path);
        } else if (cmd == "quit") {
            if (w.size() != 1) return fail("expected: quit");
            push(ScriptOpType::Quit);
        } else {
            return fail("unknown command");
        }
    }
    return true;
}

bool LoadScriptFile(const std::string& path, std::vector<ScriptOp>* ops, std::string* error) {
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read the script " + path;
        return false;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    return ParseScript(buffer.str(), ops, error);
}
