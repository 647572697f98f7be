// kelmorav_datagen --out DIR [--preview DIR]: writes DIR/DATA for the game.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "datagen.h"

int main(int argc, char** argv) {
    std::string outDir;
    std::string previewDir;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            outDir = argv[++i];
        } else if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
            previewDir = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s --out DIR [--preview DIR]\n", argv[0]);
            return 2;
        }
    }
    if (outDir.empty() && previewDir.empty()) {
        std::fprintf(stderr, "usage: %s --out DIR [--preview DIR]\n", argv[0]);
        return 2;
    }
    bool ok = true;
    if (!outDir.empty()) {
        for (const char* sub : {"DATA/BMP", "DATA/TXT", "DATA/SOUND", "DATA/BGM"}) {
            std::filesystem::create_directories(std::filesystem::path(outDir) / sub);
        }
        ok = WriteArtwork(outDir) && ok;
        ok = WriteSoundEffects(outDir) && ok;
        ok = WriteMusic(outDir) && ok;
    }
    if (!previewDir.empty()) {
        std::filesystem::create_directories(previewDir);
        ok = WriteArtworkPreviews(previewDir) && ok;
    }
    return ok ? 0 : 1;
}
