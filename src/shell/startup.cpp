#include "shell/startup.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "media/blend.h"
#include "media/palette.h"
#include "media/random.h"
#include "media/resources.h"
#include "media/sound.h"
#include "platform/platform.h"
#include "shell/shell_state.h"

namespace {

const char* const BLEND_FILE = "DATA\\TXT\\palet.dat";
const char* const MATCH_PALETTE_FILE = "DATA\\BMP\\RANK.bmp";

// A missing blend table file is generated from the match palette (the colours of RANK.bmp,
// which ETC.bmp and COLOR.bmp share), the palette the translucent loops blend under; the
// start-up palette is still all black at this point.
void BuildBlendFileFromMatchPalette() {
    if (std::FILE* existing = OpenGameFile(BLEND_FILE, "r")) {
        std::fclose(existing);
        return;
    }
    BmpImage rank;
    std::string error;
    if (!ReadBmpFile(MATCH_PALETTE_FILE, &rank, &error)) {
        std::fprintf(stderr, "kelmorav: cannot generate %s: %s\n", UserPath(BLEND_FILE).c_str(),
                     error.c_str());
        return;
    }
    PaletteEntry saved[256];
    for (int i = 0; i < 256; ++i) saved[i] = ScreenPalette[i];
    for (int i = 0; i < 256; ++i) ScreenPalette[i] = rank.colours[i];
    BuildBlendFile(BLEND_FILE);
    for (int i = 0; i < 256; ++i) ScreenPalette[i] = saved[i];
}

}  // namespace

std::string DataDirectoryProblem(const std::string& dir) {
    namespace fs = std::filesystem;
    std::string shown = dir;
    while (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    std::error_code error;
    const fs::file_status status = fs::status(dir, error);
    if (!fs::exists(status)) return "the data directory " + shown + " does not exist";
    if (!fs::is_directory(status)) return "the data directory " + shown + " is not a directory";
    if (access(dir.c_str(), R_OK | X_OK) != 0) {
        return "the data directory " + shown + " cannot be read (" + std::strerror(errno) + ")";
    }
    const std::string data = (shown == "/" ? "" : shown) + "/DATA";
    if (!fs::is_directory(data, error)) {
        return shown + " holds no DATA folder (the game's pictures, sounds, music and texts)";
    }
    std::vector<std::string> missing;
    for (const char* folder : {"BMP", "SOUND", "BGM", "TXT"}) {
        if (!fs::is_directory(data + "/" + folder, error)) missing.push_back(folder);
    }
    if (missing.empty()) return "";
    std::string list;
    for (size_t i = 0; i < missing.size(); ++i) {
        if (i > 0) list += i + 1 == missing.size() ? " and " : ", ";
        list += missing[i];
    }
    return data + " lacks the folder" + (missing.size() > 1 ? "s " : " ") + list;
}

void FillTrigTables() {
    for (int i = 0; i < 256; ++i) {
        const double angle = i * 0.0245436875;
        SinTable[i] = std::sin(angle);
        CosTable[i] = std::cos(angle);
    }
}

void StartUp(uint32_t seed) {
    FrontSurface = CreateDisplayPair(640, 480, &BackBuffer);
    PlatformOpenAudio();
    LoadAllVoices();
    SeedRandom(seed);
    BuildBlendFileFromMatchPalette();
    LoadBlendTable(BLEND_FILE);
    FillTrigTables();
    Scene = SCENE_TITLE_LOAD;
}
