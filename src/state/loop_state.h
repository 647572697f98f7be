#pragma once
// The loop state every scene reads and writes: the scene number, the frame period, the 100 ms
// animation tick and its swing, the mouse buttons kept by the window procedure with the two
// click records the scenes keep of them, and the trigonometric tables. It is a library of its
// own below every room of the game, so each room may use it without reaching the main loop.

#include <cstdint>

enum SceneNumber : int8_t {
    SCENE_TITLE_LOAD = 1,
    SCENE_TITLE = 2,
    SCENE_MATCH_LOAD = 4,
    SCENE_MATCH = 5,
    SCENE_RESULT = 6,
    SCENE_MELT = 7,
    SCENE_ENDING_CLOSE = 8,
    SCENE_ENDING_FIRE = 9,
    SCENE_CREDITS = 10,
    SCENE_QUIT = 11,
};

// MouseButtons bits.
constexpr uint8_t MOUSE_LEFT_HELD = 0x10;
constexpr uint8_t MOUSE_LEFT_DOUBLE = 0x20;
constexpr uint8_t MOUSE_RIGHT_HELD = 0x01;
constexpr uint8_t MOUSE_RIGHT_DOUBLE = 0x02;

extern int8_t Scene;
extern uint32_t FramePeriod;
extern int32_t AnimTick;
extern int32_t SwingOffset;
extern uint8_t MouseButtons;
// MouseButtons bits that were clear at the end of the previous match frame: a bit set both here
// and in MouseButtons is a click. The match frame writes it; the match and its panels read it.
extern uint8_t MouseWasUp;
// The title menu's click latch: 1 once a held button has been seen, 0 when none is held. The
// match sets it at each change of turn.
extern uint8_t ClickLatch;

// sin and cos of i * 0.0245436875 rad: 256 units make a turn.
extern double SinTable[256];
extern double CosTable[256];

// Name of a scene number ("SCENE_MATCH"), or nullptr for a number without a handler.
const char* SceneName(int scene);
// Scene number of a name, -1 if unknown.
int SceneByName(const char* name);
