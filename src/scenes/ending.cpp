#include "scenes/ending.h"

#include <cstdio>

#include "media/music.h"
#include "media/palette.h"
#include "media/resources.h"
#include "scenes/title.h"
#include "state/language.h"
#include "state/loop_state.h"
#include "state/random.h"

PenHandle* FirePen = nullptr;
int MeltCounter = 0;
int CloseCounter = 0;

namespace {

constexpr int MELT_FRAMES = 60;
constexpr int CLOSE_FRAMES = 90;
constexpr int LOW_RES_WIDTH = 320;
constexpr int LOW_RES_HEIGHT = 240;
constexpr Rect FIRE_CANVAS_RECT = {0, 0, LOW_RES_WIDTH, LOW_RES_HEIGHT};
// Fire palettes have their hottest colour at the top index.
constexpr uint8_t HOTTEST = 255;

}  // namespace

void MeltPass(const LockedSurface& canvas) { MeltPassWith(canvas, Rand); }

void MeltPassWith(const LockedSurface& canvas, int (*random)()) {
    for (int y = 1; y < canvas.height; ++y) {
        uint8_t* row = canvas.pixels + static_cast<size_t>(y) * canvas.pitch;
        for (int x = 0; x < canvas.width; ++x) {
            const int v = row[x];
            // From 245 up a pixel goes white at once; below it climbs at most to 253.
            row[x] = v >= 245 ? HOTTEST : static_cast<uint8_t>(v + random() % 10);
        }
    }
}

void FireSmooth(const LockedSurface& canvas, FireSmoothVariant variant) {
    const int w = canvas.width;
    const int h = canvas.height;
    // The credits keep the top and bottom rows at full heat so that they feed the fire; the
    // close lets them cool with the rest.
    const bool credits = variant == FIRE_SMOOTH_CREDITS;
    const int firstRow = credits ? 1 : 0;
    const int lastRow = credits ? h - 2 : h - 1;
    const int decay = credits ? 4 : 7;
    for (int y = firstRow; y <= lastRow; ++y) {
        uint8_t* row = canvas.pixels + static_cast<size_t>(y) * canvas.pitch;
        for (int x = 0; x < w; ++x) {
            // Upper and left neighbours already hold this pass's values.
            int s = 4 * row[x];
            if (y >= 1) s += row[x - canvas.pitch];
            if (y <= h - 2) s += row[x + canvas.pitch];
            if (x >= 1) s += row[x - 1];
            if (x <= w - 2) s += row[x + 1];
            int v = s / 8 - Rand() % decay;
            if (v < 0) v = 0;
            row[x] = static_cast<uint8_t>(v);
        }
    }
}

// The last title picture burns out: every pixel climbs towards the hottest colour.
void MeltFrame() {
    // In English the Japanese screen melts unseen with the game's random numbers (they are
    // drawn per pixel below white), and the English one shown with numbers of its own.
    Surface* unseen = UnseenJapaneseTitleCanvas();
    LockedSurface japanese;
    const bool shadowed = unseen != nullptr && LockSurface(unseen, &japanese);
    if (shadowed) {
        MeltPass(japanese);
        UnlockSurface(unseen);
    }
    LockedSurface canvas;
    if (LockSurface(TitleWork, &canvas)) {
        if (shadowed) {
            MeltPassWith(canvas, ShownTitleFireRand);
        } else {
            MeltPass(canvas);
        }
        UnlockSurface(TitleWork);
    }
    BltFast(BackBuffer, 0, 0, TitleWork, nullptr, 0);
    Flip(FrontSurface);
    MeltCounter += 1;
    if (MeltCounter == MELT_FRAMES) {
        ReleaseTitle();
        Scene = SCENE_ENDING_FIRE;
        MeltCounter = 0;
    }
}

// Switches to the low-resolution mode with a fresh, white-hot fire canvas under a random fire
// palette, and starts the ending music. Nothing is presented in this frame.
void EndingFireSetup() {
    ReleaseSurfaceHandle(FrontSurface);
    BackBuffer = nullptr;
    FrontSurface = CreateDisplayPair(LOW_RES_WIDTH, LOW_RES_HEIGHT, &BackBuffer);
    // A canvas or pen left from an ending cut short would otherwise be lost.
    ReleaseSurfaceHandle(FireCanvas);
    FireCanvas = CreateSurface(LOW_RES_WIDTH, LOW_RES_HEIGHT);
    // The credits speak the language chosen, taken up as the ending starts.
    TakeUpChosenLanguage();
    char path[32];
    std::snprintf(path, sizeof path, "DATA\\BMP\\FIRE%d.bmp", Rand() % 16 + 1);
    LoadPaletteFromBmp(path);
    ColourFill(FireCanvas, &FIRE_CANVAS_RECT, HOTTEST);
    delete FirePen;
    FirePen = new PenHandle{Rgb{255, 255, 255}};
    SendMusicCommand("open DATA\\BGM\\BGM3.mid alias bgm type sequencer");
    SendMusicCommand("play bgm");
    LowResMode = 1;
    Scene = SCENE_CREDITS;
}

// Nothing new is drawn: the canvas cools to black under the last credits palette.
void EndingCloseFrame() {
    FramePeriod = 33;
    LockedSurface canvas;
    if (LockSurface(FireCanvas, &canvas)) {
        FireSmooth(canvas, FIRE_SMOOTH_CLOSE);
        UnlockSurface(FireCanvas);
    }
    BltFast(BackBuffer, 0, 0, FireCanvas, &FIRE_CANVAS_RECT, 0);
    Flip(FrontSurface);
    CloseCounter += 1;
    if (CloseCounter == CLOSE_FRAMES) {
        RestoreNormalMode();
        CloseCounter = 0;
    }
}

void RestoreNormalMode() {
    ReleaseSurfaceHandle(FireCanvas);
    if (FirePen != nullptr) {
        delete FirePen;
        FirePen = nullptr;
    }
    // Played directly, whatever SoundOn says.
    PlaySoundBuffer(SoundVoice[SFX_NOSOUND], false);
    SendMusicCommand("stop  bgm");
    SendMusicCommand("close bgm");
    if (LowResMode == 1) {
        LowResMode = 0;
        ReleaseSurfaceHandle(FrontSurface);
        FrontSurface = CreateDisplayPair(640, 480, &BackBuffer);
    }
    Scene = SCENE_TITLE_LOAD;
}
