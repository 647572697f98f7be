#pragma once
// The three pieces of background music, composed as note data.

#include <vector>

#include "music/midi_writer.h"

namespace musicgen {

struct Piece {
    Piece() { tracks.reserve(16); }  // parts keep pointers to their tracks
    // Adds a track; the first one added carries the tempo map.
    MidiTrack* AddTrack(const char* name) {
        tracks.emplace_back(name);
        return &tracks.back();
    }
    std::vector<MidiTrack> tracks;
    long endTick = 0;
};

// BGM1: the title, a dramatic rise for the burning menu.
Piece ComposeTitleTheme();
// BGM2: the match, calm and looping without a seam.
Piece ComposeMatchTheme();
// BGM3: the ending, building to a finale under the credits.
Piece ComposeEndingTheme();

}  // namespace musicgen
