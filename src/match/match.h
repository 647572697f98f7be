#pragma once
// The match scene: its load and its per-frame handler, with the step machine that takes a turn
// from the selection of a piece through its move, a capture and a promotion to the next side.

#include <cstdint>

void MatchLoad();
void MatchFrame();

// Steps of the match (MatchState).
constexpr uint8_t MATCH_SELECT = 0;
constexpr uint8_t MATCH_GENERATE = 1;
constexpr uint8_t MATCH_MOVE = 2;
constexpr uint8_t MATCH_POINTS_FLIGHT = 3;
constexpr uint8_t MATCH_END_OF_TURN = 4;
constexpr uint8_t MATCH_CHOOSE_DESTINATION = 6;
constexpr uint8_t MATCH_LANDING = 8;
constexpr uint8_t MATCH_AFTER_MOVE = 12;
constexpr uint8_t MATCH_PROMOTION_PROMPT = 13;
constexpr uint8_t MATCH_PROMOTE = 14;
constexpr uint8_t MATCH_PLACING = 15;
constexpr uint8_t MATCH_OPENING = 100;

struct MoverTrailRecord {
    int x;
    int y;
};

extern uint8_t MatchState;
extern int MatchClock;  // match time in seconds
extern double MoverX;   // mover origin of SelectedPiece on the screen
extern double MoverY;
extern double MoverStepX;  // per-frame advance of the hop
extern double MoverStepY;
extern int StepFrames;     // counts the hop down and the landing up
extern int HopOffset;      // vertical term of the hop: 16..1, then -1..-16
extern int SelectSize;     // visible height of the selected piece's tall sprite
extern int PreviousSize;   // visible height of the previously selected piece's
extern int8_t PulseLevel;  // 8..15: brightness of the reach markers
extern int8_t PulseStep;
extern MoverTrailRecord MoverTrail[4];  // mover origin of the last four frames, 0 newest
extern uint32_t PulseStamp;             // time of the last marker pulse step
extern uint32_t ClockStamp;             // time of the last clock count

// Mover origin of a board square: the top-left of its tile raised by 16 pixels.
double MoverOriginX(int x, int y);
double MoverOriginY(int x, int y);
