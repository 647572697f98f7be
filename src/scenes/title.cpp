#include "scenes/title.h"

#include <cstdio>
#include <utility>

#include "media/draw.h"
#include "media/music.h"
#include "media/palette.h"
#include "media/pictures.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "platform/core/platform.h"
#include "state/computer_setting.h"
#include "state/language.h"
#include "state/loop_state.h"
#include "state/random.h"

int TitleStep = TITLE_RESTART;
int TitleCounter = 0;
int MenuChoice = -1;

namespace {

// Where the title art's three pictures stand on the screen.
constexpr int PICTURE_X[PICTURE_CELL_COUNT] = {20, 220, 420};
constexpr int PICTURE_Y = 120;

// Screen areas of the menu.
constexpr Rect HOT_ZONE = {270, 460, 410, 480};
constexpr Rect HOT_ZONE_TEXT_BOX = {270, 460, 640, 480};
constexpr int ITEM_TOP = 360;
constexpr int ITEM_BOTTOM = 410;
// With both sides to the computer the menu chooses the start item by itself after this many
// frames, so that demonstration matches follow one another.
constexpr int DEMO_START_FRAMES = 90;

Rect ItemArea(int item) {
    const int left = 208 + 148 * item;
    return Rect{left, ITEM_TOP, left + 100, ITEM_BOTTOM};
}

const Rect& PointerFrame(int frame) {
    return FamilyCellRect(CELL_POINTER_0, frame, FRAME_CELL_COUNT);
}

int PointerX = 0;
int PointerY = 0;

// The flames draw a random number for every hot pixel, so words of another shape would draw
// another count and lead the game's random numbers (the board, the colours) elsewhere. In
// English the menu therefore also burns the Japanese pictures on a canvas of its own, unseen,
// with the game's random numbers, as the Japanese menu does; the English canvas that is shown
// burns with random numbers of its own. The same clicks then play the same match.
Surface* JapaneseTitleArt = nullptr;
Surface* JapaneseTitleWork = nullptr;
// The Japanese screen as the display pair would hold it: composed into the back, swapped with
// the front at each flip, so that the picture the melt starts from is the one the Japanese
// title would have left in the back buffer.
Surface* JapaneseBack = nullptr;
Surface* JapaneseFront = nullptr;
uint32_t ShownFireState = 1;

void ReleaseJapaneseCanvas() {
    ReleaseSurfaceHandle(JapaneseTitleArt);
    ReleaseSurfaceHandle(JapaneseTitleWork);
    ReleaseSurfaceHandle(JapaneseBack);
    ReleaseSurfaceHandle(JapaneseFront);
}

void FillJapaneseScreen() {
    if (JapaneseBack != nullptr) FillScreen(JapaneseBack, 0);
    if (JapaneseFront != nullptr) FillScreen(JapaneseFront, 0);
}

// The shown English canvas's random numbers, 0..32767 like the game's.
int ShownFireRand() {
    ShownFireState = ShownFireState * 1103515245u + 12345u;
    return static_cast<int>((ShownFireState >> 16) & 0x7FFFu);
}

template <typename Random>
void BurnWith(const LockedSurface& canvas, int firstRow, int lastRow, int firstColumn,
              int lastColumn, int threshold, Random random) {
    if (firstRow < 1 || lastRow >= canvas.height || firstColumn < 0 || lastColumn >= canvas.width) {
        return;
    }
    for (int y = firstRow; y <= lastRow; ++y) {
        const uint8_t* src = canvas.pixels + static_cast<size_t>(y) * canvas.pitch;
        uint8_t* dst = canvas.pixels + static_cast<size_t>(y - 1) * canvas.pitch;
        for (int x = firstColumn; x <= lastColumn; ++x) {
            const int v = src[x];
            dst[x] = v <= threshold ? 0 : static_cast<uint8_t>(v - random() % threshold);
        }
    }
}

}  // namespace

// One flame pass over a region of the locked canvas: each source pixel writes the pixel one row
// above it, cooled by a random amount, so bright strokes rise and fade.
void BurnRegion(const LockedSurface& canvas, int firstRow, int lastRow, int firstColumn,
                int lastColumn, int threshold) {
    BurnWith(canvas, firstRow, lastRow, firstColumn, lastColumn, threshold, Rand);
}

namespace {

void PlayTitleVoice() { PlaySoundBuffer(SoundVoice[SFX_TITLE], false); }

// The three burning regions of one canvas at the thresholds chosen for the items.
template <typename Random>
void BurnCanvas(const LockedSurface& canvas, const int (&itemThreshold)[2], Random random) {
    BurnWith(canvas, 50, 318, 0, 639, 10, random);
    for (int item = 0; item < 2; ++item) {
        const Rect area = ItemArea(item);
        BurnWith(canvas, 330, 419, area.left, area.left + 99, itemThreshold[item], random);
    }
    BurnWith(canvas, 420, 479, 270, 429, 25, random);
}

}  // namespace

// The menu's three burning regions, with the item tests inside them.
void TitleBurn() {
    LockedSurface canvas;
    if (!LockSurface(TitleWork, &canvas)) return;
    int threshold[2] = {30, 30};
    for (int item = 0; item < 2; ++item) {
        if (PointerOver(ItemArea(item))) {
            threshold[item] = 15;
            if (MouseButtons != 0) {
                TitleStep = TITLE_CHOSEN;
                MenuChoice = item;
                PlayTitleVoice();
            }
        }
    }
    LockedSurface japanese;
    if (JapaneseTitleWork != nullptr && LockSurface(JapaneseTitleWork, &japanese)) {
        BurnCanvas(japanese, threshold, Rand);
        UnlockSurface(JapaneseTitleWork);
        BurnCanvas(canvas, threshold, ShownFireRand);
    } else {
        BurnCanvas(canvas, threshold, Rand);
    }
    UnlockSurface(TitleWork);
}

namespace {

// Stamps the pictures and labels; over the hot zone shows its word and, with a button held,
// leaves for the melt with the last picture kept on the canvas.
void StampPictures(Surface* work, Surface* art) {
    for (int i = 0; i < PICTURE_CELL_COUNT; ++i) {
        BltFast(work, PICTURE_X[i], PICTURE_Y, art, &CellRect(CELL_PICTURE_1 + i), BLT_KEYED);
    }
    BltFast(work, 208, 360, art, &CellRect(CELL_START_ITEM), BLT_KEYED);
    BltFast(work, 356, 360, art, &CellRect(CELL_QUIT_ITEM), BLT_KEYED);
}

void DrawMenu() {
    StampPictures(TitleWork, TitleArt);
    if (JapaneseTitleWork != nullptr) StampPictures(JapaneseTitleWork, JapaneseTitleArt);
    if (ComputerPlaysBoth() && TitleCounter >= DEMO_START_FRAMES) {
        TitleStep = TITLE_CHOSEN;
        MenuChoice = 0;
        PlayTitleVoice();
    }
    if (PointerOver(HOT_ZONE)) {
        DrawSurfaceText(TitleWork, Localized("STAFFROAL"), "", HOT_ZONE_TEXT_BOX, 16, 16, 255, 255,
                        255, 0);
        if (JapaneseTitleWork != nullptr) {
            DrawSurfaceText(JapaneseTitleWork, "STAFFROAL", "", HOT_ZONE_TEXT_BOX, 16, 16, 255, 255,
                            255, 0);
        }
        if (MouseButtons != 0) {
            PlayTitleVoice();
            TitleStep = TITLE_RESTART;
            BltFast(TitleWork, 0, 0, BackBuffer, nullptr, 0);
            if (JapaneseTitleWork != nullptr) {
                BltFast(JapaneseTitleWork, 0, 0, JapaneseBack, nullptr, 0);
            }
            Scene = SCENE_MELT;
        }
    }
    KeepMusicLooping();
}

}  // namespace

void TitleCompose() {
    BltFast(BackBuffer, 0, 0, TitleWork, nullptr, 0);
    BltFast(BackBuffer, 239, 320, TitleArt, &CellRect(CELL_CAPTION), BLT_KEYED);
    if (JapaneseBack != nullptr) {
        BltFast(JapaneseBack, 0, 0, JapaneseTitleWork, nullptr, 0);
        BltFast(JapaneseBack, 239, 320, JapaneseTitleArt, &CellRect(CELL_CAPTION), BLT_KEYED);
    }
    if (TitleStep == TITLE_CHOSEN) {
        if (FadePalette(100, false)) {
            FillScreen(BackBuffer, 0);
            FillScreen(FrontSurface, 0);
            FillJapaneseScreen();
            LoadPaletteFromBmp("DATA\\BMP\\ETC.bmp");
            StopSoundBuffer(SoundVoice[SFX_FIRE]);
            TitleStep = TITLE_LEAVE;
            TitleCounter = 0;
        }
    } else {
        TitleCounter += 1;
        if (TitleCounter > 500 && FadePalette(60, false)) TitleStep = TITLE_RESTART;
    }
}

namespace {

void MenuSetUp() {
    FillScreen(BackBuffer, 0);
    FillScreen(FrontSurface, 0);
    FillJapaneseScreen();
    FillScreen(TitleWork, 0);
    char path[32];
    std::snprintf(path, sizeof path, "DATA\\BMP\\FIRE%d.bmp", Rand() % 16 + 1);
    LoadPaletteFromBmp(path);
    // The band that feeds the first burst of flames, then burns away.
    GdiRectangle(TitleWork, Rect{0, 120, 640, 320}, Rgb{253, 253, 253});
    if (JapaneseTitleWork != nullptr) {
        FillScreen(JapaneseTitleWork, 0);
        GdiRectangle(JapaneseTitleWork, Rect{0, 120, 640, 320}, Rgb{253, 253, 253});
    }
    SetCursorPos(320, 380);
    TitleCounter = 0;
    TitleStep = TITLE_MENU;
}

void Restart() {
    FillScreen(BackBuffer, 0);
    if (JapaneseBack != nullptr) FillScreen(JapaneseBack, 0);
    TitleCounter = 0;
    TitleStep = TITLE_BLACK_PAUSE;
}

// Two seconds of black, then the logo's palette.
void BlackPause() {
    FillScreen(BackBuffer, 0);
    if (JapaneseBack != nullptr) FillScreen(JapaneseBack, 0);
    TitleCounter += 1;
    if (TitleCounter > 60) {
        LoadPaletteFromBmp("DATA\\BMP\\TITLE.bmp");
        TitleCounter = 0;
        TitleStep = TITLE_LOGO_IN;
    }
}

void LogoIn() {
    const bool done = FadePalette(60, true);
    BltFast(BackBuffer, 195, 210, TitleArt, &CellRect(CELL_LOGO), BLT_KEYED);
    if (done) TitleStep = TITLE_LOGO_SHOWN;
}

void LogoShown() {
    // Nothing is drawn: the flipping pair keeps showing the logo.
    TitleCounter += 1;
    if (TitleCounter > 60 && FadePalette(60, false)) {
        TitleCounter = 0;
        TitleStep = TITLE_DARK_PAUSE;
    }
}

void DarkPause() {
    TitleCounter += 1;
    SetCursorPos(320, 380);
    if (TitleCounter > 60) TitleStep = TITLE_MENU_SETUP;
}

// After the menu's choice has faded out: the match or the quit. False once the scene changed.
bool Leave() {
    TitleCounter += 1;
    if (MenuChoice == 0 && TitleCounter == 30) {
        TitleStep = TITLE_RESTART;
        ReleaseTitle();
        Scene = SCENE_MATCH_LOAD;
        return false;
    }
    if (MenuChoice == 1) {
        ReleaseTitle();
        Scene = SCENE_QUIT;
        return false;
    }
    return true;
}

// Runs the work of the current step. False when the handler must leave at once.
bool RunStep() {
    switch (TitleStep) {
    case TITLE_RESTART: Restart(); break;
    case TITLE_BLACK_PAUSE: BlackPause(); break;
    case TITLE_LOGO_IN: LogoIn(); break;
    case TITLE_LOGO_SHOWN: LogoShown(); break;
    case TITLE_DARK_PAUSE: DarkPause(); break;
    case TITLE_MENU_SETUP: MenuSetUp(); break;
    case TITLE_MENU:
        DrawMenu();
        TitleBurn();
        TitleCompose();
        break;
    case TITLE_CHOSEN:
        TitleBurn();
        TitleCompose();
        break;
    case TITLE_LEAVE: return Leave();
    default: break;
    }
    return true;
}

}  // namespace

bool PointerOver(const Rect& rect) {
    return PointerX + 4 > rect.left && PointerX < rect.right && PointerY + 4 > rect.top &&
           PointerY < rect.bottom;
}

void SetTitlePointer(int x, int y) {
    PointerX = x;
    PointerY = y;
}

void TitleLoad() {
    // Surfaces left over from an earlier visit would otherwise be lost.
    ReleaseSurfaceHandle(TitleArt);
    ReleaseSurfaceHandle(TitleWork);
    TitleArt = CreateSurface(ART_SHEETS[SHEET_TITLE].width, ART_SHEETS[SHEET_TITLE].height);
    TitleWork = CreateSurface(640, 480);
    SetColourKey(TitleWork, true, TRANSPARENT_INDEX);
    SetColourKey(TitleArt, true, TRANSPARENT_INDEX);
    // The title's pictures and words in the language chosen, taken up as the title starts.
    TakeUpChosenLanguage();
    LoadBitmapToSurface(TitleArt, LanguagePicture("DATA\\BMP\\TITLE.bmp").c_str());
    ReleaseJapaneseCanvas();
    ShownFireState = 1;
    if (InEnglish()) {
        JapaneseTitleArt =
            CreateSurface(ART_SHEETS[SHEET_TITLE].width, ART_SHEETS[SHEET_TITLE].height);
        JapaneseTitleWork = CreateSurface(640, 480);
        JapaneseBack = CreateSurface(640, 480);
        JapaneseFront = CreateSurface(640, 480);
        FillJapaneseScreen();
        SetColourKey(JapaneseTitleArt, true, TRANSPARENT_INDEX);
        LoadBitmapPixels(JapaneseTitleArt, "DATA\\BMP\\TITLE.bmp");
        FillScreen(JapaneseTitleWork, 0);
    }
    FillScreen(FrontSurface, 0);
    FillScreen(BackBuffer, 0);
    FillScreen(TitleWork, 0);
    SendMusicCommand("open  DATA\\BGM\\BGM1.mid alias bgm type sequencer");
    SendMusicCommand("close bgm");
    SendMusicCommand("open  DATA\\BGM\\BGM1.mid alias bgm type sequencer");
    SendMusicCommand("play  bgm");
    Scene = SCENE_TITLE;
}

void TitleFrame() {
    FramePeriod = 33;
    GetCursorPos(&PointerX, &PointerY);
    if (!RunStep()) return;
    if (TitleStep == TITLE_MENU) {
        BltClipped(BackBuffer, PointerX, PointerY, 32, 32, TitleArt, PointerFrame(AnimTick % 4),
                   BLT_KEYED);
        if (JapaneseBack != nullptr) {
            BltClipped(JapaneseBack, PointerX, PointerY, 32, 32, JapaneseTitleArt,
                       PointerFrame(AnimTick % 4), BLT_KEYED);
        }
    }
    // A press during the opening skips to the menu; a held button is latched so that it
    // skips nothing until it has been released and pressed again.
    if (MouseButtons != 0) {
        if (ClickLatch == 0 && TitleStep >= TITLE_BLACK_PAUSE && TitleStep <= TITLE_MENU_SETUP) {
            TitleStep = TITLE_MENU_SETUP;
        }
        ClickLatch = 1;
    } else {
        ClickLatch = 0;
    }
    Flip(FrontSurface);
    std::swap(JapaneseBack, JapaneseFront);
}

Surface* UnseenJapaneseTitleCanvas() { return JapaneseTitleWork; }

int ShownTitleFireRand() { return ShownFireRand(); }

void ReleaseTitle() {
    ReleaseSurfaceHandle(TitleArt);
    ReleaseSurfaceHandle(TitleWork);
    ReleaseJapaneseCanvas();
    SendMusicCommand("stop  bgm");
    SendMusicCommand("close bgm");
}
