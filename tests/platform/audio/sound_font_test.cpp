// Finding the General MIDI sound font, and telling a sound font from a file that is not one:
// the player's SDL_SOUNDFONTS is taken alone (its good fonts, never another), the system's
// places in order, and every way of having no usable font is one line that says the game runs
// without music.
#include "platform/audio/sound_font.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "support/sound_test_files.h"

using namespace soundtest;

namespace {

// The smallest file of the shape a SoundFont 2 has: the three lists, the nine preset tables
// of one record each. pdta is the preset list's body after its "pdta" tag.
Bytes PresetTables(const char* leaveOut = "", const char* shortOne = "") {
    static const struct {
        const char* id;
        size_t record;
    } tables[] = {{"phdr", 38}, {"pbag", 4},  {"pmod", 10}, {"pgen", 4}, {"inst", 22},
                  {"ibag", 4},  {"imod", 10}, {"igen", 4},  {"shdr", 46}};
    Bytes body;
    for (const auto& t : tables) {
        if (std::string(t.id) == leaveOut) continue;
        const size_t size = std::string(t.id) == shortOne ? t.record - 1 : t.record;
        const Bytes c = Chunk(t.id, Bytes(size, 0));
        body.insert(body.end(), c.begin(), c.end());
    }
    return body;
}

Bytes List(const char* type, const Bytes& body) {
    Bytes b;
    PutTag(b, type);
    b.insert(b.end(), body.begin(), body.end());
    return Chunk("LIST", b);
}

Bytes Font(const std::vector<Bytes>& lists, const char* form = "sfbk", int64_t declared = -1) {
    Bytes body;
    PutTag(body, form);
    for (const Bytes& l : lists) body.insert(body.end(), l.begin(), l.end());
    Bytes b;
    PutTag(b, "RIFF");
    Put32(b, declared < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(declared));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes GoodFont() {
    return Font({List("INFO", Chunk("ifil", Bytes(4, 0))), List("sdta", Chunk("smpl", Bytes(8, 0))),
                 List("pdta", PresetTables())});
}

struct FontCase {
    const char* name;
    Bytes bytes;
    const char* fault;  // "" for a font; else a part of what is said
};

class SoundFontShape : public ::testing::TestWithParam<FontCase> {};

TEST_P(SoundFontShape, IsToldFromAFileThatIsNotOne) {
    TempDir dir("font-shape");
    const std::string path = dir.Write("f.sf2", GetParam().bytes);
    const std::string fault = SoundFontFault(path);
    if (*GetParam().fault == 0) {
        EXPECT_EQ(fault, "");
    } else {
        EXPECT_NE(fault.find(GetParam().fault), std::string::npos) << fault;
    }
}

std::vector<FontCase> FontCases() {
    const Bytes good = GoodFont();
    Bytes cut = good;
    cut.pop_back();
    Bytes padded = good;
    padded.push_back(0);
    const Bytes info = List("INFO", Chunk("ifil", Bytes(4, 0)));
    const Bytes sdta = List("sdta", Chunk("smpl", Bytes(8, 0)));
    return {
        {"Good", good, ""},
        {"Empty", {}, "not a sound font"},
        {"Text", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '\n'},
         "not a sound font"},
        {"AWaveFile", PcmWave(Samples(64)), "not a sound font"},
        {"Random", Samples(5000, 77), "not a sound font"},
        {"CutByOneByte", cut, "cut short or padded"},
        {"PaddedByOneByte", padded, "cut short or padded"},
        {"SizeNearTwoTo32", Font({info, sdta, List("pdta", PresetTables())}, "sfbk", 0xFFFFFFF0),
         "cut short or padded"},
        {"NoInfo", Font({sdta, List("pdta", PresetTables())}), "INFO list"},
        {"ListsOutOfOrder", Font({info, List("pdta", PresetTables()), sdta}), "sdta list"},
        {"NoPresetData", Font({info, sdta}), "pdta list"},
        {"NoSampleHeaders", Font({info, sdta, List("pdta", PresetTables("shdr"))}), "shdr table"},
        {"HalfAPresetHeader", Font({info, sdta, List("pdta", PresetTables("", "phdr"))}),
         "phdr table holds no whole records"},
        {"ListPastTheEnd", Font({info, sdta, Chunk("LIST", Bytes{'p', 'd', 't', 'a'}, 4000)}),
         "pdta list"},
    };
}

INSTANTIATE_TEST_SUITE_P(Files, SoundFontShape, ::testing::ValuesIn(FontCases()),
                         [](const ::testing::TestParamInfo<FontCase>& info) {
                             return std::string(info.param.name);
                         });

// The search over given places, with the line the player is shown.
struct SearchCase {
    const char* name;
    const char* listed;  // SDL_SOUNDFONTS, with GOOD, BAD and NONE for files of the test
    std::vector<const char*> preferred;
    bool folderHasGood;
    const char* chosen;  // with GOOD and BAD as above
    const char* note;    // a part of the line, "" for none
};

class SoundFontSearch : public ::testing::TestWithParam<SearchCase> {};

std::string Expand(std::string text, const TempDir& dir) {
    for (const char* word : {"GOOD", "BAD", "NONE"}) {
        const std::string path = (dir.Path() / (std::string(word) + ".sf2")).string();
        for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at)) {
            text.replace(at, std::strlen(word), path);
            at += path.size();
        }
    }
    return text;
}

TEST_P(SoundFontSearch, ChoosesAndSaysItInOneLine) {
    const SearchCase& c = GetParam();
    TempDir dir("font-search");
    dir.Write("GOOD.sf2", GoodFont());
    dir.Write("BAD.sf2", Samples(3000, 9));
    TempDir folder("font-search-folder");
    if (c.folderHasGood) folder.Write("zz.sf2", GoodFont());
    folder.Write("notes.txt", Bytes(3, 'x'));
    std::vector<std::string> preferred;
    for (const char* p : c.preferred) preferred.push_back(Expand(p, dir));
    const std::string listed = c.listed ? Expand(c.listed, dir) : "";
    std::string note;
    std::string chosen = ChooseSoundFont(c.listed ? listed.c_str() : nullptr, preferred,
                                         {folder.Path().string()}, &note);
    if (c.folderHasGood && chosen == (folder.Path() / "zz.sf2").string()) chosen = "FOLDER";
    EXPECT_EQ(chosen, Expand(c.chosen, dir));
    if (*c.note == 0) {
        EXPECT_EQ(note, "");
    } else {
        EXPECT_NE(note.find(Expand(c.note, dir)), std::string::npos) << note;
        EXPECT_EQ(note.find('\n'), std::string::npos);
        EXPECT_EQ(note.rfind("kelmorav: ", 0), 0u) << note;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Places, SoundFontSearch,
    ::testing::Values(
        SearchCase{"ListedFont", "GOOD", {}, true, "GOOD", ""},
        SearchCase{"ListedListKeepsItsGoodFonts",
                   "NONE;GOOD",
                   {},
                   true,
                   "GOOD",
                   "SDL_SOUNDFONTS: leaving out NONE: no such file"},
        SearchCase{"ListedNothing",
                   "NONE",
                   {"GOOD"},
                   true,
                   "",
                   "SDL_SOUNDFONTS names no sound font (NONE: no such file); the game runs "
                   "without music"},
        SearchCase{"ListedNotAFont",
                   "BAD",
                   {"GOOD"},
                   true,
                   "",
                   "(BAD: not a sound font); the game runs without music"},
        SearchCase{"ListedEmptyIsUnset", "", {"GOOD"}, false, "GOOD", ""},
        SearchCase{"PreferredFirst", nullptr, {"NONE", "GOOD"}, true, "GOOD", ""},
        SearchCase{"FolderAfterPreferred", nullptr, {"NONE"}, true, "FOLDER", ""},
        SearchCase{"DamagedSystemFontIsPassedOver",
                   nullptr,
                   {"BAD"},
                   true,
                   "FOLDER",
                   "leaving out the sound font BAD (not a sound font)"},
        SearchCase{"OnlyADamagedFont",
                   nullptr,
                   {"BAD"},
                   false,
                   "",
                   "the sound font BAD (not a sound font) is damaged; the game runs without "
                   "music"},
        SearchCase{"NoFontAnywhere",
                   nullptr,
                   {"NONE"},
                   false,
                   "",
                   "no General MIDI sound font found; the game runs without music"}),
    [](const ::testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

}  // namespace
