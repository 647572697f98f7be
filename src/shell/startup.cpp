#include "shell/startup.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "media/blend.h"
#include "media/palette.h"
#include "media/resources.h"
#include "media/sound.h"
#include "platform/core/platform.h"
#include "scenes/help_card.h"
#include "shell/data_dir.h"
#include "state/loop_state.h"
#include "state/random.h"

namespace {

const char* const BLEND_FILE = "DATA\\TXT\\palet.dat";
const char* const BLEND_FOLDER = "DATA\\TXT";
const char* const MATCH_PALETTE_FILE = "DATA\\BMP\\RANK.bmp";

// The table in the cache folder, built there unless an earlier run did. "" when it cannot be
// had, with one line saying why.
std::string BuildCachedBlendFile(const PaletteEntry (&palette)[256]) {
    std::string file = CachedBlendFile(palette);
    if (file.empty()) {
        std::fprintf(stderr,
                     "kelmorav: %s is missing, its folder cannot be written and there is no "
                     "cache folder to build it in (neither XDG_CACHE_HOME nor HOME is set)\n",
                     UserPath(BLEND_FILE).c_str());
        return "";
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    if (!BuildBlendFile(file.c_str(), palette)) {
        std::fprintf(stderr, "kelmorav: %s is missing and cannot be built in %s: %s\n",
                     UserPath(BLEND_FILE).c_str(), file.c_str(), std::strerror(errno));
        return "";
    }
    return file;
}

// A missing blend table file is generated from the match palette (the colours of RANK.bmp,
// which ETC.bmp and COLOR.bmp share), the palette the translucent loops blend under; the
// start-up palette is still all black at this point. It is written into the data directory
// when the game may write there, and otherwise (an installed game, a read-only folder) into the
// user's cache folder. Returns the file to read, or "" (after one line) when there is none.
std::string PrepareBlendFile() {
    // A run killed while it wrote a table leaves its temporary beside the table: such leftovers
    // go, once the run that left them has ended (the data folder only when it may be written).
    if (DataDir.mayWrite) RemoveStalePartsOf(HostPath(BLEND_FILE));
    RemoveStalePartsIn(CacheDir(), "palet-");
    if (std::FILE* existing = OpenGameFile(BLEND_FILE, "r")) {
        std::fclose(existing);
        return BLEND_FILE;
    }
    BmpImage rank;
    std::string error;
    if (!ReadBmpFile(MATCH_PALETTE_FILE, &rank, &error)) {
        std::fprintf(stderr, "kelmorav: %s is missing and cannot be built from %s: %s\n",
                     UserPath(BLEND_FILE).c_str(), UserPath(MATCH_PALETTE_FILE).c_str(),
                     error.c_str());
        return "";
    }
    if (DataDir.mayWrite && ::access(HostPath(BLEND_FOLDER).c_str(), W_OK) == 0 &&
        BuildBlendFile(BLEND_FILE, rank.colours)) {
        return BLEND_FILE;
    }
    return BuildCachedBlendFile(rank.colours);
}

}  // namespace

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
    const std::string blendFile = PrepareBlendFile();
    if (blendFile.empty()) PlatformExit(1);  // said why
    LoadBlendTable(blendFile.c_str());
    FillTrigTables();
    // The help card shows while F1 is held, over whatever scene is presented.
    SetPresentOverlay(VK_F1, ComposeHelpCard);
    Scene = SCENE_TITLE_LOAD;
}
