#pragma once
// The two stages of a capture: the captured piece bursts into its 1024 pixels, which fly apart
// and gather again into a point mote; then the point motes fly on curving paths to the
// capturer's pad, each adding one point there on arrival.

#include <cstdint>

#include "platform/core/platform.h"

constexpr int POINT_MOTE_COUNT = 10;
constexpr int SHATTER_FRAGMENT_COUNT = 1024;
constexpr int SHATTER_LAST_FRAME = 60;
constexpr int SHATTER_START_SPEED = 7;
// Pads the motes fly to: side 0's on the right, side 1's on the left.
constexpr int MOTE_TARGET_X[2] = {516, 93};
constexpr int MOTE_TARGET_Y = 32;

struct PointMote {
    int x;  // top-left of the mote sprite
    int y;
    int targetX;  // the pad it flies to
    int targetY;
    int heading;    // direction of flight, 256 units a turn; only the low byte is an angle
    uint8_t delay;  // 0 free, 1 flying, n > 1 waits n - 1 more frames
    uint8_t side;   // the capturing side, which gets the point
};

struct ShatterFragment {
    double x0;
    double y0;
    double dx;
    double dy;
};

extern PointMote PointMoteTable[POINT_MOTE_COUNT];
extern ShatterFragment ShatterPixel[SHATTER_FRAGMENT_COUNT];
extern int ShatterRadius;
extern int ShatterPhase;  // 0 burst, 1 gather, 2 mote
extern int ShatterSpeed;

// One frame of the burst of the piece whose sheet is given, its block's top-left at (x, y);
// frame counts 0..60 and the call for frame 60 leaves the effect ready for the next capture.
void ShatterStep(Surface* sheet, int x, int y, int frame);

// Moves, draws and retires the ten point motes; an arriving mote scores its point.
void UpdateMotes();

// Releases a mote from (x, y) towards side's pad in the lowest free slot; false when all ten are
// taken (the mote and its point are lost).
bool ReleaseMote(int x, int y, double fromX, double fromY, int side, int delay);
