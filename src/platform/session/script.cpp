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

// One line of the script: its number, its text without the comment, and its words.
struct Line {
    int number = 0;
    std::string text;
    std::vector<std::string> words;
};

Line SplitLine(const std::string& raw, int number) {
    Line line;
    line.number = number;
    line.text = raw.substr(0, raw.find('#'));
    std::istringstream words(line.text);
    for (std::string word; words >> word;) line.words.push_back(word);
    return line;
}

void Push(std::vector<ScriptOp>* ops, const Line& line, ScriptOpType type, int a = 0, int b = 0,
          std::string text = {}) {
    ops->push_back(ScriptOp{type, a, b, std::move(text), line.number});
}

// Each command appends its operations and returns "", or returns why the line is refused (and
// appends nothing).
using CommandParser = std::string (*)(const Line& line, std::vector<ScriptOp>* ops);

std::string ParseWait(const Line& line, std::vector<ScriptOp>* ops) {
    const std::vector<std::string>& w = line.words;
    int ms = 0;
    if (w.size() != 2 || !ParseInt(w[1], &ms) || ms < 0) return "expected: wait MS";
    Push(ops, line, ScriptOpType::Wait, ms);
    return "";
}

std::string ParseUntil(const Line& line, std::vector<ScriptOp>* ops) {
    const std::vector<std::string>& w = line.words;
    if (w.size() < 2 || w.size() > 3) return "expected: until SCENE_NAME [MAXMS]";
    const GameHooks& hooks = InputHooks();
    const int scene = hooks.sceneByName ? hooks.sceneByName(w[1].c_str()) : -1;
    if (scene < 0) return "unknown scene " + w[1];
    int maxMs = DEFAULT_UNTIL_MS;
    if (w.size() == 3 && (!ParseInt(w[2], &maxMs) || maxMs < 0)) return "bad MAXMS";
    Push(ops, line, ScriptOpType::Until, scene, maxMs, w[1]);
    return "";
}

// move, click and dclick: the pointer goes to the point, and a click presses the left button
// there (a double click twice, the second press marked as the double).
std::string ParsePointer(const Line& line, std::vector<ScriptOp>* ops) {
    const std::vector<std::string>& w = line.words;
    const std::string& cmd = w[0];
    int x = 0;
    int y = 0;
    if (w.size() != 3 || !ParseInt(w[1], &x) || !ParseInt(w[2], &y)) {
        return "expected: " + cmd + " X Y";
    }
    Push(ops, line, ScriptOpType::Move, x, y);
    if (cmd == "dclick") {
        Push(ops, line, ScriptOpType::Down, 0, 0);
        Push(ops, line, ScriptOpType::Wait, DCLICK_GAP_MS / 2);
        Push(ops, line, ScriptOpType::Up, 0);
        Push(ops, line, ScriptOpType::Wait, DCLICK_GAP_MS / 2);
    }
    if (cmd == "click" || cmd == "dclick") {
        Push(ops, line, ScriptOpType::Down, 0, cmd == "dclick" ? 1 : 0);
        Push(ops, line, ScriptOpType::Wait, CLICK_HOLD_MS);
        Push(ops, line, ScriptOpType::Up, 0);
    }
    return "";
}

// tap X Y: the left button pressed and released at the point at once, as a touchpad's tap does;
// tap NAME: the key pressed and released at once. Both come and go before the next frame.
std::string ParseTap(const Line& line, std::vector<ScriptOp>* ops) {
    const std::vector<std::string>& w = line.words;
    int x = 0;
    int y = 0;
    if (w.size() == 3 && ParseInt(w[1], &x) && ParseInt(w[2], &y)) {
        Push(ops, line, ScriptOpType::Move, x, y);
        Push(ops, line, ScriptOpType::Down, 0, 0);
        Push(ops, line, ScriptOpType::Up, 0);
        return "";
    }
    const int key = w.size() == 2 ? ScriptKeyCode(w[1]) : -1;
    if (key < 0) return "expected: tap X Y or tap NAME";
    Push(ops, line, ScriptOpType::Key, key, 1);
    Push(ops, line, ScriptOpType::Key, key, 0);
    return "";
}

std::string ParseButton(const Line& line, std::vector<ScriptOp>* ops) {
    const std::vector<std::string>& w = line.words;
    const int button = w.size() == 2 ? ButtonCode(w[1]) : -1;
    if (button < 0) return "expected: " + w[0] + " left|right";
    if (w[0] == "down") {
        Push(ops, line, ScriptOpType::Down, button, 0);
    } else {
        Push(ops, line, ScriptOpType::Up, button);
    }
    return "";
}

std::string ParseKey(const Line& line, std::vector<ScriptOp>* ops) {
    const std::vector<std::string>& w = line.words;
    const int key = w.size() == 3 ? ScriptKeyCode(w[1]) : -1;
    if (key < 0 || (w[2] != "down" && w[2] != "up")) return "expected: key NAME down|up";
    Push(ops, line, ScriptOpType::Key, key, w[2] == "down" ? 1 : 0);
    return "";
}

std::string ParsePress(const Line& line, std::vector<ScriptOp>* ops) {
    const std::vector<std::string>& w = line.words;
    const int key = (w.size() == 2 || w.size() == 3) ? ScriptKeyCode(w[1]) : -1;
    int ms = DEFAULT_PRESS_MS;
    if (key < 0 || (w.size() == 3 && (!ParseInt(w[2], &ms) || ms < 0))) {
        return "expected: press NAME [MS]";
    }
    Push(ops, line, ScriptOpType::Key, key, 1);
    Push(ops, line, ScriptOpType::Wait, ms);
    Push(ops, line, ScriptOpType::Key, key, 0);
    return "";
}

// shot and dump: the file is the rest of the line, so that a path may hold spaces (a data
// folder under "My Games", say); only the white space around it is dropped.
std::string ParseFile(const Line& line, std::vector<ScriptOp>* ops) {
    const std::string& cmd = line.words[0];
    const std::string& text = line.text;
    const size_t from = text.find_first_not_of(" \t\v\f\r", text.find(cmd) + cmd.size());
    const size_t to = text.find_last_not_of(" \t\v\f\r");
    if (line.words.size() < 2 || from == std::string::npos) return "expected: " + cmd + " FILE";
    const std::string path = std::filesystem::absolute(text.substr(from, to + 1 - from)).string();
    Push(ops, line, cmd == "shot" ? ScriptOpType::Shot : ScriptOpType::Dump, 0, 0, path);
    return "";
}

std::string ParseQuit(const Line& line, std::vector<ScriptOp>* ops) {
    if (line.words.size() != 1) return "expected: quit";
    Push(ops, line, ScriptOpType::Quit);
    return "";
}

struct Command {
    const char* name;
    CommandParser parse;
};

constexpr Command COMMANDS[] = {
    {"wait", ParseWait},     {"until", ParseUntil},    {"move", ParsePointer},
    {"click", ParsePointer}, {"dclick", ParsePointer}, {"down", ParseButton},
    {"up", ParseButton},     {"key", ParseKey},        {"press", ParsePress},
    {"tap", ParseTap},       {"shot", ParseFile},      {"dump", ParseFile},
    {"quit", ParseQuit},
};

// Appends the operations of one line (none for a blank or comment line); "" or why the line is
// refused.
std::string ParseLine(const std::string& raw, int number, std::vector<ScriptOp>* ops) {
    // A NUL byte would cut a scene name or a file path short where the runner passes it on, so
    // the script would name one thing and the run do another.
    if (raw.find('\0') != std::string::npos) return "a NUL byte in the line";
    const Line line = SplitLine(raw, number);
    if (line.words.empty()) return "";
    for (const Command& command : COMMANDS) {
        if (line.words[0] == command.name) return command.parse(line, ops);
    }
    return "unknown command";
}

// The one line that names the refused line of the script and says why.
std::string Refusal(int number, const std::string& why, const std::string& raw) {
    return "script line " + std::to_string(number) + ": " + why + ": " + raw;
}

}  // namespace

int ScriptKeyCode(const std::string& name) {
    if (name == "ESC") return VK_ESCAPE;
    if (name == "F1") return VK_F1;
    if (name == "F2") return VK_F2;
    if (name == "LEFT") return VK_LEFT;
    if (name == "RIGHT") return VK_RIGHT;
    if (name == "UP") return VK_UP;
    if (name == "DOWN") return VK_DOWN;
    if (name.size() == 1) {
        const char c = name[0];
        if (c == 'Z' || c == 'Q' || c == 'W' || c == 'A' || c == 'S' || c == 'M' || c == 'C' ||
            c == 'L' || c == 'H' || c == 'N' || c == 'P') {
            return c;
        }
        if (c >= '0' && c <= '9') return c;
    }
    return -1;
}

bool ParseScript(const std::string& text, std::vector<ScriptOp>* ops, std::string* error) {
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        const std::string why = ParseLine(raw, number, ops);
        if (!why.empty()) {
            *error = Refusal(number, why, raw);
            return false;
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
