#include "match/match.h"

#include <cmath>
#include <cstring>

#include "match/blocking_sequences.h"
#include "match/board_aids.h"
#include "match/board_draw.h"
#include "match/computer_hand.h"
#include "match/effects.h"
#include "match/kind_labels.h"
#include "match/panels.h"
#include "media/draw.h"
#include "media/music.h"
#include "media/palette.h"
#include "media/pictures.h"
#include "media/resources.h"
#include "media/sheet_cells.h"
#include "media/sound.h"
#include "platform/core/platform.h"
#include "rules/board.h"
#include "rules/info_panel.h"
#include "rules/movement.h"
#include "rules/placing_panel.h"
#include "rules/promotion.h"
#include "rules/setup.h"
#include "rules/tally.h"
#include "state/language.h"
#include "state/loop_state.h"

uint8_t MatchState = MATCH_OPENING;
int MatchClock = 0;
double MoverX = 0;
double MoverY = 0;
double MoverStepX = 0;
double MoverStepY = 0;
int StepFrames = 0;
int HopOffset = 0;
int SelectSize = 32;
int PreviousSize = 52;
int8_t PulseLevel = 8;
int8_t PulseStep = 1;
MoverTrailRecord MoverTrail[4] = {};
uint32_t PulseStamp = 0;
uint32_t ClockStamp = 0;

namespace {

constexpr uint32_t PULSE_MS = 100;
constexpr uint32_t CLOCK_MS = 1000;
constexpr int FADE_IN_STEPS = 60;
constexpr uint8_t BACKGROUND_INDEX = 239;
constexpr int HOP_FRAMES = 32;
constexpr int HOP_HEIGHT = 16;
constexpr int CAPTURE_LAST_FRAME = 60;
constexpr int LANDING_LAST_FRAME = 20;
constexpr int DESTINATION_ENTRIES = 20;
constexpr int SELECTED_HEIGHT = 48;
constexpr int RESTING_HEIGHT = 32;
constexpr int INFO_ANCHOR_X = 450;
constexpr int INFO_ANCHOR_Y = 380;
constexpr uint8_t TRACKED_BUTTONS =
    MOUSE_RIGHT_HELD | MOUSE_RIGHT_DOUBLE | MOUSE_LEFT_HELD | MOUSE_LEFT_DOUBLE;

// Sheet sizes of the match surfaces.
constexpr int ETC_WIDTH = ART_SHEETS[SHEET_ETC].width;
constexpr int ETC_HEIGHT = ART_SHEETS[SHEET_ETC].height;
constexpr int SIDE_SHEET_WIDTH = ART_SHEETS[SHEET_COLOR].width;
constexpr int SIDE_SHEET_HEIGHT = ART_SHEETS[SHEET_COLOR].height;
constexpr int RANK_WIDTH = ART_SHEETS[SHEET_RANK].width;
constexpr int RANK_HEIGHT = ART_SHEETS[SHEET_RANK].height;

int PointerX = 0;
int PointerY = 0;

int Mover() { return SideToMove == 0 ? 0 : 1; }

bool Clicked() { return (MouseButtons & MouseWasUp & MOUSE_LEFT_HELD) != 0; }

Surface* MakeSurface(Surface*& handle, int width, int height) {
    ReleaseSurfaceHandle(handle);
    handle = CreateSurface(width, height);
    SetColourKey(handle, true, TRANSPARENT_INDEX);
    return handle;
}

void SelectPiece(int slot) {
    PreviousPiece = SelectedPiece;
    SelectedPiece = slot;
    const PieceRecord& p = PieceTable[slot];
    MoverX = MoverOriginX(p.x, p.y);
    MoverY = MoverOriginY(p.x, p.y);
    MatchState = MATCH_GENERATE;
    SelectSize = RESTING_HEIGHT;
    PreviousSize = SELECTED_HEIGHT;
    PlayVoice(SoundVoice[SFX_CLICK], false);
}

void OfferHandButton() {
    if (HandButtonTest(PointerX, PointerY) == 1) MatchState = MATCH_PLACING;
}

void StepSelect() {
    if (Clicked()) {
        const int slot = SidePieceAt(Mover(), CursorSquare.x, CursorSquare.y);
        if (slot >= 0) SelectPiece(slot);
    }
    OfferHandButton();
}

void StartMove() {
    StepFrames = HOP_FRAMES;
    HopOffset = HOP_HEIGHT;
    PieceRecord& p = PieceTable[SelectedPiece];
    const int ox = p.x;
    const int oy = p.y;
    const int cx = CursorSquare.x;
    const int cy = CursorSquare.y;
    p.x = cx;
    p.y = cy;
    MoverX = MoverOriginX(ox, oy);
    MoverY = MoverOriginY(ox, oy);
    MoverStepX = (cx - cy) - (ox - oy);
    MoverStepY = ((cx + cy) - (ox + oy)) * 0.5;
    for (int i = 0; i < DESTINATION_ENTRIES; ++i) ReachTable[i].reachable = 0;
    NoteMove(ox, oy, cx, cy);
    PlayVoice(SoundVoice[SFX_JUMP1], false);
    MatchState = MATCH_MOVE;
}

void StepChooseDestination() {
    const bool selected = SelectedPiece >= 0 && SelectedPiece < PIECE_SLOT_COUNT;
    if (Clicked() && selected) {
        for (int i = 0; i < DESTINATION_ENTRIES; ++i) {
            const ReachEntry& e = ReachTable[i];
            if (e.reachable && e.x == CursorSquare.x && e.y == CursorSquare.y) {
                StartMove();
                break;
            }
        }
    }
    if (Clicked()) {
        const int slot = SidePieceAt(Mover(), CursorSquare.x, CursorSquare.y);
        if (slot >= 0 && slot != SelectedPiece) SelectPiece(slot);
    }
    OfferHandButton();
}

void StepMove() {
    MoverX += MoverStepX;
    MoverY += MoverStepY - HopOffset;
    HopOffset -= 1;
    if (HopOffset == 0) HopOffset = -1;
    StepFrames -= 1;
    if (StepFrames > 0) return;
    MatchState = MATCH_LANDING;
    const PieceRecord& p = PieceTable[SelectedPiece];
    const int taken = SidePieceAt(1 - Mover(), p.x, p.y);
    if (taken >= 0) {
        CapturedPiece = static_cast<int8_t>(taken);
        PieceTable[taken].kind = KIND_NONE;  // the value stays: it pays out as point motes
    }
}

void StepLanding() {
    if (CapturedPiece >= 0) {
        if (StepFrames == 1) PlayVoice(SoundVoice[SFX_EXPLOS1], false);
        ShatterStep(SideSheet[1 - Mover()], static_cast<int>(MoverX + 16), static_cast<int>(MoverY),
                    StepFrames);
        if (StepFrames == CAPTURE_LAST_FRAME) {
            StepFrames = CAPTURE_LAST_FRAME + 1;
            MatchState = MATCH_POINTS_FLIGHT;
        } else {
            StepFrames += 1;
        }
        return;
    }
    if (StepFrames == 1) PlayVoice(SoundVoice[SFX_JUMP3], false);
    if (StepFrames == LANDING_LAST_FRAME) MatchState = MATCH_AFTER_MOVE;
    StepFrames += 1;
}

void StepPointsFlight() {
    const int n = CapturedPiece >= 0 ? PieceTable[CapturedPiece].value : 0;
    const int x = static_cast<int>(MoverX + 16);
    const int y = static_cast<int>(MoverY);
    for (int j = 0; j < n; ++j) {
        // Once every slot is taken the remaining motes, and their points, are lost.
        if (!ReleaseMote(x, y, MoverX, MoverY, Mover(), 4 * (j + 1))) break;
    }
    MatchState = MATCH_AFTER_MOVE;
}

void StepAfterMove() {
    MatchState = MATCH_END_OF_TURN;
    if (PromotionOffered()) MatchState = MATCH_PROMOTION_PROMPT;
}

void StepPromotionPrompt() {
    const int answer = PromotionPrompt(BackBuffer, static_cast<int>(MoverX),
                                       static_cast<int>(MoverY), PointerX, PointerY);
    if (answer == PROMPT_PROMOTE) MatchState = MATCH_PROMOTE;
    if (answer == PROMPT_KEEP) MatchState = MATCH_END_OF_TURN;
}

void StepPromote() {
    if (SelectedPiece >= 0 && SelectedPiece < PIECE_SLOT_COUNT) {
        PieceTable[SelectedPiece].kind |= KIND_PROMOTED;
    }
    MatchState = MATCH_END_OF_TURN;
}

void StepPlacing() {
    const int answer = PlacePanel(PointerX, PointerY);
    if (answer == PLACE_DONE) {
        // The panel reports the placement once it has closed; the square it chose is still
        // its target entry of the reach table.
        if (PlaceTarget >= 0 && PlaceTarget < REACH_ENTRY_COUNT) {
            NotePlacement(ReachTable[PlaceTarget].x, ReachTable[PlaceTarget].y);
        }
        MatchState = MATCH_END_OF_TURN;
    }
    if (answer == PLACE_CANCELLED) MatchState = MATCH_GENERATE;
}

void StepEndOfTurn() {
    PreviousPiece = SelectedPiece;
    SideToMove = static_cast<uint8_t>(1 - Mover());
    SelectedPiece = -1;
    PreviousSize = SELECTED_HEIGHT;
    CapturedPiece = -1;
    TurnNumber += 1;
    ClickLatch = 1;
    MatchState = MATCH_SELECT;
}

void StepOpening() {
    if (!FadePalette(FADE_IN_STEPS, true)) return;
    MatchStartBanner();
    MatchState = MATCH_SELECT;
}

void RunStepMachine() {
    switch (MatchState) {
    case MATCH_SELECT: StepSelect(); break;
    case MATCH_GENERATE:
        GenerateMoves();
        MatchState = MATCH_CHOOSE_DESTINATION;
        break;
    case MATCH_CHOOSE_DESTINATION: StepChooseDestination(); break;
    case MATCH_MOVE: StepMove(); break;
    case MATCH_LANDING: StepLanding(); break;
    case MATCH_POINTS_FLIGHT: StepPointsFlight(); break;
    case MATCH_AFTER_MOVE: StepAfterMove(); break;
    case MATCH_PROMOTION_PROMPT: StepPromotionPrompt(); break;
    case MATCH_PROMOTE: StepPromote(); break;
    case MATCH_PLACING: StepPlacing(); break;
    case MATCH_END_OF_TURN: StepEndOfTurn(); break;
    case MATCH_OPENING: StepOpening(); break;
    default: break;
    }
}

void ReadPointer() {
    GetCursorPos(&PointerX, &PointerY);
    HoverFlag = 0;
    PointerToSquare(PointerX, PointerY, &CursorSquare.x, &CursorSquare.y);
}

void PulseAndClocks() {
    const uint32_t now = TimeGetTime();
    if (now - PulseStamp > PULSE_MS) {
        PulseStamp = now;
        PulseLevel = static_cast<int8_t>(PulseLevel + PulseStep);
        if (PulseLevel < 9 || PulseLevel > 14) PulseStep = static_cast<int8_t>(-PulseStep);
        RebuildReachMarker(SideColourBank[Mover()], PulseLevel);
    }
    if (TimeGetTime() - ClockStamp > CLOCK_MS && MatchState < MATCH_OPENING) {
        ClockStamp = TimeGetTime();
        MatchClock += 1;
        SideTally[Mover()].clockSeconds += 1;
    }
}

// The keys of the match; false when Z has ended it and the frame must stop here.
bool HandleKeys() {
    if (KeyHeld('Z')) {
        MatchEnd(OUTCOME_FORFEIT);
        return false;
    }
    if (KeyHeld('Q')) SoundOn = 0;
    if (KeyHeld('W')) SoundOn = 1;
    if (KeyHeld('A')) {
        MusicOn = 0;
        SendMusicCommand("stop  bgm");
    }
    if (KeyHeld('S')) MusicOn = 1;
    int digit = -1;
    for (int d = 0; d <= 9; ++d) {
        if (KeyHeld('0' + d)) digit = d;
    }
    if (digit >= 0) {
        const int side = Mover();
        SideColourBank[side] = static_cast<uint8_t>(ColourBankFor(digit) * 16);
        RecolourSheet(SideSheet[side], SideColourBank[side], 0, 0, SIDE_SHEET_WIDTH,
                      SIDE_SHEET_HEIGHT);
    }
    WatchKindLabelKey();
    WatchBoardAidKeys();
    WatchComputerKey();
    return true;
}

// The pointer: cursor frame 0 at rest, the four frames in turn over something clickable.
void DrawCursor() {
    const int frame = HoverFlag != 0 ? ((AnimTick >> 1) % 4 + 4) % 4 : 0;
    BltClipped(BackBuffer, PointerX, PointerY, 32, 32, SideSheet[Mover()],
               FamilyCellRect(CELL_CURSOR_0, frame, FRAME_CELL_COUNT), BLT_KEYED);
}

}  // namespace

double MoverOriginX(int x, int y) { return 32.0 * (x - y + 9); }
double MoverOriginY(int x, int y) { return 16.0 * (x + y + 7); }

void MatchLoad() {
    MakeSurface(EtcSheet, ETC_WIDTH, ETC_HEIGHT);
    MakeSurface(SaveSurface, 640, 480);
    MakeSurface(SideSheet[0], SIDE_SHEET_WIDTH, SIDE_SHEET_HEIGHT);
    MakeSurface(SideSheet[1], SIDE_SHEET_WIDTH, SIDE_SHEET_HEIGHT);
    MakeSurface(RankSheet, RANK_WIDTH, RANK_HEIGHT);
    MakeSurface(DimSurface, 640, 480);

    // The sheets with words come in the language of the match, taken up as it starts.
    TakeUpChosenLanguage();
    LoadBitmapToSurface(EtcSheet, LanguagePicture("DATA\\BMP\\ETC.bmp").c_str());
    LoadBitmapToSurface(SideSheet[0], LanguagePicture("DATA\\BMP\\COLOR.bmp").c_str());
    LoadBitmapToSurface(SideSheet[1], LanguagePicture("DATA\\BMP\\COLOR.bmp").c_str());
    LoadBitmapToSurface(RankSheet, LanguagePicture("DATA\\BMP\\RANK.bmp").c_str());

    ResetMatchRules();
    ForgetLastMove();
    std::memset(PointMoteTable, 0, sizeof PointMoteTable);
    MatchClock = 0;
    MatchState = MATCH_OPENING;
    // A match forfeited while the placing panel was open must not leave it half open for the
    // next match.
    ResetPlacePanel();
    ComputerHandNewMatch();

    MatchSetup();
    SendMusicCommand("open DATA\\BGM\\BGM2.mid alias bgm type sequencer");
    SendMusicCommand("play bgm");
    Scene = SCENE_MATCH;
}

void MatchFrame() {
    FramePeriod = 33;
    ReadPointer();
    PulseAndClocks();
    if (!HandleKeys()) return;
    if (DemonstrationOver()) {
        MatchEnd(OUTCOME_FORFEIT);
        return;
    }
    // While the computer has the side to move, its hand gives this frame's pointer and buttons.
    if (ComputerHandFrame(&PointerX, &PointerY)) {
        PointerToSquare(PointerX, PointerY, &CursorSquare.x, &CursorSquare.y);
    }
    KeepMusicLooping();
    UpdateMaterial();

    FillScreen(BackBuffer, BACKGROUND_INDEX);
    DrawCentrePanel(BackBuffer, 320, 55, 90, 45, TurnNumber, MatchClock);
    DrawSidePanels(BackBuffer);
    DrawBoard(BackBuffer, MatchState, static_cast<int>(MoverX), static_cast<int>(MoverY),
              SelectSize, PreviousSize);

    // The newly selected piece grows to full height while the one selected before shrinks.
    if (SelectSize < SELECTED_HEIGHT) SelectSize += 2;
    if (PreviousSize > RESTING_HEIGHT) {
        PreviousSize -= 2;
    } else {
        PreviousPiece = -1;
    }
    for (int r = 3; r > 0; --r) MoverTrail[r] = MoverTrail[r - 1];
    MoverTrail[0] = {static_cast<int>(MoverX), static_cast<int>(MoverY)};

    RunStepMachine();
    UpdateMotes();
    PieceInfoPanel(BackBuffer, INFO_ANCHOR_X, INFO_ANCHOR_Y, MatchState);
    if (MatchState < MATCH_OPENING) DrawCursor();
    if (MatchState == MATCH_AFTER_MOVE) MatchEnd(CheckMatchEnd());

    MouseWasUp =
        static_cast<uint8_t>((MouseWasUp & ~TRACKED_BUTTONS) | (~MouseButtons & TRACKED_BUTTONS));
    ComputerHandFrameEnd();
    BltFast(FrontSurface, 0, 0, BackBuffer, nullptr, BLTFAST_WAIT);
}
