#pragma once
// The result screen: both sides' portraits, panels, scores and ranks, revealed one group at a
// time with a bang each; a mouse button shows everything, fades out and returns to the title.

// How many groups are shown: 0 to 5 while revealing, 7 once a button has been pressed.
extern int ResultStep;
// Frames since the screen began.
extern int ResultCounter;

// Scene handler of SCENE_RESULT.
void ResultFrame();
