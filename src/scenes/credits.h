#pragma once
// The staff credits over the burning canvas: each entry is stamped into the fire canvas every
// frame so that the fire makes it glow; a pulse trace sweeps the middle and two dots circle it.

#include <cstdint>

struct CreditsEntry {
    int row;           // line breaks the text spans; sets its height on the screen
    int frames;        // length of the entry in frames (the last one without text)
    const char* text;  // UTF-8, '\n' breaks a line; "" draws nothing
};

constexpr int CREDITS_ENTRY_COUNT = 29;
extern const CreditsEntry CreditsTable[CREDITS_ENTRY_COUNT];

extern int CreditsIndex;    // current entry of CreditsTable
extern int CreditsCounter;  // frames of the current entry so far
// The pulse trace's head and the head of the previous frame.
extern int TraceX;
extern int TraceY;
extern int TracePrevX;
extern int TracePrevY;
// Angles of the two circling dots, 256 units a turn, wrapping.
extern uint8_t DotAngle[2];

// Scene handler of SCENE_CREDITS.
void CreditsFrame();
// The trace, the dots, one smoothing pass and the presentation of the canvas.
void CreditsFireStep();
