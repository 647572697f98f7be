// kelmorav_datagen [--out DIR] [--preview DIR] [--icons DIR]: writes DIR/DATA for the game,
// previews of the artwork, the desktop icons.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "datagen.h"

int main(int argc, char** argv) {
    std::string outDir;
    std::string previewDir;
    std::string iconDir;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            outDir = argv[++i];
        } else if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
            previewDir = argv[++i];
        } else if (std::strcmp(argv[i], "--icons") == 0 && i + 1 < argc) {
            iconDir = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--out DIR] [--preview DIR] [--icons DIR]\n", argv[0]);
            return 2;
        }
    }
    if (outDir.empty() && previewDir.empty() && iconDir.empty()) {
        std::fprintf(stderr, "usage: %s [--out DIR] [--preview DIR] [--icons DIR]\n", argv[0]);
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
    if (!iconDir.empty()) ok = WriteIcons(iconDir) && ok;
    return ok ? 0 : 1;
}
