// libFuzzer target: the headless script parser on arbitrary text. Every operation it gives
// must be one the runner can carry out (a known scene, button or key, a time that is not
// negative, a file path it can write), the operations of each line must be the expansion of one
// command, a refusal must name a line of the script in one line of text and be the refusal of
// that line alone, and the commands read back out of the operations must parse to the same
// operations.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "platform/core/platform.h"
#include "platform/session/script.h"
#include "state/loop_state.h"

namespace {

bool Same(const ScriptOp& a, const ScriptOp& b) {
    return a.type == b.type && a.a == b.a && a.b == b.b && a.text == b.text;
}

// The number of lines std::getline sees in text.
int LineCount(const std::string& text) {
    int lines = 0;
    size_t start = 0;
    while (start < text.size()) {
        ++lines;
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

std::string LineOf(const std::string& text, int number) {
    size_t start = 0;
    for (int i = 1; i < number; ++i) start = text.find('\n', start) + 1;
    const size_t end = text.find('\n', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string KeyName(int key) {
    std::string name(1, static_cast<char>(key));
    if (key == VK_ESCAPE) name = "ESC";
    if (key == VK_F1) name = "F1";
    FUZZ_CHECK(ScriptKeyCode(name) == key);
    return name;
}

std::string ButtonName(int button) {
    FUZZ_CHECK(button == 0 || button == 1);
    return button == 0 ? "left" : "right";
}

bool Is(const std::vector<ScriptOp>& ops, std::initializer_list<ScriptOpType> types) {
    if (ops.size() != types.size()) return false;
    size_t i = 0;
    for (ScriptOpType t : types) {
        if (ops[i++].type != t) return false;
    }
    return true;
}

// The command whose expansion the operations of one line are; aborts if they are none. Sets
// *printable to false when the command cannot be written back as a word (a path whose working
// directory holds white space or '#').
std::string CommandOf(const std::vector<ScriptOp>& ops, bool* printable) {
    using T = ScriptOpType;
    const ScriptOp& op = ops[0];
    const std::string a = std::to_string(op.a);
    const std::string b = std::to_string(op.b);
    if (Is(ops, {T::Wait})) {
        FUZZ_CHECK(op.a >= 0);
        return "wait " + a;
    }
    if (Is(ops, {T::Until})) {
        const char* name = SceneName(op.a);
        FUZZ_CHECK(name != nullptr && op.text == name && op.b >= 0);
        return "until " + op.text + " " + b;
    }
    if (Is(ops, {T::Move})) return "move " + a + " " + b;
    if (Is(ops, {T::Move, T::Down, T::Wait, T::Up})) {
        FUZZ_CHECK(ops[1].a == 0 && ops[1].b == 0 && ops[2].a >= 0 && ops[3].a == 0);
        return "click " + a + " " + b;
    }
    if (Is(ops, {T::Move, T::Down, T::Wait, T::Up, T::Wait, T::Down, T::Wait, T::Up})) {
        FUZZ_CHECK(ops[1].a == 0 && ops[1].b == 0 && ops[3].a == 0 && ops[5].a == 0 &&
                   ops[5].b == 1 && ops[7].a == 0);
        FUZZ_CHECK(ops[2].a >= 0 && ops[4].a >= 0 && ops[6].a >= 0);
        return "dclick " + a + " " + b;
    }
    if (Is(ops, {T::Down})) {
        FUZZ_CHECK(op.b == 0);
        return "down " + ButtonName(op.a);
    }
    if (Is(ops, {T::Up})) return "up " + ButtonName(op.a);
    if (Is(ops, {T::Key})) {
        FUZZ_CHECK(op.b == 0 || op.b == 1);
        return "key " + KeyName(op.a) + (op.b ? " down" : " up");
    }
    if (Is(ops, {T::Key, T::Wait, T::Key})) {
        FUZZ_CHECK(op.b == 1 && ops[2].a == op.a && ops[2].b == 0 && ops[1].a >= 0);
        return "press " + KeyName(op.a) + " " + std::to_string(ops[1].a);
    }
    if (Is(ops, {T::Shot}) || Is(ops, {T::Dump})) {
        // The runner writes the file the script names: a path it could not pass on whole (one
        // with a NUL byte) or one that depends on where the runner stands is no use.
        FUZZ_CHECK(!op.text.empty() && op.text[0] == '/' &&
                   op.text.find('\0') == std::string::npos);
        *printable = op.text.find_first_of(" \t\n\v\f\r#") == std::string::npos;
        return (op.type == T::Shot ? "shot " : "dump ") + op.text;
    }
    if (Is(ops, {T::Quit})) return "quit";
    FuzzCheckFailed("the operations of a line expand no command", __FILE__, __LINE__);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool hooked = [] {
        GameHooks hooks;
        hooks.sceneByName = SceneByName;
        SetGameHooks(hooks);
        return true;
    }();
    (void)hooked;

    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptOp> ops;
    std::string error;
    const bool parsed = ParseScript(text, &ops, &error);
    const int lines = LineCount(text);

    // A refusal names a line of the script, in one line of text, and that line alone is
    // refused with the same words.
    int badLine = lines + 1;
    if (parsed) {
        FUZZ_CHECK(error.empty());
    } else {
        const std::string prefix = "script line ";
        FUZZ_CHECK(error.rfind(prefix, 0) == 0 && error.find('\n') == std::string::npos);
        const size_t colon = error.find(": ", prefix.size());
        FUZZ_CHECK(colon != std::string::npos);
        badLine = std::atoi(error.c_str() + prefix.size());
        FUZZ_CHECK(badLine >= 1 && badLine <= lines);
        std::vector<ScriptOp> alone;
        std::string aloneError;
        FUZZ_CHECK(!ParseScript(LineOf(text, badLine), &alone, &aloneError) && alone.empty());
        FUZZ_CHECK(aloneError == "script line 1" + error.substr(colon));
    }

    // The operations come line by line, each line's the expansion of one command; the commands
    // written out again parse to the same operations.
    std::string commands;
    bool printable = true;
    for (size_t i = 0; i < ops.size();) {
        const int line = ops[i].line;
        FUZZ_CHECK(line >= 1 && line < badLine);
        size_t end = i;
        while (end < ops.size() && ops[end].line == line) ++end;
        FUZZ_CHECK(end == ops.size() || ops[end].line > line);
        const std::vector<ScriptOp> lineOps(ops.begin() + i, ops.begin() + end);
        commands += CommandOf(lineOps, &printable) + "\n";
        i = end;
    }
    if (printable) {
        std::vector<ScriptOp> again;
        std::string againError;
        FUZZ_CHECK(ParseScript(commands, &again, &againError) && again.size() == ops.size());
        for (size_t i = 0; i < ops.size(); ++i) FUZZ_CHECK(Same(again[i], ops[i]));
    }
    return 0;
}
