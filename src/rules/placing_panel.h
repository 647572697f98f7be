#pragma once
// The placing panel: instead of moving, the side to move may spend points on a new piece of kind
// pawn..bishop and place it on any empty square. The hand button opens the panel; two arrows
// choose the kind among those the side can afford; a held left button on an empty square sends
// the piece flying there; a right click closes the panel without placing.

#include <cstdint>

// Panel steps.
constexpr int PLACE_OPENING = 0;
constexpr int PLACE_CANCEL_CLOSING = 1;
constexpr int PLACE_CHOOSING = 2;
constexpr int PLACE_REPORT_CANCELLED = 3;
constexpr int PLACE_FLYING = 4;
constexpr int PLACE_PLACED_CLOSING = 5;
constexpr int PLACE_REPORT_PLACED = 6;
constexpr int PLACE_LISTING = 9;

// Answers of PlacePanel.
constexpr int PLACE_RUNNING = 0;
constexpr int PLACE_DONE = 1;
constexpr int PLACE_CANCELLED = 2;

constexpr int PLACE_PANEL_FULL_SIZE = 16;
constexpr int PLACE_FLIGHT_FRAMES = 60;

struct TrailPoint {
    int x;
    int y;
};

extern int PlacePanelStep;
extern int PlaceChoice;     // 0..6: the kind on offer is PlaceChoice + 1
extern int PlacePanelSize;  // 0..16: the panel grows and shrinks by one per frame
extern int PlaceTarget;     // the ReachTable entry chosen as the target square, -1 for none
extern int PlaceFlightFrame;
extern int PlaceFlightDistance;
extern int PlaceFlightAngle;  // 256 units a turn
extern TrailPoint PlaceFlightIcon;
extern TrailPoint PlaceFlightTrail[3];

// Closes the panel at once, as at the start of a match.
void ResetPlacePanel();

// The panel's top-left corner for a side: (469, 0) for side 0, (45, 0) for side 1.
TrailPoint PlacePanelOrigin(int side);

// Tests the side to move's hand button against the pointer. Sets HoverFlag over a button whose
// side has points; answers 1 (and plays the opening sound) when a mouse button is held there.
int HandButtonTest(int mx, int my);

// One frame of the open panel, drawn into BackBuffer. Answers PLACE_RUNNING, PLACE_DONE (a piece
// was placed) or PLACE_CANCELLED.
int PlacePanel(int mx, int my);
