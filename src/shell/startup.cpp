#include "shell/startup.h"

#include <cmath>
#include <cstdio>

#include "media/blend.h"
#include "media/palette.h"
#include "media/random.h"
#include "media/resources.h"
#include "media/sound.h"
#include "platform/platform.h"
#include "scenes/help_card.h"
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
        std::fprintf(stderr, "kelmorav: cannot generate %s: %s\n", BLEND_FILE, error.c_str());
        return;
    }
    BuildBlendFile(BLEND_FILE, rank.colours);
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
    BuildBlendFileFromMatchPalette();
    LoadBlendTable(BLEND_FILE);
    FillTrigTables();
    // The help card shows while F1 is held, over whatever scene is presented.
    SetPresentOverlay(VK_F1, ComposeHelpCard);
    Scene = SCENE_TITLE_LOAD;
}
