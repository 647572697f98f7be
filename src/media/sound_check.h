#pragma once
// Plays every sound effect and the opening of each piece of music, naming each on stdout.
int RunSoundCheck();
