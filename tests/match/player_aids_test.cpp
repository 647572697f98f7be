// The player aids, played headless: with the aids left alone a match is shot for shot and line
// for line what the build before them gave (the reference kept in tests/replays/reference); the
// help card held over the match, its blocking end sequence and the result screen changes no
// trace line and, once F1 is up, no pixel; the kind labels name every token with the glyph of
// its kind, the lifted and the hopping piece included, and a second press of L takes them off;
// the last-move mark tints the squares of the last move only, and the coordinates number the
// near edges as the info panel counts squares.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "media/palette.h"
#include "media/sheet_cells.h"
#include "rules/board.h"
#include "support/headless_runner.h"
#include "support/png_read.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testfiles::ReadPng;
using testfiles::RgbPicture;
using testfiles::WithOut;

const fs::path REPLAYS = fs::path(KELMORAV_SOURCE_DIR) / "tests" / "replays";
const fs::path REFERENCE = REPLAYS / "reference";
const char* const OFF_SCRIPT = "aids_off_match_is_frame_for_frame_the_match_before_the_aids.txt";

// The shots of the reference script; those named held-* are taken while the help card's run
// holds F1.
const std::vector<std::string> SHOTS = {
    "start",    "held-match", "released-match", "selected",    "hop",
    "promoted", "held-end",   "released-end",   "held-result", "result"};

bool Held(const std::string& shot) { return shot.rfind("held-", 0) == 0; }

// The script with its "#F1 " lines made live.
std::string WithHelpKeys(std::string script) {
    for (size_t at = script.find("#F1 "); at != std::string::npos; at = script.find("#F1 ", at)) {
        script.erase(at, 4);
    }
    return script;
}

struct AidsRun {
    fs::path dir;
    int status = -1;
    std::string stderrText;
};

// Runs a replay script with a layout on the synthetic test pictures (or, with art, on the
// generated DATA), by the given executable.
AidsRun RunReplay(const std::string& name, const std::string& script, const std::string& layout,
                  bool art = false,
                  const std::string& executable = KELMORAV_BUILD_DIR "/kelmorav") {
    AidsRun run;
    run.dir = testfiles::FreshDir("aids-" + name);
    if (art) {
        for (const char* sub : {"BMP", "SOUND", "BGM"}) {
            fs::create_directories(run.dir / "DATA");
            fs::create_directory_symlink(fs::path(KELMORAV_BUILD_DIR) / "DATA" / sub,
                                         run.dir / "DATA" / sub);
        }
        fs::create_directories(run.dir / "DATA/TXT");
    } else {
        run.dir = testfiles::MakeTestDataDir("aids-" + name);
    }
    testfiles::WriteText(run.dir / "DATA/TXT/SYOGI.dat",
                         testfiles::ReadText(REPLAYS / "layouts" / (layout + ".dat")));
    testfiles::WriteText(run.dir / "script.txt", WithOut(script, run.dir));
    run.status = testfiles::RunProgram(
        {executable, "--headless", "--seed", "7", "--script", (run.dir / "script.txt").string(),
         "--trace", (run.dir / "trace.jsonl").string(), "--data", run.dir.string()},
        run.dir / "stderr.txt");
    run.stderrText = testfiles::ReadText(run.dir / "stderr.txt");
    return run;
}

std::vector<json> TraceLines(const fs::path& path) {
    std::vector<json> lines;
    std::istringstream in(testfiles::ReadText(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) lines.push_back(json::parse(line));
    }
    return lines;
}

// What a trace line reports: its keys without the time.
std::string KindOf(const json& line) {
    std::string kind;
    for (const auto& [key, value] : line.items()) {
        if (key != "t") kind += key + ",";
    }
    return kind;
}

// The lines of trace whose kinds the reference has: a kind of line added later by other work
// is left out, every kind the reference reports must match line for line.
std::vector<json> KindsOf(const std::vector<json>& trace, const std::vector<json>& reference) {
    std::set<std::string> kinds;
    for (const json& line : reference) kinds.insert(KindOf(line));
    std::vector<json> kept;
    for (const json& line : trace) {
        if (kinds.count(KindOf(line)) != 0) kept.push_back(line);
    }
    return kept;
}

// Writes the reference from an older build: KELMORAV_REFERENCE_BUILD=/path/to/kelmorav.
TEST(PlayerAids, ReferenceIsWrittenOnlyOnRequest) {
    const char* older = std::getenv("KELMORAV_REFERENCE_BUILD");
    if (older == nullptr) GTEST_SKIP() << "set KELMORAV_REFERENCE_BUILD to rewrite the reference";
    const AidsRun run =
        RunReplay("reference", testfiles::ReadText(REPLAYS / OFF_SCRIPT), "capture", false, older);
    ASSERT_EQ(run.status, 0) << run.stderrText;
    fs::create_directories(REFERENCE);
    for (const std::string& shot : SHOTS) {
        fs::copy_file(run.dir / (shot + ".png"), REFERENCE / (shot + ".png"),
                      fs::copy_options::overwrite_existing);
    }
    fs::copy_file(run.dir / "trace.jsonl", REFERENCE / "trace.jsonl",
                  fs::copy_options::overwrite_existing);
}

// The fault caught: anything of the aids reaching a frame or the trace while they are off.
TEST(PlayerAids, AidsLeftAloneGiveTheShotsAndTraceOfTheBuildBefore) {
    const AidsRun run = RunReplay("off", testfiles::ReadText(REPLAYS / OFF_SCRIPT), "capture");
    ASSERT_EQ(run.status, 0) << run.stderrText;
    for (const std::string& shot : SHOTS) {
        SCOPED_TRACE(shot);
        const RgbPicture expected = ReadPng((REFERENCE / (shot + ".png")).string());
        ASSERT_FALSE(expected.rgb.empty()) << "missing reference shot";
        EXPECT_TRUE(ReadPng((run.dir / (shot + ".png")).string()) == expected);
    }
    const std::vector<json> reference = TraceLines(REFERENCE / "trace.jsonl");
    ASSERT_GT(reference.size(), 10u);
    EXPECT_EQ(KindsOf(TraceLines(run.dir / "trace.jsonl"), reference), reference);
}

// The faults caught: the card drawn into a surface of the game (it would stay in the picture
// after the release, or feed the dimming of the end sequence), F1 changing the game's course
// (a trace line or a later frame would differ), and a card that does not show at all over a
// scene that presents by copy, by flip or from inside a blocking loop.
TEST(PlayerAids, HelpCardHeldAndReleasedLeavesEveryFrameAndTraceLineAsBefore) {
    const AidsRun run =
        RunReplay("help", WithHelpKeys(testfiles::ReadText(REPLAYS / OFF_SCRIPT)), "capture");
    ASSERT_EQ(run.status, 0) << run.stderrText;
    for (const std::string& shot : SHOTS) {
        SCOPED_TRACE(shot);
        const RgbPicture expected = ReadPng((REFERENCE / (shot + ".png")).string());
        const RgbPicture got = ReadPng((run.dir / (shot + ".png")).string());
        ASSERT_EQ(got.rgb.size(), expected.rgb.size());
        if (!Held(shot)) {
            EXPECT_TRUE(got == expected);
            continue;
        }
        // Held: the card covers the screen but its margin, where the scene shows untouched.
        int changedInside = 0;
        int changedOutside = 0;
        for (int y = 0; y < got.height; ++y) {
            for (int x = 0; x < got.width; ++x) {
                const bool inside = x >= 14 && y >= 14 && x < got.width - 14 && y < got.height - 14;
                if (got.At(x, y) != expected.At(x, y)) ++(inside ? changedInside : changedOutside);
            }
        }
        EXPECT_GT(changedInside, got.width * got.height / 2);
        EXPECT_EQ(changedOutside, 0);
    }
    const std::vector<json> reference = TraceLines(REFERENCE / "trace.jsonl");
    EXPECT_EQ(KindsOf(TraceLines(run.dir / "trace.jsonl"), reference), reference);
}

// ---- kind labels ---------------------------------------------------------------------------

// ETC.bmp as generated: the labels' glyphs and the palette they are drawn in.
const BmpImage& Etc() {
    static const BmpImage image = [] {
        BmpImage bmp;
        const std::string bytes =
            testfiles::ReadText(fs::path(KELMORAV_BUILD_DIR) / "DATA/BMP/ETC.bmp");
        std::string error;
        EXPECT_TRUE(
            ParseBmp(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &bmp, &error))
            << error;
        return bmp;
    }();
    return image;
}

// True when the glyph cell's opaque pixels stand at (x, y) of the shot, in their colours.
bool GlyphAt(const RgbPicture& shot, const char* cellName, int x, int y) {
    const ArtCell* cell = FindArtCell(SHEET_ETC, cellName);
    if (cell == nullptr) return false;
    const BmpImage& etc = Etc();
    int opaque = 0;
    for (int j = 0; j < cell->h; ++j) {
        for (int i = 0; i < cell->w; ++i) {
            const uint8_t index =
                etc.pixels[static_cast<size_t>(cell->y + j) * etc.width + cell->x + i];
            if (index == 254) continue;
            ++opaque;
            const PaletteEntry& c = etc.colours[index];
            const long rgb = (static_cast<long>(c.red) << 16) | (c.green << 8) | c.blue;
            if (shot.At(x + i, y + j) != rgb) return false;
        }
    }
    return opaque > 0;
}

// The glyph of a kind in either ink (which one a side gets depends on its colour).
bool LabelAt(const RgbPicture& shot, const std::string& glyph, int x, int y) {
    return GlyphAt(shot, ("label pale " + glyph).c_str(), x, y) ||
           GlyphAt(shot, ("label deep " + glyph).c_str(), x, y);
}

// The label's top-left corner for a token whose 32x32 sprite has its top-left at (x, y): the
// 16x16 label centred on the middle of the token's top face, which leans to the side's front.
int LabelX(int side, int x) { return x + (side == 0 ? 14 : 18) - 8; }
int LabelY(int y) { return y + 15 - 8; }

struct Expected {
    int slot;
    const char* glyph;
};

// Every token of layouts/labels.dat and the glyph it must carry.
constexpr Expected LABELLED[] = {
    {0, "jewel"},    {1, "pawn"},      {2, "lance"},     {3, "knight"},   {4, "silver"},
    {5, "gold"},     {7, "bishop"},    {8, "tokin"},     {9, "dragon"},   {10, "neutral"},
    {32, "king"},    {33, "pawn"},     {34, "narigin"},  {35, "horse"},   {36, "narikyo"},
    {37, "narikei"}, {38, "gold red"}, {39, "king red"}, {40, "neutral"},
};

json PieceOf(const json& state, int slot) {
    for (const json& p : state["PieceTable"]) {
        if (p["slot"] == slot) return p;
    }
    return json();
}

// The faults caught: a wrong glyph for a kind (or for a side's king, or a promoted kind drawn
// unpromoted), a label off the middle of its token, an odd kind byte drawn with some kind's
// glyph, the tall and the moving piece left bare, and L toggling in every frame it is held.
TEST(PlayerAids, KindLabelsNameEveryTokenWithTheGlyphOfItsKind) {
    const AidsRun run = RunReplay(
        "labels",
        testfiles::ReadText(REPLAYS /
                            "kind_labels_name_every_token_the_lifted_and_the_hopping_piece.txt"),
        "labels", true);
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const RgbPicture labels = ReadPng((run.dir / "labels.png").string());
    const json state = testfiles::ReadJson(run.dir / "labels.json");
    ASSERT_FALSE(labels.rgb.empty());
    for (const Expected& e : LABELLED) {
        SCOPED_TRACE(std::to_string(e.slot) + " " + e.glyph);
        const json p = PieceOf(state, e.slot);
        ASSERT_FALSE(p.is_null());
        const int x = p["x"];
        const int y = p["y"];
        const int side = e.slot / 32;
        EXPECT_TRUE(
            LabelAt(labels, e.glyph, LabelX(side, 304 + 32 * (x - y)), LabelY(120 + 16 * (x + y))));
    }

    // The lifted rook (slot 6) at full height: its tall cell draws the token 16 pixels right of
    // and 2 rows below the board sprite's place.
    const json tall = testfiles::ReadJson(run.dir / "tall.json");
    ASSERT_EQ(tall["SelectedPiece"], 6);
    ASSERT_EQ(tall["SelectSize"], 48);
    const RgbPicture lifted = ReadPng((run.dir / "tall.png").string());
    const int moverX = tall["MoverTrail"][0][0];
    const int moverY = tall["MoverTrail"][0][1];
    EXPECT_TRUE(LabelAt(lifted, "rook", LabelX(0, moverX + 16), LabelY(moverY + 38 - 48 + 2)));

    // The hopping rook, where the frame shown drew it (the trail's newest record).
    const json hop = testfiles::ReadJson(run.dir / "hop.json");
    ASSERT_EQ(hop["MatchState"], 2);
    const RgbPicture hopping = ReadPng((run.dir / "hop.png").string());
    const int hopX = hop["MoverTrail"][0][0];
    const int hopY = hop["MoverTrail"][0][1];
    EXPECT_TRUE(LabelAt(hopping, "rook", LabelX(0, hopX + 16), LabelY(hopY + 38 - 48 + 2)));

    // A second press takes every label off again.
    const RgbPicture off = ReadPng((run.dir / "off.png").string());
    const json offState = testfiles::ReadJson(run.dir / "off.json");
    const json pawn = PieceOf(offState, 33);
    const int px = pawn["x"];
    const int py = pawn["y"];
    EXPECT_FALSE(
        LabelAt(off, "pawn", LabelX(1, 304 + 32 * (px - py)), LabelY(120 + 16 * (px + py))));
}

// ---- last move and coordinates --------------------------------------------------------------

// A match on the capture layout: side 0 moves (4, 4) to (4, 6) and keeps the piece unpromoted,
// side 1 replies, side 0 places a knight on (4, 2). AIDS is replaced by the presses of H and N
// for the run with the aids, by a wait as long for the run without, so that both runs see the
// same frames at the same times.
const char* const BOARD_AIDS_SCRIPT = R"(wait 10200
move 250 380
click 250 380
until SCENE_MATCH 10000
wait 9000
AIDS
move 320 264
click 320 264
wait 400
move 256 296
click 256 296
wait 3800
move 235 248
down left
wait 100
up left
wait 5100
move 630 470
wait 300
shot OUT/moved.png
move 128 232
click 128 232
wait 200
move 160 216
click 160 216
wait 2000
move 597 96
down left
wait 100
up left
move 600 56
wait 800
click 600 56
wait 100
click 600 56
wait 100
click 600 56
wait 100
move 384 232
down left
wait 100
up left
wait 3000
move 630 470
wait 300
shot OUT/placed.png
)";

std::string BoardAidsScript(bool on) {
    std::string script = BOARD_AIDS_SCRIPT;
    script.replace(script.find("AIDS"), 4, on ? "press H\npress N" : "wait 100\nwait 100");
    return script;
}

struct Spot {
    int x;
    int y;
};

// Every place where the cell's opaque pixels stand in the shot in their colours.
std::vector<Spot> FindGlyph(const RgbPicture& shot, const char* cellName) {
    std::vector<Spot> found;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            if (GlyphAt(shot, cellName, x, y)) found.push_back({x, y});
        }
    }
    return found;
}

// The square of the board's near edges whose tile's outer side has its middle nearest to the
// point: a column square (c, 8) by its lower-left side, a row square (8, r) by its lower-right.
struct EdgeSquare {
    bool column;
    int n;  // counted from 1, as the info panel shows squares
};
EdgeSquare NearestEdgeSquare(int px, int py) {
    EdgeSquare best{};
    long bestDistance = -1;
    for (int k = 0; k < BOARD_SIZE; ++k) {
        const ScreenPoint column = TileScreenPoint(k, BOARD_SIZE - 1);
        const ScreenPoint row = TileScreenPoint(BOARD_SIZE - 1, k);
        const Spot sides[2] = {{column.x + 16, column.y + 40}, {row.x + 48, row.y + 40}};
        for (int c = 0; c < 2; ++c) {
            const long dx = px - sides[c].x;
            const long dy = py - sides[c].y;
            const long d = dx * dx + dy * dy;
            if (bestDistance < 0 || d < bestDistance) {
                bestDistance = d;
                best = {c == 0, k + 1};
            }
        }
    }
    return best;
}

// The faults caught: the numbering running the wrong way along an edge, or columns and rows
// swapped against the info panel's 位置; the mark on other squares than the last move's (a
// placement keeping the move before it marked, x and y swapped); and either aid drawing
// anything else.
TEST(PlayerAids, LastMoveAndCoordinatesMarkTheirSquaresAndNothingElse) {
    const AidsRun on = RunReplay("board-aids-on", BoardAidsScript(true), "capture", true);
    const AidsRun off = RunReplay("board-aids-off", BoardAidsScript(false), "capture", true);
    ASSERT_EQ(on.status, 0) << on.stderrText;
    ASSERT_EQ(off.status, 0) << off.stderrText;

    struct Case {
        const char* shot;
        std::vector<Spot> marked;  // board squares
    };
    const Case cases[] = {{"moved", {{4, 4}, {4, 6}}}, {"placed", {{4, 2}}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shot);
        const RgbPicture with = ReadPng((on.dir / (std::string(c.shot) + ".png")).string());
        const RgbPicture without = ReadPng((off.dir / (std::string(c.shot) + ".png")).string());
        ASSERT_FALSE(with.rgb.empty());
        ASSERT_EQ(with.rgb.size(), without.rgb.size());

        // Each numeral twice, by the column and by the row it counts.
        std::vector<bool> explained(with.rgb.size() / 3, false);
        for (int n = 1; n <= BOARD_SIZE; ++n) {
            SCOPED_TRACE("numeral " + std::to_string(n));
            const std::string name = "coordinate " + std::to_string(n);
            const std::vector<Spot> spots = FindGlyph(with, name.c_str());
            ASSERT_EQ(spots.size(), 2u);
            bool column = false;
            bool row = false;
            const ArtCell* cell = FindArtCell(SHEET_ETC, name.c_str());
            for (const Spot& s : spots) {
                const EdgeSquare edge = NearestEdgeSquare(s.x + cell->w / 2, s.y + cell->h / 2);
                EXPECT_EQ(edge.n, n);
                (edge.column ? column : row) = true;
                for (int j = 0; j < cell->h; ++j)
                    for (int i = 0; i < cell->w; ++i)
                        explained[static_cast<size_t>(s.y + j) * with.width + s.x + i] = true;
            }
            EXPECT_TRUE(column && row);
        }

        // The tint: much of each marked square's face, and nothing outside the marked tiles.
        std::vector<int> tinted(c.marked.size(), 0);
        int stray = 0;
        for (int y = 0; y < with.height; ++y) {
            for (int x = 0; x < with.width; ++x) {
                if (with.At(x, y) == without.At(x, y)) continue;
                if (explained[static_cast<size_t>(y) * with.width + x]) continue;
                bool inMarked = false;
                for (size_t k = 0; k < c.marked.size(); ++k) {
                    const ScreenPoint t = TileScreenPoint(c.marked[k].x, c.marked[k].y);
                    if (x >= t.x && x < t.x + 64 && y >= t.y && y < t.y + 32) {
                        ++tinted[k];
                        inMarked = true;
                    }
                }
                stray += inMarked ? 0 : 1;
            }
        }
        EXPECT_EQ(stray, 0);
        for (size_t k = 0; k < c.marked.size(); ++k) {
            EXPECT_GT(tinted[k], 300) << "square " << c.marked[k].x << "," << c.marked[k].y;
        }
    }
}

}  // namespace
