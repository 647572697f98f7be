#include "soak_checks.h"

#include <map>
#include <set>
#include <utility>

#include "match/match.h"
#include "rules/board.h"
#include "rules/placing_panel.h"
#include "scenes/credits.h"
#include "scenes/title.h"
#include "state/loop_state.h"

namespace {

using nlohmann::json;

// The worth of each kind in the stock layout, which the placing costs repeat (index: kind).
constexpr int KIND_WORTH[9] = {0, 1, 2, 3, 4, 5, 6, 6, 10};

bool OneOf(int v, std::initializer_list<int> set) {
    for (int s : set) {
        if (v == s) return true;
    }
    return false;
}

// Which surfaces each scene holds: the title's pair while the title burns and its last picture
// melts; the match's sheets from the match to the end of the result screen; the fire canvas
// (and its pen) through the credits and the closing fire.
struct SurfaceRule {
    const char* surface;
    std::initializer_list<int> scenes;  // empty: every scene
};

const SurfaceRule SURFACE_RULES[] = {
    {"FrontSurface", {}},
    {"BackBuffer", {}},
    {"TitleArt", {SCENE_TITLE, SCENE_MELT}},
    {"TitleWork", {SCENE_TITLE, SCENE_MELT}},
    {"EtcSheet", {SCENE_MATCH, SCENE_RESULT}},
    {"SaveSurface", {SCENE_MATCH, SCENE_RESULT}},
    {"SideSheet0", {SCENE_MATCH, SCENE_RESULT}},
    {"SideSheet1", {SCENE_MATCH, SCENE_RESULT}},
    {"RankSheet", {SCENE_MATCH, SCENE_RESULT}},
    {"DimSurface", {SCENE_MATCH, SCENE_RESULT}},
    {"FireCanvas", {SCENE_CREDITS, SCENE_ENDING_CLOSE}},
};

struct Live {
    int slot;
    int x;
    int y;
    int value;
    int kind;
};

using Failures = std::vector<std::string>;

// The match fields that several checks read.
struct MatchReading {
    int scene = 0;
    int mover = 0;
    int turn = 0;
    int state = 0;
    int selected = 0;
    bool placing = false;  // the placing panel offers its squares
};

// The live pieces, what each side's are worth, and the slots standing on each square.
struct Pieces {
    std::vector<Live> live;
    long long material[2] = {0, 0};
    std::map<std::pair<int, int>, std::vector<int>> squares;

    bool LiveSlot(int slot) const {
        for (const Live& p : live) {
            if (p.slot == slot) return true;
        }
        return false;
    }
};

// The scene is a known one and named by its name.
void CheckScene(const json& d, int scene, Failures* broken) {
    const char* name = nullptr;
    if (!KnownScene(scene, &name)) {
        broken->push_back("Scene " + std::to_string(scene) + " is none of the game's scenes");
    } else if (d.at("SceneName").get<std::string>() != name) {
        broken->push_back("SceneName " + d.at("SceneName").dump() + " does not name scene " +
                          std::to_string(scene));
    }
}

// Surfaces present exactly in the scenes that use them. The quit scene only releases.
void CheckSurfaces(const json& d, int scene, Failures* broken) {
    const json& surfaces = d.at("Surfaces");
    if (scene == SCENE_QUIT) return;
    const bool lowRes = scene == SCENE_CREDITS || scene == SCENE_ENDING_CLOSE;
    for (const SurfaceRule& rule : SURFACE_RULES) {
        const bool want = rule.scenes.size() == 0 || OneOf(scene, rule.scenes);
        if (surfaces.at(rule.surface).get<bool>() != want) {
            broken->push_back(std::string(rule.surface) + (want ? " is missing" : " is held") +
                              " in scene " + std::to_string(scene));
        }
    }
    if (d.at("FirePen").get<bool>() != lowRes) {
        broken->push_back(std::string("FirePen ") + (lowRes ? "is missing" : "is held") +
                          " in scene " + std::to_string(scene));
    }
    if ((d.at("LowResMode").get<int>() == 1) != lowRes) {
        broken->push_back("LowResMode " + d.at("LowResMode").dump() + " in scene " +
                          std::to_string(scene));
    }
    const json want = lowRes ? json::array({320, 240}) : json::array({640, 480});
    if (d.at("Display") != want) {
        broken->push_back("Display " + d.at("Display").dump() + " in scene " +
                          std::to_string(scene));
    }
}

// Loop state, switches and the steps of the scenes outside the match.
void CheckLoopState(const json& d, Failures* broken) {
    auto fail = [broken](const std::string& what) { broken->push_back(what); };
    if ((d.at("MouseButtons").get<int>() &
         ~(MOUSE_LEFT_HELD | MOUSE_LEFT_DOUBLE | MOUSE_RIGHT_HELD | MOUSE_RIGHT_DOUBLE)) != 0) {
        fail("MouseButtons " + d.at("MouseButtons").dump() + " has bits no button sets");
    }
    for (const char* sw : {"SoundOn", "MusicOn"}) {
        if (!OneOf(d.at(sw).get<int>(), {0, 1})) fail(std::string(sw) + " " + d.at(sw).dump());
    }
    if (d.at("FramePeriod").get<long long>() <= 0) {
        fail("FramePeriod " + d.at("FramePeriod").dump());
    }
    if (!OneOf(d.at("TitleStep").get<int>(),
               {TITLE_RESTART, TITLE_BLACK_PAUSE, TITLE_LOGO_IN, TITLE_LOGO_SHOWN, TITLE_DARK_PAUSE,
                TITLE_MENU_SETUP, TITLE_MENU, TITLE_CHOSEN, TITLE_LEAVE})) {
        fail("TitleStep " + d.at("TitleStep").dump());
    }
    if (!OneOf(d.at("MenuChoice").get<int>(), {-1, 0, 1})) {
        fail("MenuChoice " + d.at("MenuChoice").dump());
    }
    if (!OneOf(d.at("ResultStep").get<int>(), {0, 1, 2, 3, 4, 5, 7})) {
        fail("ResultStep " + d.at("ResultStep").dump());
    }
    const int creditsIndex = d.at("CreditsIndex").get<int>();
    if (creditsIndex < 0 || creditsIndex >= CREDITS_ENTRY_COUNT) {
        fail("CreditsIndex " + std::to_string(creditsIndex));
    }
}

// The match: side, turn, state and colours.
MatchReading CheckMatchState(const json& d, int scene, Failures* broken) {
    auto fail = [broken](const std::string& what) { broken->push_back(what); };
    MatchReading m;
    m.scene = scene;
    m.mover = d.at("SideToMove").get<int>();
    if (!OneOf(m.mover, {0, 1})) fail("SideToMove " + std::to_string(m.mover));
    m.turn = d.at("TurnNumber").get<int>();
    if (m.turn < 1) fail("TurnNumber " + std::to_string(m.turn));
    m.state = d.at("MatchState").get<int>();
    if (!OneOf(m.state,
               {MATCH_SELECT, MATCH_GENERATE, MATCH_MOVE, MATCH_POINTS_FLIGHT, MATCH_END_OF_TURN,
                MATCH_CHOOSE_DESTINATION, MATCH_LANDING, MATCH_AFTER_MOVE, MATCH_PROMOTION_PROMPT,
                MATCH_PROMOTE, MATCH_PLACING, MATCH_OPENING})) {
        fail("MatchState " + std::to_string(m.state));
    }
    // The colours are drawn when a match is set up (the title never draws them).
    for (int side = 0; side < 2 && OneOf(scene, {SCENE_MATCH, SCENE_RESULT}); ++side) {
        const int bank = d.at("SideColourBank").at(side).get<int>();
        if (bank % 16 != 0 || !OneOf(bank / 16, {1, 2, 3, 4, 5, 6, 7, 13, 14})) {
            fail("SideColourBank[" + std::to_string(side) + "] " + std::to_string(bank) +
                 " is no colour a digit or the draw gives");
        }
    }
    if (d.at("BoardTileStyle").get<int>() > 9) {
        fail("BoardTileStyle " + d.at("BoardTileStyle").dump());
    }
    return m;
}

// One piece of the table: in a slot, of a kind, worth what its kind is worth, on the board.
// False when it is no piece at all (then it is left out of the rest).
bool CheckPiece(const Live& piece, Failures* broken) {
    auto fail = [broken](const std::string& what) { broken->push_back(what); };
    const std::string where = "slot " + std::to_string(piece.slot);
    if (piece.slot < 0 || piece.slot >= PIECE_SLOT_COUNT) {
        fail("a piece in slot " + std::to_string(piece.slot));
        return false;
    }
    const int kind = piece.kind & KIND_MASK;
    if ((piece.kind & ~(KIND_MASK | KIND_PROMOTED)) != 0 || kind < KIND_PAWN || kind > KIND_KING) {
        fail(where + " holds kind byte " + std::to_string(piece.kind));
        return false;
    }
    if ((piece.kind & KIND_PROMOTED) != 0 && (kind == KIND_GOLD || kind == KIND_KING)) {
        fail(where + ": a promoted gold or king");
    }
    if (piece.value != KIND_WORTH[kind]) {
        fail(where + " is worth " + std::to_string(piece.value) + ", its kind " +
             std::to_string(KIND_WORTH[kind]));
    }
    if (!OnBoard(piece.x, piece.y)) {
        fail(where + " stands off the board at " + std::to_string(piece.x) + "," +
             std::to_string(piece.y));
    }
    return true;
}

// The pieces: live ones stand on the board, are of a kind and are worth what their kind is
// worth.
Pieces CheckPieces(const json& d, Failures* broken) {
    Pieces pieces;
    for (const json& p : d.at("PieceTable")) {
        const Live piece = {p.at("slot").get<int>(), p.at("x").get<int>(), p.at("y").get<int>(),
                            p.at("value").get<int>(), p.at("kind").get<int>()};
        if (!CheckPiece(piece, broken)) continue;
        pieces.material[SlotOwner(piece.slot)] += piece.value & 31;
        pieces.live.push_back(piece);
    }
    return pieces;
}

// Live pieces never share a square, but for the piece in the middle of a move that ends on the
// enemy it is about to take.
void CheckSquares(const MatchReading& m, Pieces* pieces, Failures* broken) {
    for (const Live& p : pieces->live) pieces->squares[{p.x, p.y}].push_back(p.slot);
    for (const auto& [square, slots] : pieces->squares) {
        const bool taking = m.state == MATCH_MOVE && slots.size() == 2 &&
                            (slots[0] == m.selected || slots[1] == m.selected) &&
                            SlotOwner(slots[0]) != SlotOwner(slots[1]);
        if (slots.size() > 1 && !taking) {
            std::string list;
            for (int s : slots) list += " " + std::to_string(s);
            broken->push_back("slots" + list + " share square " + std::to_string(square.first) +
                              "," + std::to_string(square.second));
        }
    }
}

// The piece moving or chosen is a live piece of the side to move.
void CheckSelection(const MatchReading& m, const Pieces& pieces, Failures* broken) {
    if (m.selected < -1 || m.selected >= PIECE_SLOT_COUNT) {
        broken->push_back("SelectedPiece " + std::to_string(m.selected));
        return;
    }
    if (m.scene != SCENE_MATCH || !OneOf(m.mover, {0, 1})) return;
    const bool mine =
        m.selected >= 0 && SlotOwner(m.selected) == m.mover && pieces.LiveSlot(m.selected);
    if (OneOf(m.state, {MATCH_MOVE, MATCH_LANDING}) && !mine) {
        broken->push_back("moving slot " + std::to_string(m.selected) +
                          " is no live piece of side " + std::to_string(m.mover));
    }
    if (OneOf(m.state, {MATCH_GENERATE, MATCH_CHOOSE_DESTINATION}) && m.selected != -1 && !mine) {
        broken->push_back("selected slot " + std::to_string(m.selected) +
                          " is no live piece of side " + std::to_string(m.mover));
    }
}

// Squares offered: on the board; a move never onto the mover's own piece; a placement only onto
// an empty square.
void CheckReach(const json& d, const MatchReading& m, const Pieces& pieces, Failures* broken) {
    const bool choosing = m.state == MATCH_CHOOSE_DESTINATION && m.selected >= 0;
    if (m.scene != SCENE_MATCH || !(m.placing || choosing)) return;
    for (const json& e : d.at("ReachTable")) {
        const int x = e.at("x").get<int>();
        const int y = e.at("y").get<int>();
        const std::string where = "reach entry " + e.at("index").dump() + " (" + std::to_string(x) +
                                  "," + std::to_string(y) + ")";
        if (!OnBoard(x, y)) {
            broken->push_back(where + " is off the board");
            continue;
        }
        const auto it = pieces.squares.find({x, y});
        if (it == pieces.squares.end()) continue;
        if (m.placing) broken->push_back(where + " is offered for placing but holds a piece");
        if (choosing && SlotOwner(it->second.front()) == m.mover) {
            broken->push_back(where + " is offered but holds the mover's own piece");
        }
    }
}

// Tallies: never negative; the material tally is the worth of the side's live pieces once a
// turn is settled. Returns the points the two sides hold.
long long CheckTallies(const json& d, const MatchReading& m, const Pieces& pieces,
                       Failures* broken) {
    const json& tallies = d.at("SideTally");
    long long points = 0;
    for (int side = 0; side < 2; ++side) {
        const json& t = tallies.at(side);
        points += t.at("points").get<long long>();
        for (const char* field : {"points", "material", "clockSeconds"}) {
            if (t.at(field).get<long long>() < 0) {
                broken->push_back("side " + std::to_string(side) + " " + field + " " +
                                  t.at(field).dump());
            }
        }
        if (m.scene == SCENE_MATCH && OneOf(m.state, {MATCH_SELECT, MATCH_CHOOSE_DESTINATION}) &&
            t.at("material").get<long long>() != pieces.material[side]) {
            broken->push_back("side " + std::to_string(side) + " material " +
                              t.at("material").dump() + ", its pieces are worth " +
                              std::to_string(pieces.material[side]));
        }
    }
    return points;
}

// The placing panel offers only a kind there is and what the side can pay.
void CheckPlacing(const json& d, const MatchReading& m, Failures* broken) {
    const json& tallies = d.at("SideTally");
    const int choice = d.at("PlaceChoice").get<int>();
    if (choice < 0 || choice >= KIND_KING - 1) {
        broken->push_back("PlaceChoice " + std::to_string(choice));
    } else if (m.scene == SCENE_MATCH && m.placing && OneOf(m.mover, {0, 1}) &&
               d.at("DropCost").at(choice).get<int>() >
                   tallies.at(m.mover).at("points").get<long long>()) {
        broken->push_back("the placing panel offers a kind costing " +
                          d.at("DropCost").at(choice).dump() + " to a side holding " +
                          tallies.at(m.mover).at("points").dump() + " points");
    }
}

// The point motes in the air, each of a side.
long long CheckMotes(const json& d, Failures* broken) {
    long long motes = 0;
    for (const json& mote : d.at("PointMoteTable")) {
        ++motes;
        if (!OneOf(mote.at("side").get<int>(), {0, 1})) {
            broken->push_back("a mote of side " + mote.at("side").dump());
        }
    }
    return motes;
}

}  // namespace

bool KnownScene(int scene, const char** name) {
    const char* known = SceneName(scene);
    if (name != nullptr) *name = known;
    return known != nullptr;
}

std::vector<std::string> SoakChecker::Check(const json& d) {
    std::vector<std::string> broken;
    try {
        const long long time = d.at("time").get<long long>();
        const int scene = d.at("Scene").get<int>();
        CheckScene(d, scene, &broken);
        if (havePrevious_ && time < previousTime_) {
            broken.push_back("the clock ran back from " + std::to_string(previousTime_) + " to " +
                             std::to_string(time));
        }
        CheckSurfaces(d, scene, &broken);
        CheckLoopState(d, &broken);
        MatchReading m = CheckMatchState(d, scene, &broken);
        Pieces pieces = CheckPieces(d, &broken);
        m.selected = d.at("SelectedPiece").get<int>();
        CheckSquares(m, &pieces, &broken);
        CheckSelection(m, pieces, &broken);
        m.placing = m.state == MATCH_PLACING && d.at("PlacePanelStep").get<int>() == PLACE_CHOOSING;
        CheckReach(d, m, pieces, &broken);
        const long long points = CheckTallies(d, m, pieces, &broken);
        CheckPlacing(d, m, &broken);
        const long long motes = CheckMotes(d, &broken);
        CheckWorth(points + pieces.material[0] + pieces.material[1] + motes, scene, &broken);
        CheckProgress(d, scene, m.turn, &broken);
        Remember(d, time, scene, m.turn);
    } catch (const json::exception& e) {
        broken.push_back(std::string("the dump lacks a field or holds a wrong type: ") + e.what());
    }
    return broken;
}

// Worth is only ever moved: a capture turns the taken piece into point motes (one point each,
// some lost), a placement turns points into a piece. Points, material and motes in the air never
// add up to more than the match's opening put on the board.
void SoakChecker::CheckWorth(long long worth, int scene, std::vector<std::string>* broken) {
    const bool newMatch = scene == SCENE_MATCH && previousScene_ != SCENE_MATCH;
    if (newMatch || (scene == SCENE_MATCH && matchWorth_ < 0)) {
        matchWorth_ = worth;
    } else if (matchWorth_ >= 0 && OneOf(scene, {SCENE_MATCH, SCENE_RESULT}) &&
               worth > matchWorth_) {
        broken->push_back("points, material and motes add up to " + std::to_string(worth) +
                          ", more than the " + std::to_string(matchWorth_) +
                          " the match began with");
    }
}

// Within one match the turn count and each side's clock only go up.
void SoakChecker::CheckProgress(const json& d, int scene, int turn,
                                std::vector<std::string>* broken) const {
    const bool newMatch = scene == SCENE_MATCH && previousScene_ != SCENE_MATCH;
    if (!havePrevious_ || newMatch || !OneOf(scene, {SCENE_MATCH, SCENE_RESULT})) return;
    if (turn < previousTurn_) {
        broken->push_back("TurnNumber went down from " + std::to_string(previousTurn_) + " to " +
                          std::to_string(turn));
    }
    for (int side = 0; side < 2; ++side) {
        const long long c = d.at("SideTally").at(side).at("clockSeconds").get<long long>();
        if (c < previousClock_[side]) {
            broken->push_back("side " + std::to_string(side) + " clock went down from " +
                              std::to_string(previousClock_[side]) + " to " + std::to_string(c));
        }
    }
}

void SoakChecker::Remember(const json& d, long long time, int scene, int turn) {
    havePrevious_ = true;
    previousTime_ = time;
    previousScene_ = scene;
    previousTurn_ = turn;
    for (int side = 0; side < 2; ++side) {
        previousClock_[side] = d.at("SideTally").at(side).at("clockSeconds").get<long long>();
    }
}
