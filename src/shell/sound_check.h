#pragma once
// `kelmorav --sound-check`: plays every sound effect in turn and the opening seconds of each
// piece of music, naming each on stdout, so a person can hear that sound works. Needs the
// platform and its audio open and the data directory as the working directory. Returns 0.

int RunSoundCheck();
