#pragma once
// The headless test script: one command a line, '#' starts a comment.
//   wait MS | until SCENE_NAME [MAXMS] | move X Y | down left|right | up left|right
//   click X Y | dclick X Y | key NAME down|up | press NAME [MS] | shot FILE.png
//   dump FILE.json | quit
// Composite commands (click, dclick, press) are expanded into primitive operations.

#include <string>
#include <vector>

enum class ScriptOpType { Wait, Until, Move, Down, Up, Key, Shot, Dump, Quit };

struct ScriptOp {
    ScriptOpType type = ScriptOpType::Wait;
    int a = 0;         // ms, scene, x, button (0 left, 1 right) or virtual key
    int b = 0;         // max ms, y, double-click flag or key-down flag
    std::string text;  // file path (absolute) or scene name
    int line = 0;
};

// Parses script text. Scene names are resolved through the game hooks. On error returns false
// with a message naming the line.
bool ParseScript(const std::string& text, std::vector<ScriptOp>* ops, std::string* error);
bool LoadScriptFile(const std::string& path, std::vector<ScriptOp>* ops, std::string* error);
// Headless runs only: a source of more script text, asked each time the script has run out.
// It appends lines to *text and returns true to go on, or returns false to let the run end as
// it does at the end of a script. A driver that watches the game (the soak) uses it to choose
// its next input from the state the game is in; without one a script ends where its file ends.
using ScriptRefill = bool (*)(std::string* text);
void SetScriptRefill(ScriptRefill refill);

// Virtual key of a script key name (ESC, F1, Z, Q, W, A, S, M, C, L, 0..9), -1 if unknown.
int ScriptKeyCode(const std::string& name);
