#pragma once
// The quit that tears down everything the run created.

// Restores the display, releases every scene group's objects, the display pair and the voices,
// stops and closes the music, and posts the quit message. A second request after the first has
// run does nothing.
void QuitGame();
