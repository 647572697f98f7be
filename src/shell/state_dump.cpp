#include "shell/state_dump.h"

#include <nlohmann/json.hpp>

#include "match/match_dump.h"
#include "media/palette.h"
#include "media/resources.h"
#include "platform/core/platform.h"
#include "rules/rules_dump.h"
#include "scenes/scenes_dump.h"
#include "scenes/title.h"
#include "state/loop_state.h"
#include "state/random.h"

std::string DumpGameState() {
    nlohmann::json j;
    j["time"] = TimeGetTime();
    j["Scene"] = Scene;
    const char* name = SceneName(Scene);
    j["SceneName"] = name ? name : "";
    j["FramePeriod"] = FramePeriod;
    j["AnimTick"] = AnimTick;
    j["SwingOffset"] = SwingOffset;
    j["MouseButtons"] = MouseButtons;
    int px = 0;
    int py = 0;
    GetCursorPos(&px, &py);
    j["Pointer"] = {px, py};
    j["FadeStep"] = FadeStep;
    j["SoundOn"] = SoundOn;
    j["MusicOn"] = MusicOn;
    j["LowResMode"] = LowResMode;
    j["RandomState"] = RandomState();
    nlohmann::json palette = nlohmann::json::array();
    for (const PaletteEntry& e : ScreenPalette)
        palette.push_back({e.red, e.green, e.blue, e.flags});
    j["ScreenPalette"] = palette;
    j["Surfaces"] = {
        {"FrontSurface", FrontSurface != nullptr}, {"BackBuffer", BackBuffer != nullptr},
        {"EtcSheet", EtcSheet != nullptr},         {"SaveSurface", SaveSurface != nullptr},
        {"SideSheet0", SideSheet[0] != nullptr},   {"SideSheet1", SideSheet[1] != nullptr},
        {"RankSheet", RankSheet != nullptr},       {"DimSurface", DimSurface != nullptr},
        {"TitleArt", TitleArt != nullptr},         {"TitleWork", TitleWork != nullptr},
        {"FireCanvas", FireCanvas != nullptr},
    };
    j["TitleStep"] = TitleStep;
    j["TitleCounter"] = TitleCounter;
    j["MenuChoice"] = MenuChoice;
    j["ClickLatch"] = ClickLatch;
    if (FrontSurface) j["Display"] = {FrontSurface->width, FrontSurface->height};
    j.update(DumpRulesState());
    j.update(DumpMatchState());
    j.update(DumpEndingState());
    return j.dump();
}
