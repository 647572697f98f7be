// The layout reader on well-formed and odd files, and the rest of the match setup.

#include "rules/setup.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "media/resources.h"
#include "platform/core/platform.h"
#include "rules_test_support.h"
#include "state/random.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

struct LiveSlot {
    int slot, x, y, kind, value;
    bool operator==(const LiveSlot&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LiveSlot& s) {
    return out << "slot " << s.slot << " (" << s.x << "," << s.y << ") kind " << s.kind << " value "
               << s.value;
}

std::vector<LiveSlot> LiveSlots() {
    std::vector<LiveSlot> out;
    for (int i = 0; i < PIECE_SLOT_COUNT; ++i) {
        const PieceRecord& p = PieceTable[i];
        if (p.kind != KIND_NONE) out.push_back({i, p.x, p.y, p.kind, p.value});
    }
    return out;
}

// Runs each test in a fresh directory holding DATA/TXT, and goes back afterwards.
class RulesLayoutTest : public RulesTest {
protected:
    void SetUp() override {
        RulesTest::SetUp();
        dir_.emplace("layout");
        fs::create_directories(dir_->Path() / "DATA" / "TXT");
        cwd_.emplace(dir_->Path());
    }
    void TearDown() override {
        cwd_.reset();
        dir_.reset();
        RulesTest::TearDown();
    }
    void WriteLayout(const std::string& text) {
        std::ofstream(dir_->Path() / "DATA" / "TXT" / "SYOGI.dat", std::ios::binary) << text;
        ForgetFileProblems();  // a new file: its problems are said again
    }

    std::optional<testfiles::TempDir> dir_;
    std::optional<testfiles::ScopedCwd> cwd_;
};

// A full, valid layout: group g stands on (g mod 9, g / 9) with kind g mod 8 + 1 and value g + 1.
// `spell` writes one group given its four numbers.
template <typename Spell>
std::string FullLayout(Spell spell, int groups = LAYOUT_GROUP_COUNT) {
    std::string text;
    for (int g = 0; g < groups; ++g) text += spell(g % 9, g / 9, g % 8 + 1, g + 1);
    return text;
}

std::vector<LiveSlot> FullLayoutSlots() {
    std::vector<LiveSlot> out;
    for (int g = 0; g < LAYOUT_GROUP_COUNT; ++g) {
        const int slot = g < 20 ? g : g + 12;
        out.push_back({slot, g % 9, g / 9, g % 8 + 1, g + 1});
    }
    return out;
}

std::string Group(int x, int y, int k, int v, const char* before, const char* after) {
    return std::string(before) + std::to_string(x) + "," + before + std::to_string(y) + "," +
           before + std::to_string(k) + "," + before + std::to_string(v) + after;
}

struct LayoutCase {
    std::string name;
    std::string text;
    std::vector<LiveSlot> expected;
    bool complains;              // a one-line message on stderr
    const char* says = nullptr;  // a part that line must hold
};

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }

std::vector<LayoutCase> LayoutCases() {
    const auto full = FullLayoutSlots();
    std::vector<LayoutCase> cases = {
        {"OneGroupPerLine",
         FullLayout([](int x, int y, int k, int v) { return Group(x, y, k, v, "", ",\n"); }), full,
         false},
        {"AllOnOneLine",
         FullLayout([](int x, int y, int k, int v) { return Group(x, y, k, v, "", ", "); }), full,
         false},
        {"NoFinalCommas",
         FullLayout([](int x, int y, int k, int v) { return Group(x, y, k, v, "", "\n"); }), full,
         false},
        {"CrLfTabsAndSigns",
         FullLayout([](int x, int y, int k, int v) { return Group(x, y, k, v, " \t+", ",\r\n"); }),
         full, false},
        {"MoreThanFortyGroups",
         FullLayout([](int x, int y, int k, int v) { return Group(x, y, k, v, "", ",\n"); }, 45),
         full, true},
    };
    // Two pieces on one square, and a side without a king: loaded as written, said in a line.
    {
        auto spell = [](int x, int y, int k, int v) {
            if (v == 31) x = 2, y = 0;  // group 30 onto group 2's square
            return Group(x, y, k, v, "", ",\n");
        };
        auto slots = full;
        slots[30].x = 2;
        slots[30].y = 0;
        cases.push_back({"TwoPiecesShareASquare", FullLayout(spell), slots, true,
                         "pieces on a square another piece holds: 1 (first in group 31)"});
    }
    {
        auto spell = [](int x, int y, int k, int v) {
            if (v > 20 && k == KIND_KING) k = KIND_GOLD;  // side 1 has no king
            return Group(x, y, k, v, "", ",\n");
        };
        auto slots = full;
        for (LiveSlot& s : slots) {
            if (s.slot >= SIDE_SLOT_COUNT && s.kind == KIND_KING) s.kind = KIND_GOLD;
        }
        cases.push_back(
            {"NoKingForTheSecondSide", FullLayout(spell), slots, true, "no king for side 2"});
    }
    cases.push_back({"ThreeGroups",
                     "4,0,8,20,\n3,0,5,6,\n5,0,5,6,\n",
                     {{0, 4, 0, 8, 20}, {1, 3, 0, 5, 6}, {2, 5, 0, 5, 6}},
                     true});
    cases.push_back({"EmptyFile", "", {}, true});
    // "1 2,": the read of group 0 stops after x, the rest shifts into the following slots.
    cases.push_back({"CommaMissingInsideGroup",
                     "1 2,3,4,\n5,6,7,8,\n",
                     {{1, 2, 3, 4, 5}, {2, 6, 7, 8, 0}},
                     true});
    cases.push_back({"CutOffBeforeKind", "1,2,3,4,\n5,6", {{0, 1, 2, 3, 4}}, true});
    cases.push_back({"LetterStopsTheRest", "1,2,3,4,\nx,5,6,7,8,\n", {{0, 1, 2, 3, 4}}, true});
    // The kind keeps its low eight bits; 256 leaves the slot empty.
    cases.push_back({"KindsBeyondAByte",
                     "0,0,133,5,\n1,0,300,1,\n2,0,-1,1,\n3,0,256,1,\n",
                     {{0, 0, 0, 133, 5}, {1, 1, 0, 44, 1}, {2, 2, 0, 255, 1}},
                     true});
    cases.push_back({"ValuesHeld",
                     "0,0,1,-4,\n1,0,1,5000,\n2,0,1,33,\n",
                     {{0, 0, 0, 1, 0}, {1, 1, 0, 1, MAX_LAYOUT_VALUE}, {2, 2, 0, 1, 33}},
                     true});
    // Numbers of more than nine characters are split and never overflow; the pieces of the
    // split numbers then land in the wrong fields.
    cases.push_back({"TenDigitSquare", "1234567890,0,1,1,\n", {{1, 0, 0, 1, 1}}, true});
    cases.push_back({"TwentyDigitValue",
                     "0,0,1,99999999999999999999,\n",
                     {{0, 0, 0, 1, MAX_LAYOUT_VALUE}},
                     true});
    // A value that runs straight into the next group's sign reads the same, but is said.
    std::string runOn =
        FullLayout([](int x, int y, int k, int v) { return Group(x, y, k, v, "", ",\n"); });
    runOn.replace(runOn.find(",\n"), 2, "+");
    cases.push_back({"ValueRunsIntoTheNextGroup", runOn, full, true});
    cases.push_back({"SquaresOffTheBoard",
                     "9,0,1,1,\n-1,-1,8,2,\n-2147483648,2147483647,1,1,\n",
                     {{0, 9, 0, 1, 1}, {1, -1, -1, 8, 2}, {4, 7, 1, 1, 0}},
                     true});
    return cases;
}

class RulesLayoutFileTest : public RulesLayoutTest,
                            public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(RulesLayoutFileTest, FillsTheseSlots) {
    const LayoutCase& c = GetParam();
    WriteLayout(c.text);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(ReadLayoutFile(LAYOUT_FILE_PATH));
    const std::string said = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(LiveSlots(), c.expected);
    if (c.complains) {
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_EQ(said.rfind("kelmorav: DATA/TXT/SYOGI.dat: ", 0), 0u) << said;
        if (c.says != nullptr) {
            EXPECT_NE(said.find(c.says), std::string::npos) << said;
        }
    } else {
        EXPECT_EQ(said, "");
    }
}

INSTANTIATE_TEST_SUITE_P(RulesLayouts, RulesLayoutFileTest, ::testing::ValuesIn(LayoutCases()),
                         [](const auto& info) { return info.param.name; });

// The colour and tile draws with a fixed seed, taken from the generator's own formula.
TEST_F(RulesLayoutTest, SetupWithoutALayoutStillColoursTheSidesAndDrawsThreeTimes) {
    struct Case {
        uint32_t seed;
        uint8_t bank0, bank1, style;
    };
    // seed 12345 draws 7584, 19164, 25795; seed 1 draws 41, 18467, 6334.
    const Case cases[] = {{12345, 14 * 16, 4 * 16, 5}, {1, 1 * 16, 3 * 16, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seed);
        SoundOn = 0;
        MusicOn = 0;
        SeedRandom(c.seed);
        ForgetFileProblems();
        ::testing::internal::CaptureStderr();
        MatchSetup();
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("SYOGI.dat"), std::string::npos);
        EXPECT_TRUE(LiveSlots().empty());
        EXPECT_EQ(SideColourBank[0], c.bank0);
        EXPECT_EQ(SideColourBank[1], c.bank1);
        EXPECT_EQ(BoardTileStyle, c.style);
        EXPECT_EQ(SoundOn, 1);
        EXPECT_EQ(MusicOn, 1);
        const int8_t costs[DROP_COST_COUNT] = {1, 2, 3, 4, 5, 6, 6, 0};
        EXPECT_TRUE(std::equal(std::begin(costs), std::end(costs), DropCost));
    }
    // Exactly three draws: the next one is the fourth of seed 12345's sequence.
    SeedRandom(12345);
    ::testing::internal::CaptureStderr();
    MatchSetup();
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Rand(), 22125);
}

TEST_F(RulesLayoutTest, SetupReadsTheLayoutAndRecoloursBothSheets) {
    WriteLayout("4,0,8,20,\n4,8,8,20,\n");
    Surface* sheets[2] = {CreateSurface(416, 96), CreateSurface(416, 96)};
    for (Surface* s : sheets) {
        ASSERT_NE(s, nullptr);
        for (size_t i = 0; i < s->pixels.size(); ++i) s->pixels[i] = static_cast<uint8_t>(i);
    }
    const std::vector<uint8_t> original = sheets[0]->pixels;
    SideSheet[0] = sheets[0];
    SideSheet[1] = sheets[1];
    SeedRandom(12345);

    ::testing::internal::CaptureStderr();
    MatchSetup();
    const std::string said = ::testing::internal::GetCapturedStderr();
    SideSheet[0] = SideSheet[1] = nullptr;

    EXPECT_EQ(LiveSlots(), (std::vector<LiveSlot>{{0, 4, 0, 8, 20}, {1, 4, 8, 8, 20}}));
    EXPECT_NE(said.find("only 2 of 40"), std::string::npos) << said;
    for (int side = 0; side < 2; ++side) {
        const Surface* s = sheets[side];
        for (int y = 0; y < s->height; ++y) {
            for (int x = 0; x < s->width; ++x) {
                const uint8_t p = original[y * s->pitch + x];
                const uint8_t want = p == TRANSPARENT_INDEX
                                         ? p
                                         : static_cast<uint8_t>(SideColourBank[side] + (p & 15));
                ASSERT_EQ(s->pixels[y * s->pitch + x], want) << side << ":" << x << "," << y;
            }
        }
    }
    for (Surface* s : sheets) ReleaseSurface(s);
}

}  // namespace
