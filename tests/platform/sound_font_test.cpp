// Finding the General MIDI sound font: SDL_SOUNDFONTS wins when it names a real file.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/audio_mixer.h"
#include "support/sound_test_files.h"

using namespace soundtest;

namespace {

class SoundFontSearch : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("SDL_SOUNDFONTS");
        hadOld = old != nullptr;
        if (hadOld) saved = old;
    }
    void TearDown() override {
        if (hadOld) {
            setenv("SDL_SOUNDFONTS", saved.c_str(), 1);
        } else {
            unsetenv("SDL_SOUNDFONTS");
        }
    }
    bool hadOld = false;
    std::string saved;
    TempDir dir{"fonts"};
};

TEST_F(SoundFontSearch, EnvironmentListIsHonouredOnlyWhenItNamesAFile) {
    std::string font = dir.Write("mine.sf2", Bytes(16, 0));
    setenv("SDL_SOUNDFONTS", font.c_str(), 1);
    EXPECT_EQ(FindSoundFont(), font);
    std::string list = "/nonexistent/a.sf2;" + font;
    setenv("SDL_SOUNDFONTS", list.c_str(), 1);
    EXPECT_EQ(FindSoundFont(), list);  // FluidSynth is given the whole list
    setenv("SDL_SOUNDFONTS", "/nonexistent/a.sf2", 1);
    std::string fallback = FindSoundFont();  // the system's fonts, or none
    EXPECT_NE(fallback, "/nonexistent/a.sf2");
    unsetenv("SDL_SOUNDFONTS");
    EXPECT_EQ(FindSoundFont(), fallback);
}

}  // namespace
