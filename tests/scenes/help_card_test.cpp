// The help cards: every line of every card stands inside the card, in one column or the title
// line, overlapping no other, also with two more keys in the list; the result card says how
// the match ended; over the ending's 320x240 the card is drawn at 640x480 on the enlarged
// picture rather than at the picture's own size; and what the solid card hides still counts as
// a presented frame of the game.
#include "scenes/help_card.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "state/language.h"
#include "support/headless_runner.h"
#include "support/png_read.h"

namespace {

namespace fs = std::filesystem;

// Room for the keys still to come: two more, each as long as the longer ones of the list, on
// every screen (the computer's P, which this margin was first kept for, is now in the list).
constexpr Control MORE_KEYS[] = {
    {"F3", ControlDevice::KEY, ControlAction::PRESS, ON_EVERY_SCREEN, "強さ",
     "the computer's strength, one step up or down"},
    {"K", ControlDevice::KEY, ControlAction::HOLD, ON_EVERY_SCREEN, "即答",
     "the computer answers at once instead of after a pause"},
};

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

struct CardCase {
    const char* name;
    HelpCardId card;
    MatchEnding ending;
};

constexpr CardCase CARDS[] = {
    {"title", HELP_CARD_TITLE, {}},
    {"match", HELP_CARD_MATCH, {}},
    {"result, first side won", HELP_CARD_RESULT, {1, 0}},
    {"result, second side won", HELP_CARD_RESULT, {2, 1}},
    {"result, forfeited", HELP_CARD_RESULT, {3, 1}},
    {"ending", HELP_CARD_ENDING, {}},
};

// The faults caught: a section running past the card's bottom (the match card once lost its
// pieces there), an English line wider than its column running into the next, a key column too
// narrow for its key, and a card with no room left for the keys still to come; in either
// language.
TEST(HelpCard, EveryLineOfEveryCardFitsItsColumnWithoutOverlap) {
    for (const Language language : {Language::JAPANESE, Language::ENGLISH}) {
        for (const CardCase& c : CARDS) {
            for (const bool more : {false, true}) {
                GameLanguage = language;
                SCOPED_TRACE(std::string(c.name) + (more ? " with two more keys" : "") +
                             (language == Language::ENGLISH ? " in English" : ""));
                const HelpCardLayout layout =
                    more ? LayOutHelpCard(c.card, 640, 480, c.ending, MORE_KEYS)
                         : LayOutHelpCard(c.card, 640, 480, c.ending);
                ASSERT_GT(layout.texts.size(), 10u);
                ASSERT_TRUE(Inside(layout.title, layout.card));
                for (const Rect& column : layout.columns) ASSERT_TRUE(Inside(column, layout.card));
                for (size_t i = 0; i < layout.texts.size(); ++i) {
                    const HelpCardText& t = layout.texts[i];
                    SCOPED_TRACE(t.text);
                    EXPECT_GT(t.box.right, t.box.left);
                    bool placed = Inside(t.box, layout.title);
                    for (const Rect& column : layout.columns)
                        placed = placed || Inside(t.box, column);
                    EXPECT_TRUE(placed) << "at " << t.box.left << "," << t.box.top << " to "
                                        << t.box.right << "," << t.box.bottom;
                    for (size_t j = i + 1; j < layout.texts.size(); ++j) {
                        EXPECT_FALSE(Overlap(t.box, layout.texts[j].box))
                            << "overlaps " << layout.texts[j].text;
                    }
                }
            }
        }
    }
    GameLanguage = Language::JAPANESE;
}

bool Says(const HelpCardLayout& layout, const std::string& words) {
    for (const HelpCardText& t : layout.texts) {
        if (t.text.find(words) != std::string::npos) return true;
    }
    return false;
}

// The faults caught: the result card naming the wrong winner (the outcome's sides swapped), or
// a forfeit put on the wrong side's turn.
TEST(HelpCard, ResultCardSaysWhoTookWhoseKingOrOnWhoseTurnItWasForfeited) {
    EXPECT_TRUE(Says(LayOutHelpCard(HELP_CARD_RESULT, 640, 480, {1, 0}),
                     "一之方 (first side) took 二之方's king"));
    EXPECT_TRUE(Says(LayOutHelpCard(HELP_CARD_RESULT, 640, 480, {2, 1}),
                     "二之方 (second side) took 一之方's king"));
    EXPECT_TRUE(Says(LayOutHelpCard(HELP_CARD_RESULT, 640, 480, {3, 0}), "on 一之方's turn"));
    EXPECT_TRUE(Says(LayOutHelpCard(HELP_CARD_RESULT, 640, 480, {3, 1}), "on 二之方's turn"));
}

// The faults caught: the card over the credits drawn at 320x240 and enlarged with the picture
// (its strokes would be two pixels wide and its kanji blobs), or the picture not enlarged at
// all; and the credits' own 320x240 picture not coming back when F1 is let go.
TEST(HelpCard, OverTheCreditsTheCardIsDrawnAtTheWindowsResolution) {
    const fs::path dir = testfiles::FreshDir("help-card-credits");
    fs::create_directory_symlink(fs::path(KELMORAV_BUILD_DIR) / "DATA", dir / "DATA");
    const std::string script = testfiles::WithOut(
        "wait 500\nclick 300 300\nwait 1500\nmove 300 466\nwait 100\nclick 300 466\n"
        "until SCENE_MELT 5000\nuntil SCENE_CREDITS 5000\nwait 8000\n"
        "key F1 down\nwait 300\nshot OUT/held.png\nkey F1 up\nwait 300\nshot OUT/released.png\n",
        dir);
    const testfiles::RunResult run = testfiles::RunGame(dir, script);
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const testfiles::RgbPicture held = testfiles::ReadPng((dir / "held.png").string());
    const testfiles::RgbPicture released = testfiles::ReadPng((dir / "released.png").string());
    ASSERT_EQ(held.width, 640);
    ASSERT_EQ(held.height, 480);
    EXPECT_EQ(released.width, 320);
    EXPECT_EQ(released.height, 240);
    // Outside the card the scene shows in blocks of 2x2 equal pixels; inside, the text has
    // strokes one pixel wide, so many blocks are not even.
    int unevenOutside = 0;
    int unevenInside = 0;
    for (int y = 0; y < 480; y += 2) {
        for (int x = 0; x < 640; x += 2) {
            const long c = held.At(x, y);
            const bool even =
                held.At(x + 1, y) == c && held.At(x, y + 1) == c && held.At(x + 1, y + 1) == c;
            const bool inside = x >= 14 && y >= 14 && x < 640 - 14 && y < 480 - 14;
            if (!even) ++(inside ? unevenInside : unevenOutside);
        }
    }
    EXPECT_EQ(unevenOutside, 0);
    EXPECT_GT(unevenInside, 1000);
}

// A run of the title and a match on the generated data, with F1 held over both or not at all.
testfiles::RunResult TitleAndMatch(const std::string& name, bool held) {
    const fs::path dir = testfiles::FreshDir(name);
    fs::create_directory_symlink(fs::path(KELMORAV_BUILD_DIR) / "DATA", dir / "DATA");
    const std::string down = held ? "key F1 down\n" : "";
    const std::string up = held ? "key F1 up\n" : "";
    return testfiles::RunGame(dir, "wait 500\nclick 300 300\nwait 1000\n" + down + "wait 2000\n" +
                                       up + "click 250 380\nuntil SCENE_MATCH 20000\n" +
                                       "wait 9500\nmove 320 205\nwait 200\nclick 320 205\n" + down +
                                       "wait 3000\n" + up + "wait 500\n");
}

// The fault caught: a frame in which the game changed only what the card covers (the title's
// flames, the pulse of the squares a lifted piece may go to) going unpresented while F1 is
// held, so that the presentations and the trace that counts them differ from a run without it.
TEST(HelpCard, WhatTheCardHidesIsPresentedAsTheGameDrewIt) {
    const testfiles::RunResult plain = TitleAndMatch("help-card-plain", false);
    const testfiles::RunResult held = TitleAndMatch("help-card-held", true);
    ASSERT_EQ(plain.status, 0) << plain.stderrText;
    ASSERT_EQ(held.status, 0) << held.stderrText;
    // Every frame presented without the card is presented with it, at the same time; pressing
    // and letting go of F1 (twice) present once each besides.
    std::multiset<long long> heldTimes;
    for (const nlohmann::json& line : held.With("present"))
        heldTimes.insert(line["t"].get<long long>());
    const std::vector<nlohmann::json> plainPresents = plain.With("present");
    ASSERT_GT(plainPresents.size(), 100u);
    for (const nlohmann::json& line : plainPresents) {
        const auto found = heldTimes.find(line["t"].get<long long>());
        EXPECT_NE(found, heldTimes.end()) << "no presentation at " << line["t"];
        if (found != heldTimes.end()) heldTimes.erase(found);
    }
    EXPECT_LE(heldTimes.size(), 4u);
    // Apart from the presentations, the two runs are line for line the same.
    const auto others = [](const testfiles::RunResult& run) {
        std::vector<nlohmann::json> lines;
        for (const nlohmann::json& line : run.trace) {
            if (!line.contains("present")) lines.push_back(line);
        }
        return lines;
    };
    EXPECT_EQ(others(held), others(plain));
}

}  // namespace
