#pragma once
// The computer's hand: while the computer has the side to move, it plays the turn through the
// inputs a person gives the match, a pointer and the left and right buttons, so that its move
// runs through the same steps, animations and sounds as a person's. It picks up the piece and
// clicks the square (or opens the placing panel with the hand button, chooses the kind with the
// arrows and presses on the square) and answers the promotion prompt, after at least half a
// second of thought so that a person can follow.

// A match begins: the hand rests, and the computer's evaluation noise gets the match's seed.
void ComputerHandNewMatch();
// Watches the computer key, which hands the side to move to the computer or takes it back.
// Called once per match frame with the other keys.
void WatchComputerKey();
// Once per match frame, after the pointer and the keys have been read and before anything acts
// on them: while the computer has the side to move, the pointer and the mouse buttons of this
// frame are the computer's hand (the person's are set aside). True when the hand acts.
bool ComputerHandFrame(int* pointerX, int* pointerY);
// At the end of every match frame: the buttons set aside are the person's again.
void ComputerHandFrameEnd();
// A demonstration match (both sides to the computer) that has gone on for a long time without an
// end, or whose side to move has no move and no points on their way, is ended, as the forfeit
// key ends a match, between two turns: true when it is time.
bool DemonstrationOver();
