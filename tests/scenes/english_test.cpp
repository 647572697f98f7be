// The game in English: every text it draws in a session through every scene is free of Japanese
// and the sheets with words are the English ones; a missing English sheet falls back to the
// Japanese one with one line naming it; and a match played in English is the same game as in
// Japanese. The English sheets are stand-ins here (copies of the Japanese ones), so the tests
// hold whether or not the data generator has made the real ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "match/blocking_sequences.h"
#include "media/draw.h"
#include "platform/core/platform.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "shell/state_dump.h"
#include "state/language.h"
#include "state/loop_state.h"
#include "support/headless_runner.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
using testfiles::ReadText;
using testfiles::RunGame;
using testfiles::TempDir;
using testfiles::WithOut;
using testfiles::WriteText;

constexpr const char* SHEETS[] = {"ETC.bmp", "COLOR.bmp", "RANK.bmp", "TITLE.bmp"};

// The game's own data with only the English sheets named: the generated ones, or the Japanese
// sheet as a stand-in where the data has none.
void CopyData(const fs::path& dir, const std::vector<std::string>& englishSheets) {
    fs::copy(fs::path(KELMORAV_BUILD_DIR) / "DATA", dir / "DATA", fs::copy_options::recursive);
    fs::remove(dir / "DATA/.stamp");
    fs::create_directories(dir / "DATA/BMP/EN");
    for (const char* sheet : SHEETS) {
        const bool wanted =
            std::find(englishSheets.begin(), englishSheets.end(), sheet) != englishSheets.end();
        const fs::path english = dir / "DATA/BMP/EN" / sheet;
        if (!wanted) {
            fs::remove(english);
        } else if (!fs::exists(english)) {
            fs::copy_file(dir / "DATA/BMP" / sheet, english);
        }
    }
}

// The first code point of Japanese script in a UTF-8 text (kana, kanji, Japanese punctuation,
// half-width kana), or 0. The ideographic space and full-width Latin letters are not words.
char32_t JapaneseIn(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        char32_t cp = lead;
        size_t length = 1;
        if (lead >= 0xF0) {
            cp = lead & 0x07;
            length = 4;
        } else if (lead >= 0xE0) {
            cp = lead & 0x0F;
            length = 3;
        } else if (lead >= 0xC0) {
            cp = lead & 0x1F;
            length = 2;
        }
        for (size_t i = 1; i < length && at + i < text.size(); ++i) {
            cp = (cp << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
        }
        at += length;
        const bool japanese = (cp >= 0x3001 && cp <= 0x30FF) || (cp >= 0x31F0 && cp <= 0x31FF) ||
                              (cp >= 0x3400 && cp <= 0x9FFF) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                              (cp >= 0xFF66 && cp <= 0xFF9F);
        if (japanese) return cp;
    }
    return 0;
}

// The palettes named in a trace: every picture loaded into a surface installs its own.
std::set<std::string> PaletteNames(const testfiles::RunResult& run) {
    std::set<std::string> names;
    for (const auto& line : run.With("palette")) names.insert(line["palette"].get<std::string>());
    return names;
}

// A session through every scene: the title with both cards and the hot zone's word, a match on
// the capture layout with a promotion prompt, the placing panel open and both cards, the
// forfeit, the result with its card, then the ending through the whole of the credits.
const char* const EVERY_SCENE = R"(wait 1000
key F1 down
wait 200
key F1 up
press F2
wait 200
press F2
wait 9000
move 300 466
wait 300
move 250 380
click 250 380
until SCENE_MATCH 10000
wait 9000
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
wait 5000
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
key F1 down
wait 200
key F1 up
press F2
wait 200
press F2
press Z 200
until SCENE_RESULT 20000
wait 4000
key F1 down
wait 200
key F1 up
click 300 300
until SCENE_TITLE 10000
wait 500
click 300 300
wait 1500
move 300 466
wait 100
click 300 466
until SCENE_CREDITS 5000
wait 20000
key F1 down
wait 200
key F1 up
until SCENE_TITLE 100000
)";

std::FILE* TextLog = nullptr;

// Writes each text once, ended by a record separator (texts hold line breaks).
void LogText(const char* utf8) {
    static std::set<std::string> seen;
    if (TextLog == nullptr || !seen.insert(utf8).second) return;
    std::fputs(utf8, TextLog);
    std::fputc('\x1e', TextLog);
    std::fflush(TextLog);
}

// The session, in this process (a gtest exit test's child), with the drawn texts logged.
void PlayInEnglish(const fs::path& dir) {
    TextLog = std::fopen((dir / "texts.log").c_str(), "w");
    SetDrawnTextHook(LogText);
    PlatformOptions options;
    options.headless = true;
    options.seed = 7;
    options.dataDir = dir.string();
    options.scriptPath = (dir / "script.txt").string();
    options.tracePath = (dir / "trace.jsonl").string();
    GameHooks hooks;
    hooks.scene = [] { return static_cast<int>(Scene); };
    hooks.sceneByName = SceneByName;
    hooks.dumpState = DumpGameState;
    SetGameHooks(hooks);
    if (TextLog == nullptr || !PlatformInit(options)) std::_Exit(10);
    StartUp(7);
    ChosenLanguage = Language::ENGLISH;
    PlatformExit(RunMainLoop());
}

// The fault caught: a word drawn at run time that the table of texts does not hold in English
// (or an English entry still in Japanese), a card that keeps its Japanese in English mode, or a
// scene that loads its Japanese sheet although the English one is there.
TEST(EnglishGame, EveryTextDrawnIsEnglishAndEverySheetTheEnglishOne) {
    for (int i = 0; i < GAME_TEXT_COUNT; ++i) {
        EXPECT_EQ(JapaneseIn(GAME_TEXTS[i].english), 0u) << GAME_TEXTS[i].english;
    }
    TempDir dir("english-every-scene");
    CopyData(dir.Path(), {std::begin(SHEETS), std::end(SHEETS)});
    fs::copy_file(fs::path(KELMORAV_SOURCE_DIR) / "tests/replays/layouts/capture.dat",
                  dir.Path() / "DATA/TXT/SYOGI.dat", fs::copy_options::overwrite_existing);
    WriteText(dir.Path() / "script.txt", EVERY_SCENE);
    EXPECT_EXIT(PlayInEnglish(dir.Path()), ::testing::ExitedWithCode(0), "");

    std::set<std::string> texts;
    const std::string log = ReadText(dir.Path() / "texts.log");
    for (size_t at = 0, end = 0; at < log.size(); at = end + 1) {
        end = log.find('\x1e', at);
        if (end == std::string::npos) end = log.size();
        texts.insert(log.substr(at, end - at));
    }
    for (const std::string& text : texts) {
        EXPECT_EQ(JapaneseIn(text), 0u) << "drawn in English mode: " << text;
    }
    // The session did reach every scene and card: a text of each was drawn.
    for (const char* wanted : {"CREDITS", "Options", "Match\nforfeited", "CLICK TO GO ON", "Staff",
                               "[Planning]\n\nVandrelit", "The End",
                               "Help: the keys of this screen and its words (release F1)",
                               "Pieces: moves, worth in points", "How this match ended"}) {
        EXPECT_EQ(texts.count(wanted), 1u) << "never drawn: " << wanted;
    }

    testfiles::RunResult run;
    std::istringstream lines(ReadText(dir.Path() / "trace.jsonl"));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) run.trace.push_back(nlohmann::json::parse(line));
    }
    const std::set<std::string> palettes = PaletteNames(run);
    for (const char* sheet : SHEETS) {
        EXPECT_EQ(palettes.count(std::string("DATA\\BMP\\EN\\") + sheet), 1u) << sheet;
    }
    // These two are loaded only as sheets, never for their colours alone.
    EXPECT_EQ(palettes.count("DATA\\BMP\\COLOR.bmp"), 0u);
    EXPECT_EQ(palettes.count("DATA\\BMP\\RANK.bmp"), 0u);

    // The closing texts that this session did not reach fit the screen at their height.
    for (int outcome = 1; outcome <= 3; ++outcome) {
        GameLanguage = Language::ENGLISH;
        const OutcomeText text = MatchEndText(outcome);
        GameLanguage = Language::JAPANESE;
        FontSpec font;
        font.height = text.height;
        font.face = TextFace;
        EXPECT_LE(GdiTextWidth(text.text, font), 640) << text.text;
        EXPECT_GE(text.box.top, 0) << text.text;
        EXPECT_EQ(JapaneseIn(text.text), 0u) << text.text;
    }
}

// A visit of the title and a match, forfeited; played twice, it loads every sheet twice.
const char* const ONE_MATCH = R"(wait 500
click 300 300
wait 1000
click 250 380
until SCENE_MATCH 20000
wait 9500
press Z 200
until SCENE_RESULT 20000
)";
const std::string TWO_MATCHES =
    std::string(ONE_MATCH) + "wait 1000\nclick 300 300\nuntil SCENE_TITLE 10000\n" + ONE_MATCH;

// The fault caught: a missing English sheet leaving its surface blank (or ending the game)
// instead of showing the Japanese one, or naming it at every load rather than once.
TEST(EnglishGame, AMissingEnglishSheetShowsTheJapaneseOneNamedOnce) {
    TempDir dir("english-fallback");
    CopyData(dir.Path(), {"COLOR.bmp", "RANK.bmp", "TITLE.bmp"});
    const auto run = RunGame(dir.Path(), TWO_MATCHES, {"--lang", "en"});
    EXPECT_EQ(run.status, 0) << run.stderrText;
    int named = 0;
    std::istringstream lines(run.stderrText);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("DATA/BMP/EN/ETC.bmp") != std::string::npos) {
            ++named;
            EXPECT_NE(line.find("DATA/BMP/ETC.bmp"), std::string::npos) << line;
        } else {
            ADD_FAILURE() << "another line: " << line;
        }
    }
    EXPECT_EQ(named, 1);
    const std::set<std::string> palettes = PaletteNames(run);
    EXPECT_EQ(palettes.count("DATA\\BMP\\ETC.bmp"), 1u);
    EXPECT_EQ(palettes.count("DATA\\BMP\\EN\\ETC.bmp"), 0u);
    EXPECT_EQ(palettes.count("DATA\\BMP\\EN\\RANK.bmp"), 1u);
}

// The fault caught: the language reaching into the game itself (the random draws, the clocks,
// the order of scenes), so that the same input plays another match in English. The flames of
// the title and of the melt draw a random number per hot pixel, so the session goes through the
// ending (the melt of the title's last picture) and on into a second match, whose board and
// colours come from the numbers drawn before it.
TEST(EnglishGame, TheSameMatchInEitherLanguage) {
    TempDir dir("english-same-game");
    CopyData(dir.Path(), {std::begin(SHEETS), std::end(SHEETS)});
    const fs::path screens = fs::path(KELMORAV_SOURCE_DIR) / "scripts/screens";
    const std::string script = ReadText(screens / "match.txt") + ReadText(screens / "ending.txt") +
                               "until SCENE_TITLE 200000\n" + ReadText(screens / "match.txt");
    const auto play = [&](const std::string& name, const std::vector<std::string>& extra) {
        const fs::path out = dir.Path() / name;
        fs::create_directories(out);
        std::vector<std::string> args = {"--dump-at-end", (out / "end.json").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto run = RunGame(dir.Path(), WithOut(script, out), args);
        EXPECT_EQ(run.status, 0) << run.stderrText;
        EXPECT_EQ(run.stderrText, "");
        // Presentations are counted only when the picture changed, and the credits' fire goes
        // black a few frames sooner or later around other words: those lines are left out.
        std::string trace;
        std::istringstream lines(ReadText(dir.Path() / "trace.jsonl"));
        for (std::string line; std::getline(lines, line);) {
            if (line.find("\"present\"") == std::string::npos) trace += line + "\n";
        }
        return std::make_pair(trace, ReadText(out / "end.json"));
    };
    const auto [japaneseTrace, japaneseEnd] = play("ja", {});
    auto [englishTrace, englishEnd] = play("en", {"--lang", "en"});
    EXPECT_FALSE(japaneseEnd.empty());
    EXPECT_EQ(englishEnd, japaneseEnd);
    EXPECT_NE(japaneseTrace.find("SCENE_CREDITS"), std::string::npos);
    // Only the sheets' names differ: each English one stands where its Japanese one did.
    EXPECT_NE(japaneseTrace.find("\"frame\""), std::string::npos);
    int renamed = 0;
    for (size_t at = englishTrace.find("\\\\EN\\\\"); at != std::string::npos;
         at = englishTrace.find("\\\\EN\\\\", at)) {
        englishTrace.erase(at, 4);
        ++renamed;
    }
    EXPECT_GT(renamed, 0);
    EXPECT_EQ(englishTrace, japaneseTrace);
}

}  // namespace
