// Stand-in until the match panels land.
#include "match/panels.h"

int OrbitAngle[3] = {0, 84, 168};

void DrawDigits(Surface*, int, int, int, int, int) {}
void DrawClock(int, int, int) {}
void DrawCentrePanel(Surface*, int, int, int, int, int, int) {}
void DrawSidePanels(Surface*) {}
