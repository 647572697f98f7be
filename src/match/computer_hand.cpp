#include "match/computer_hand.h"

#include <string>

#include "match/computer_search.h"
#include "match/effects.h"
#include "match/match.h"
#include "platform/core/platform.h"
#include "rules/board.h"
#include "rules/placing_panel.h"
#include "state/computer_setting.h"
#include "state/loop_state.h"

namespace {

// Frames of thought before the hand acts: half a second at the match's 33 ms frames.
constexpr int THINK_FRAMES = 16;
// Frames the pointer takes to glide to where it acts.
constexpr int GLIDE_FRAMES = 8;
// A turn the search found no move for is looked at again after this many frames (points may
// still arrive that make a placement possible).
constexpr int RETHINK_FRAMES = 30;
// Arrow clicks that change nothing before the hand gives up choosing (the kind cannot be paid).
constexpr int ARROW_TRIES = 12;
// A turn the hand has acted on this long without its end (a click the game did not take, points
// that never arrived) is thought over again from the live match.
constexpr int STALLED_FRAMES = 600;
constexpr int COMPUTER_KEY = 'P';
// The turns after which a demonstration match is ended without a winner.
constexpr int DEMONSTRATION_TURNS = 300;

// Where the hand points on the screen.
struct Point {
    int x;
    int y;
};

// The centre of a board square's tile, where the pointer names that square.
Point SquarePoint(int x, int y) { return {320 + 32 * (x - y), 136 + 16 * (x + y)}; }

// The hand button and the right and left arrows of the placing panel of a side.
Point HandButtonPoint(int side) { return side == 0 ? Point{597, 96} : Point{173, 96}; }
Point ArrowPoint(int side, bool right) {
    const int panelX = side == 0 ? 469 : 45;
    return right ? Point{panelX + 148, 56} : Point{panelX - 4, 56};
}

// The promotion prompt's two buttons over the moved piece.
Point PromptPoint(bool promote) {
    const int px = static_cast<int>(MoverX);
    const int py = static_cast<int>(MoverY);
    return promote ? Point{px + 11, py - 24} : Point{px + 53, py - 24};
}

enum class Phase { REST, THINK, ACT };

// What the hand is doing within its turn.
enum class Step {
    CLOSE_PANEL,    // a panel the person opened is closed with the right button
    TO_PIECE,       // the pointer goes to the piece and clicks it
    WAIT_SELECTED,  // the piece rises and its squares are listed
    TO_SQUARE,      // the pointer goes to the square and clicks it
    WAIT_MOVE,      // the piece hops and lands; the prompt may open
    ANSWER,         // the pointer goes to the answer and holds the button on it
    WAIT_POINTS,    // a placement waits for points still flying to the pad
    TO_HAND_BUTTON,
    WAIT_PANEL,
    ARROWS,
    TO_TARGET,  // the pointer goes to the empty square and holds the button there
    DONE,
};

struct Hand {
    Phase phase = Phase::REST;
    Step step = Step::DONE;
    int turn = -1;
    int side = 0;
    int frames = 0;
    ComputerMove move;
    Point at{0, 0};
    Point from{0, 0};
    Point goal{-1, -1};
    int glide = 0;
    uint8_t buttons = 0;
    bool pressed = false;  // a click's press has been given; the release comes next
    int tries = 0;
    // This frame: the hand acts, and the person's buttons are set aside until its end.
    bool acting = false;
    // The hand had the pointer in the frame before (the computer's turn before this one).
    bool hadPointer = false;
    uint8_t personButtons = 0;
    // What the trace was last told of the hand.
    Point traced{-1, -1};
    uint8_t tracedButtons = 0xFF;
    // The side to move has no move and no points on their way: with both sides on the computer
    // nothing can ever happen again in this match.
    bool stuck = false;
};

Hand TheHand;
uint8_t ComputerKeyWasDown = 0;
uint32_t MatchCount = 0;

// The seed of the computer's noise for this match: the session's seed and the match's number,
// so that a replay and a run with the same seed play the same matches.
uint64_t MatchSeed() {
    return (static_cast<uint64_t>(PlatformSeed()) << 32 | MatchCount) * 0x9E3779B97F4A7C15ull;
}

// Moves the pointer one frame towards p; true once it is there.
bool GlideTo(Point p) {
    Hand& h = TheHand;
    if (h.at.x == p.x && h.at.y == p.y) return true;
    if (h.goal.x != p.x || h.goal.y != p.y) {
        h.goal = p;
        h.from = h.at;
        h.glide = 0;
    }
    h.glide += 1;
    h.at.x = h.from.x + (p.x - h.from.x) * h.glide / GLIDE_FRAMES;
    h.at.y = h.from.y + (p.y - h.from.y) * h.glide / GLIDE_FRAMES;
    return false;
}

// Goes to p and clicks there: the button goes down in one frame and up in the next. True in the
// frame of the release.
bool ClickAt(Point p) {
    Hand& h = TheHand;
    if (h.pressed) {
        h.pressed = false;
        h.buttons = 0;
        return true;
    }
    if (!GlideTo(p)) return false;
    h.buttons = MOUSE_LEFT_HELD;
    h.pressed = true;
    return false;
}

// Goes to p and holds the left button there until `taken` says the game has taken it, then lets
// go and goes on to `next`.
void HoldAt(Point p, bool taken, Step next) {
    Hand& h = TheHand;
    if (taken) {
        h.buttons = 0;
        h.step = next;
        return;
    }
    h.buttons = GlideTo(p) ? MOUSE_LEFT_HELD : 0;
}

bool PanelChoosing() { return MatchState == MATCH_PLACING && PlacePanelStep == PLACE_CHOOSING; }

int PlacingCost(int kind) { return kind >= 1 && kind <= 7 ? DropCost[kind - 1] : 0; }

// The first step of the move found, from the state the turn is in.
Step FirstStep() {
    const ComputerMove& m = TheHand.move;
    if (MatchState == MATCH_PROMOTION_PROMPT) return Step::ANSWER;
    if (m.place) return MatchState == MATCH_PLACING ? Step::WAIT_PANEL : Step::WAIT_POINTS;
    if (MatchState == MATCH_PLACING) return Step::CLOSE_PANEL;
    return Step::TO_PIECE;
}

void StepBoardMove() {
    Hand& h = TheHand;
    const ComputerMove& m = h.move;
    switch (h.step) {
    case Step::CLOSE_PANEL:
        if (MatchState != MATCH_PLACING) {
            h.buttons = 0;
            h.step = Step::TO_PIECE;
        } else if (PanelChoosing() && h.buttons == 0) {
            h.buttons = MOUSE_RIGHT_HELD;
        } else {
            h.buttons = 0;
        }
        break;
    case Step::TO_PIECE:
        if (MatchState == MATCH_CHOOSE_DESTINATION && SelectedPiece == m.slot) {
            h.step = Step::TO_SQUARE;
            break;
        }
        if (ClickAt(SquarePoint(PieceTable[m.slot].x, PieceTable[m.slot].y)))
            h.step = Step::WAIT_SELECTED;
        break;
    case Step::WAIT_SELECTED:
        if (MatchState == MATCH_CHOOSE_DESTINATION && SelectedPiece == m.slot) {
            h.step = Step::TO_SQUARE;
        } else if (MatchState == MATCH_CHOOSE_DESTINATION || MatchState == MATCH_SELECT) {
            h.step = Step::TO_PIECE;  // the click missed: again
        }
        break;
    case Step::TO_SQUARE:
        if (ClickAt(SquarePoint(m.toX, m.toY))) h.step = Step::WAIT_MOVE;
        break;
    case Step::WAIT_MOVE:
        if (MatchState == MATCH_PROMOTION_PROMPT) {
            h.step = Step::ANSWER;
        } else if (MatchState == MATCH_CHOOSE_DESTINATION) {
            h.step = Step::TO_SQUARE;  // the click missed: again
        }
        break;
    case Step::ANSWER:
        HoldAt(PromptPoint(m.promote), MatchState != MATCH_PROMOTION_PROMPT, Step::DONE);
        break;
    default: break;
    }
}

void StepPlacement() {
    Hand& h = TheHand;
    const ComputerMove& m = h.move;
    const int side = h.side;
    switch (h.step) {
    case Step::WAIT_POINTS:
        // The search may count points still flying to the pad; the hand waits for them.
        if (SideTally[side].points >= PlacingCost(m.kind) && SideTally[side].points > 0)
            h.step = Step::TO_HAND_BUTTON;
        break;
    case Step::TO_HAND_BUTTON:
        HoldAt(HandButtonPoint(side), MatchState == MATCH_PLACING, Step::WAIT_PANEL);
        break;
    case Step::WAIT_PANEL:
        if (PanelChoosing()) {
            h.step = Step::ARROWS;
            h.tries = 0;
        } else if (MatchState != MATCH_PLACING) {
            h.step = Step::WAIT_POINTS;  // the panel went away without placing: again
        }
        break;
    case Step::ARROWS: {
        const int want = m.kind - 1;
        if (h.pressed) {
            ClickAt(h.at);  // the release of the click given in the frame before
            h.tries += 1;
        } else if (!PanelChoosing()) {
            h.step = Step::WAIT_PANEL;
        } else if (PlaceChoice == want || h.tries >= ARROW_TRIES) {
            h.step = Step::TO_TARGET;
        } else {
            ClickAt(ArrowPoint(side, PlaceChoice < want));
        }
        break;
    }
    case Step::TO_TARGET:
        HoldAt(SquarePoint(m.toX, m.toY), MatchState != MATCH_PLACING || !PanelChoosing(),
               Step::DONE);
        break;
    default: break;
    }
}

// The states in which a person would be deciding: the hand may take over there.
bool Deciding() {
    return MatchState == MATCH_SELECT || MatchState == MATCH_CHOOSE_DESTINATION ||
           MatchState == MATCH_GENERATE || MatchState == MATCH_PROMOTION_PROMPT || PanelChoosing();
}

void BeginTurn() {
    Hand& h = TheHand;
    h.turn = TurnNumber;
    h.side = SideToMove == 0 ? 0 : 1;
    h.frames = 0;
    h.buttons = 0;
    h.pressed = false;
    h.goal = {-1, -1};
    h.phase = Phase::THINK;
    h.stuck = false;
    if (MatchState == MATCH_PROMOTION_PROMPT) {
        // A person's move has been made; only its prompt is left to answer.
        h.move = ComputerMove{};
        h.move.promote = true;
        h.move.found = true;
        h.phase = Phase::ACT;
        h.step = Step::ANSWER;
        return;
    }
    ComputerSearchStart(ComputerLevel, MatchSeed(), !PlatformIsHeadless());
}

bool PointsOnTheirWay(int side) {
    for (const PointMote& m : PointMoteTable) {
        if (m.delay != 0 && m.side == side) return true;
    }
    return false;
}

void Think() {
    Hand& h = TheHand;
    h.frames += 1;
    if (h.frames < THINK_FRAMES) return;
    if (!PlatformSearchReady(ComputerSearchReady())) return;
    h.move = ComputerSearchTake();
    ComputerSearchDrop();
    if (!h.move.found) {
        // Nothing to play now; look again a little later, unless no points are on their way
        // that could pay for a placement.
        h.stuck = !PointsOnTheirWay(h.side);
        h.frames = THINK_FRAMES - RETHINK_FRAMES;
        ComputerSearchStart(ComputerLevel, MatchSeed(), !PlatformIsHeadless());
        return;
    }
    h.phase = Phase::ACT;
    h.step = FirstStep();
}

void TraceHand() {
    Hand& h = TheHand;
    if (!TraceActive()) return;
    if (h.at.x == h.traced.x && h.at.y == h.traced.y && h.buttons == h.tracedButtons) return;
    h.traced = h.at;
    h.tracedButtons = h.buttons;
    TraceLine("\"hand\":[" + std::to_string(h.at.x) + "," + std::to_string(h.at.y) + "," +
              std::to_string(h.buttons) + "]");
}

void Rest() {
    Hand& h = TheHand;
    if (h.phase == Phase::THINK) ComputerSearchDrop();
    h.phase = Phase::REST;
    h.buttons = 0;
    h.pressed = false;
    h.turn = -1;
}

}  // namespace

void ComputerHandNewMatch() {
    Rest();
    TheHand.stuck = false;
    TheHand.hadPointer = false;
    MatchCount += 1;
    TheHand.traced = {-1, -1};
    TheHand.tracedButtons = 0xFF;
}

void WatchComputerKey() {
    const bool down = KeyStillHeld(COMPUTER_KEY);
    if (down && ComputerKeyWasDown == 0 && MatchState < MATCH_OPENING)
        ToggleComputerSide(SideToMove);
    ComputerKeyWasDown = down ? 1 : 0;
}

bool ComputerHandFrame(int* pointerX, int* pointerY) {
    Hand& h = TheHand;
    h.acting = false;
    if (MatchState >= MATCH_OPENING || !ComputerPlays(SideToMove)) {
        if (h.phase != Phase::REST) Rest();
        h.hadPointer = false;
        return false;
    }
    if (h.phase != Phase::REST && (h.turn != TurnNumber || h.side != SideToMove)) Rest();
    if (h.phase == Phase::REST) {
        // The hand starts where the person's pointer is (or goes on from where it was, when
        // the computer played the turn before too), and waits for a decision to make.
        if (!h.hadPointer) h.at = {*pointerX, *pointerY};
        if (!Deciding()) {
            h.hadPointer = false;
            return false;
        }
        BeginTurn();
    }
    if (h.phase == Phase::THINK) Think();
    if (h.phase == Phase::ACT && ++h.frames > THINK_FRAMES + STALLED_FRAMES) {
        // The pointer stays where the hand left it.
        Rest();
        if (!Deciding()) {
            h.hadPointer = false;
            return false;
        }
        BeginTurn();
        Think();
    }
    if (h.phase == Phase::ACT) {
        if (h.move.place) {
            StepPlacement();
        } else {
            StepBoardMove();
        }
    }
    h.acting = true;
    h.hadPointer = true;
    h.personButtons = MouseButtons;
    MouseButtons = h.buttons;
    *pointerX = h.at.x;
    *pointerY = h.at.y;
    TraceHand();
    return true;
}

void ComputerHandFrameEnd() {
    Hand& h = TheHand;
    if (!h.acting) return;
    h.acting = false;
    MouseButtons = h.personButtons;
}

bool DemonstrationOver() {
    return ComputerPlaysBoth() && (TurnNumber > DEMONSTRATION_TURNS || TheHand.stuck) &&
           MatchState == MATCH_SELECT;
}
