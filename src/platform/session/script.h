#pragma once
// The headless test script: one command a line, '#' starts a comment.
//   wait MS | until SCENE_NAME [MAXMS] | move X Y | down left|right | up left|right
//   click X Y | dclick X Y | tap X Y | key NAME down|up | press NAME [MS] | tap NAME
//   shot FILE.png | dump FILE.json | quit
// Composite commands (click, dclick, tap, press) are expanded into primitive operations; a tap
// presses and releases at once, so both arrive before the next frame.

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
// Virtual key of a script key name (ESC, F1, Z, Q, W, A, S, M, C, L, H, N, P, 0..9), -1 if
// unknown.
int ScriptKeyCode(const std::string& name);
