// The settings text: what is written reads back the same, a damaged file gives the defaults and
// a reason, a bad value costs only its own key, keys of other versions survive a rewrite, and a
// run's choices are laid over the file without the command line's.
#include "state/settings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Settings Chosen() {
    Settings s;
    s.musicVolume = 3;
    s.effectsVolume = 0;
    s.kindLabels = true;
    s.coordinates = true;
    s.fullScreen = false;
    s.scale = 5;
    s.windowWidth = 1000;
    s.windowHeight = 700;
    s.renderer = RendererSetting::SOFTWARE;
    s.scaling = ScalingSetting::INTEGER;
    s.computerSides = 2;
    s.computerLevel = 4;
    s.language = Language::ENGLISH;
    s.otherLines = {"future_key=1", "another=two words"};
    return s;
}

// The fault caught: a value written in one form and read in another (a switch, the renderer,
// the window's size), or the other version's keys lost on the way.
TEST(SettingsText, WhatIsWrittenReadsBackTheSameAndWritesTheSameFileAgain) {
    for (const Settings& s : {Settings{}, Chosen()}) {
        Settings back;
        const SettingsRead read = ParseSettings(FormatSettings(s), &back);
        EXPECT_TRUE(read.fileProblem.empty()) << read.fileProblem;
        EXPECT_TRUE(read.keyProblems.empty());
        EXPECT_EQ(back, s);
        Settings again;
        ParseSettings(FormatSettings(back), &again);
        EXPECT_EQ(FormatSettings(again), FormatSettings(s));
        Settings fromLine;
        ParseSettingsLine(FormatSettingsLine(s), &fromLine);
        fromLine.otherLines = s.otherLines;
        EXPECT_EQ(fromLine, s) << "the recording's one-line form";
    }
    // A file written by hand: spaces, comments, CRLF line ends and a key of another version.
    const std::string typed =
        "kelmorav-settings 1\r\n# mine\r\n  music = 4 \r\n\r\nfuture_key = a b\r\nlabels=on\r\n";
    Settings read;
    ASSERT_TRUE(ParseSettings(typed, &read).fileProblem.empty());
    EXPECT_EQ(read.musicVolume, 4);
    EXPECT_TRUE(read.kindLabels);
    ASSERT_EQ(read.otherLines.size(), 1u);
    EXPECT_EQ(read.otherLines[0], "future_key=a b");
    Settings reread;
    ParseSettings(FormatSettings(read), &reread);
    EXPECT_EQ(FormatSettings(reread), FormatSettings(read)) << "read, write, read: the same file";
}

struct BadFile {
    const char* name;
    std::string text;
    const char* said;  // a part of the reason given
};

class SettingsBadFile : public ::testing::TestWithParam<BadFile> {};

// The fault caught: a damaged file taken in part (values from half a file, a file of another
// format read as this one) instead of the defaults with a reason.
TEST_P(SettingsBadFile, GivesTheDefaultsAndSaysWhy) {
    Settings out = Chosen();
    const SettingsRead read = ParseSettings(GetParam().text, &out);
    EXPECT_NE(read.fileProblem.find(GetParam().said), std::string::npos) << read.fileProblem;
    EXPECT_EQ(out, Settings{});
    EXPECT_TRUE(read.keyProblems.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsBadFile,
    ::testing::Values(
        BadFile{"empty", "", "empty"},
        BadFile{"no_version_line", "music=3\n", "not a settings file"},
        BadFile{"version_word_only", "kelmorav-settings\nmusic=3\n", "not a settings file"},
        BadFile{"version_not_a_number", "kelmorav-settings one\nmusic=3\n", "no version"},
        BadFile{"other_version", "kelmorav-settings 2\nmusic=3\n", "format 2"},
        BadFile{"nul_byte", std::string("kelmorav-settings 1\nmusic=3\0\n", 30), "not a text"},
        BadFile{"line_without_equals", "kelmorav-settings 1\nmusic=3\nlabels\n", "line 3"},
        BadFile{"empty_key", "kelmorav-settings 1\n=3\n", "no key"},
        BadFile{"long_line", "kelmorav-settings 1\nx=" + std::string(2000, 'a') + "\n", "too long"},
        BadFile{"huge", "kelmorav-settings 1\n" + std::string(70000, '\n'), "too large"}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

struct BadValue {
    const char* line;
    const char* key;
};

class SettingsBadValue : public ::testing::TestWithParam<BadValue> {};

// The fault caught: one bad value throwing away the whole file, or taken as some other value
// (a volume of 11, a scale of 0, a negative window).
TEST_P(SettingsBadValue, CostsOnlyItsOwnKeyWithOneLine) {
    Settings chosen = Chosen();
    chosen.otherLines.clear();
    const std::string text = FormatSettings(chosen) + GetParam().line + "\n";
    Settings out;
    const SettingsRead read = ParseSettings(text, &out);
    ASSERT_TRUE(read.fileProblem.empty()) << read.fileProblem;
    ASSERT_EQ(read.keyProblems.size(), 1u);
    EXPECT_EQ(read.keyProblems[0].rfind(GetParam().key, 0), 0u) << read.keyProblems[0];
    // Only that key is back at its default: written again, every other line is the chosen one.
    Settings expected = chosen;
    const std::string key = GetParam().key;
    const Settings d;
    if (key == "music") expected.musicVolume = d.musicVolume;
    if (key == "effects") expected.effectsVolume = d.effectsVolume;
    if (key == "labels") expected.kindLabels = d.kindLabels;
    if (key == "screen") expected.fullScreen = d.fullScreen;
    if (key == "scale") expected.scale = d.scale;
    if (key == "window_width") expected.windowWidth = d.windowWidth;
    if (key == "renderer") expected.renderer = d.renderer;
    if (key == "scaling") expected.scaling = d.scaling;
    if (key == "lang") expected.language = d.language;
    EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsBadValue,
    ::testing::Values(BadValue{"music=11", "music"}, BadValue{"music=-1", "music"},
                      BadValue{"effects=", "effects"}, BadValue{"effects=5x", "effects"},
                      BadValue{"labels=yes", "labels"}, BadValue{"screen=big", "screen"},
                      BadValue{"scale=0", "scale"}, BadValue{"scale=99999999999", "scale"},
                      BadValue{"window_width=100", "window_width"},
                      BadValue{"window_width=-640", "window_width"},
                      BadValue{"renderer=vulkan", "renderer"}, BadValue{"scaling=half", "scaling"},
                      BadValue{"lang=fr", "lang"}));

// The fault caught: a run's --scale (or anything the run did not change) written over what the
// file holds, or a choice the player made lost because the file held another value.
TEST(SettingsChanges, TakeOnlyWhatTheRunChanged) {
    Settings file = Chosen();
    Settings start = file;
    start.scale = 1;  // the command line's, for this run
    start.fullScreen = false;
    Settings live = start;
    live.musicVolume = 9;
    live.windowWidth = 800;
    live.windowHeight = 600;
    const Settings saved = WithChanges(file, start, live);
    Settings expected = file;
    expected.musicVolume = 9;
    expected.windowWidth = 800;
    expected.windowHeight = 600;
    EXPECT_EQ(saved, expected);
}

}  // namespace
