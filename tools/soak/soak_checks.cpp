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

}  // namespace

bool KnownScene(int scene, const char** name) {
    const char* known = SceneName(scene);
    if (name != nullptr) *name = known;
    return known != nullptr;
}

std::vector<std::string> SoakChecker::Check(const json& d) {
    std::vector<std::string> broken;
    auto fail = [&](const std::string& what) { broken.push_back(what); };
    try {
        const long long time = d.at("time").get<long long>();
        const int scene = d.at("Scene").get<int>();
        const char* name = nullptr;
        if (!KnownScene(scene, &name)) {
            fail("Scene " + std::to_string(scene) + " is none of the game's scenes");
        } else if (d.at("SceneName").get<std::string>() != name) {
            fail("SceneName " + d.at("SceneName").dump() + " does not name scene " +
                 std::to_string(scene));
        }
        if (havePrevious_ && time < previousTime_) {
            fail("the clock ran back from " + std::to_string(previousTime_) + " to " +
                 std::to_string(time));
        }

        // Surfaces present exactly in the scenes that use them. The quit scene only releases.
        const json& surfaces = d.at("Surfaces");
        const bool lowRes = scene == SCENE_CREDITS || scene == SCENE_ENDING_CLOSE;
        if (scene != SCENE_QUIT) {
            for (const SurfaceRule& rule : SURFACE_RULES) {
                const bool want = rule.scenes.size() == 0 || OneOf(scene, rule.scenes);
                if (surfaces.at(rule.surface).get<bool>() != want) {
                    fail(std::string(rule.surface) + (want ? " is missing" : " is held") +
                         " in scene " + std::to_string(scene));
                }
            }
            if (d.at("FirePen").get<bool>() != lowRes) {
                fail(std::string("FirePen ") + (lowRes ? "is missing" : "is held") + " in scene " +
                     std::to_string(scene));
            }
            if ((d.at("LowResMode").get<int>() == 1) != lowRes) {
                fail("LowResMode " + d.at("LowResMode").dump() + " in scene " +
                     std::to_string(scene));
            }
            const json want = lowRes ? json::array({320, 240}) : json::array({640, 480});
            if (d.at("Display") != want) {
                fail("Display " + d.at("Display").dump() + " in scene " + std::to_string(scene));
            }
        }

        // Loop state and switches.
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
                   {TITLE_RESTART, TITLE_BLACK_PAUSE, TITLE_LOGO_IN, TITLE_LOGO_SHOWN,
                    TITLE_DARK_PAUSE, TITLE_MENU_SETUP, TITLE_MENU, TITLE_CHOSEN, TITLE_LEAVE})) {
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

        // The match: side, turn, state and colours.
        const int mover = d.at("SideToMove").get<int>();
        if (!OneOf(mover, {0, 1})) fail("SideToMove " + std::to_string(mover));
        const int turn = d.at("TurnNumber").get<int>();
        if (turn < 1) fail("TurnNumber " + std::to_string(turn));
        const int state = d.at("MatchState").get<int>();
        if (!OneOf(state,
                   {MATCH_SELECT, MATCH_GENERATE, MATCH_MOVE, MATCH_POINTS_FLIGHT,
                    MATCH_END_OF_TURN, MATCH_CHOOSE_DESTINATION, MATCH_LANDING, MATCH_AFTER_MOVE,
                    MATCH_PROMOTION_PROMPT, MATCH_PROMOTE, MATCH_PLACING, MATCH_OPENING})) {
            fail("MatchState " + std::to_string(state));
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

        // The pieces: live ones stand on the board, are of a kind, are worth what their kind is
        // worth, and never share a square, but for the piece in the middle of a move that ends
        // on the enemy it is about to take.
        std::vector<Live> live;
        long long material[2] = {0, 0};
        for (const json& p : d.at("PieceTable")) {
            const Live piece = {p.at("slot").get<int>(), p.at("x").get<int>(), p.at("y").get<int>(),
                                p.at("value").get<int>(), p.at("kind").get<int>()};
            const std::string where = "slot " + std::to_string(piece.slot);
            if (piece.slot < 0 || piece.slot >= PIECE_SLOT_COUNT) {
                fail("a piece in slot " + std::to_string(piece.slot));
                continue;
            }
            const int kind = piece.kind & KIND_MASK;
            if ((piece.kind & ~(KIND_MASK | KIND_PROMOTED)) != 0 || kind < KIND_PAWN ||
                kind > KIND_KING) {
                fail(where + " holds kind byte " + std::to_string(piece.kind));
                continue;
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
            material[SlotOwner(piece.slot)] += piece.value & 31;
            live.push_back(piece);
        }
        const int selected = d.at("SelectedPiece").get<int>();
        std::map<std::pair<int, int>, std::vector<int>> squares;
        for (const Live& p : live) squares[{p.x, p.y}].push_back(p.slot);
        for (const auto& [square, slots] : squares) {
            const bool taking = state == MATCH_MOVE && slots.size() == 2 &&
                                (slots[0] == selected || slots[1] == selected) &&
                                SlotOwner(slots[0]) != SlotOwner(slots[1]);
            if (slots.size() > 1 && !taking) {
                std::string list;
                for (int s : slots) list += " " + std::to_string(s);
                fail("slots" + list + " share square " + std::to_string(square.first) + "," +
                     std::to_string(square.second));
            }
        }
        auto liveSlot = [&](int slot) {
            for (const Live& p : live) {
                if (p.slot == slot) return true;
            }
            return false;
        };
        if (selected < -1 || selected >= PIECE_SLOT_COUNT) {
            fail("SelectedPiece " + std::to_string(selected));
        } else if (scene == SCENE_MATCH && OneOf(mover, {0, 1})) {
            const bool mine = selected >= 0 && SlotOwner(selected) == mover && liveSlot(selected);
            if (OneOf(state, {MATCH_MOVE, MATCH_LANDING}) && !mine) {
                fail("moving slot " + std::to_string(selected) + " is no live piece of side " +
                     std::to_string(mover));
            }
            if (OneOf(state, {MATCH_GENERATE, MATCH_CHOOSE_DESTINATION}) && selected != -1 &&
                !mine) {
                fail("selected slot " + std::to_string(selected) + " is no live piece of side " +
                     std::to_string(mover));
            }
        }

        // Squares offered: on the board; a move never onto the mover's own piece; a placement
        // only onto an empty square.
        const bool placing =
            state == MATCH_PLACING && d.at("PlacePanelStep").get<int>() == PLACE_CHOOSING;
        const bool choosing = state == MATCH_CHOOSE_DESTINATION && selected >= 0;
        if (scene == SCENE_MATCH && (placing || choosing)) {
            for (const json& e : d.at("ReachTable")) {
                const int x = e.at("x").get<int>();
                const int y = e.at("y").get<int>();
                const std::string where = "reach entry " + e.at("index").dump() + " (" +
                                          std::to_string(x) + "," + std::to_string(y) + ")";
                if (!OnBoard(x, y)) {
                    fail(where + " is off the board");
                    continue;
                }
                const auto it = squares.find({x, y});
                if (it == squares.end()) continue;
                if (placing) fail(where + " is offered for placing but holds a piece");
                if (choosing && SlotOwner(it->second.front()) == mover) {
                    fail(where + " is offered but holds the mover's own piece");
                }
            }
        }

        // Tallies: never negative; the placing panel offers only what the side can pay; the
        // material tally is the worth of the side's live pieces once a turn is settled.
        const json& tallies = d.at("SideTally");
        long long points = 0;
        for (int side = 0; side < 2; ++side) {
            const json& t = tallies.at(side);
            const long long p = t.at("points").get<long long>();
            points += p;
            for (const char* field : {"points", "material", "clockSeconds"}) {
                if (t.at(field).get<long long>() < 0) {
                    fail("side " + std::to_string(side) + " " + field + " " + t.at(field).dump());
                }
            }
            if (scene == SCENE_MATCH && OneOf(state, {MATCH_SELECT, MATCH_CHOOSE_DESTINATION}) &&
                t.at("material").get<long long>() != material[side]) {
                fail("side " + std::to_string(side) + " material " + t.at("material").dump() +
                     ", its pieces are worth " + std::to_string(material[side]));
            }
        }
        const int choice = d.at("PlaceChoice").get<int>();
        if (choice < 0 || choice >= KIND_KING - 1) {
            fail("PlaceChoice " + std::to_string(choice));
        } else if (scene == SCENE_MATCH && placing && OneOf(mover, {0, 1}) &&
                   d.at("DropCost").at(choice).get<int>() >
                       tallies.at(mover).at("points").get<long long>()) {
            fail("the placing panel offers a kind costing " + d.at("DropCost").at(choice).dump() +
                 " to a side holding " + tallies.at(mover).at("points").dump() + " points");
        }

        // Worth is only ever moved: a capture turns the taken piece into point motes (one
        // point each, some lost), a placement turns points into a piece. Points, material and
        // motes in the air never add up to more than the match's opening put on the board.
        long long motes = 0;
        for (const json& m : d.at("PointMoteTable")) {
            ++motes;
            if (!OneOf(m.at("side").get<int>(), {0, 1}))
                fail("a mote of side " + m.at("side").dump());
        }
        const long long worth = points + material[0] + material[1] + motes;
        const bool newMatch = scene == SCENE_MATCH && previousScene_ != SCENE_MATCH;
        if (newMatch || (scene == SCENE_MATCH && matchWorth_ < 0)) {
            matchWorth_ = worth;
        } else if (matchWorth_ >= 0 && OneOf(scene, {SCENE_MATCH, SCENE_RESULT}) &&
                   worth > matchWorth_) {
            fail("points, material and motes add up to " + std::to_string(worth) +
                 ", more than the " + std::to_string(matchWorth_) + " the match began with");
        }

        // Within one match the turn count and each side's clock only go up.
        if (havePrevious_ && !newMatch && OneOf(scene, {SCENE_MATCH, SCENE_RESULT})) {
            if (turn < previousTurn_) {
                fail("TurnNumber went down from " + std::to_string(previousTurn_) + " to " +
                     std::to_string(turn));
            }
            for (int side = 0; side < 2; ++side) {
                const long long c = tallies.at(side).at("clockSeconds").get<long long>();
                if (c < previousClock_[side]) {
                    fail("side " + std::to_string(side) + " clock went down from " +
                         std::to_string(previousClock_[side]) + " to " + std::to_string(c));
                }
            }
        }

        havePrevious_ = true;
        previousTime_ = time;
        previousScene_ = scene;
        previousTurn_ = turn;
        for (int side = 0; side < 2; ++side) {
            previousClock_[side] = tallies.at(side).at("clockSeconds").get<long long>();
        }
    } catch (const json::exception& e) {
        fail(std::string("the dump lacks a field or holds a wrong type: ") + e.what());
    }
    return broken;
}
