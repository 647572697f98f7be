// Writes the three pieces of background music into DATA/BGM.
#include <cstdio>
#include <string>

#include "datagen.h"
#include "music/pieces.h"
#include "music/theory.h"

bool WriteMusic(const std::string& outDir) {
    using namespace musicgen;
    struct Entry {
        const char* file;
        Piece (*compose)();
    };
    const Entry entries[] = {
        {"BGM1.mid", ComposeTitleTheme},
        {"BGM2.mid", ComposeMatchTheme},
        {"BGM3.mid", ComposeEndingTheme},
    };
    bool ok = true;
    for (const Entry& entry : entries) {
        const int errorsBefore = NoteDataErrors();
        const Piece piece = entry.compose();
        if (NoteDataErrors() != errorsBefore) {
            std::fprintf(stderr, "datagen: %s has unreadable note data; not written\n", entry.file);
            ok = false;
            continue;
        }
        ok = WriteMidiFile(outDir + "/DATA/BGM/" + entry.file, piece.tracks, piece.endTick) && ok;
    }
    return ok;
}
