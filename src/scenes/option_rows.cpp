#include "scenes/option_rows.h"

#include "match/board_aids.h"
#include "match/kind_labels.h"
#include "platform/core/platform.h"
#include "state/computer_setting.h"
#include "state/language.h"

RendererSetting NextRenderer = RendererSetting::AUTO;

namespace {

std::string Volume(int value) { return std::to_string(value); }

// A value's words: the Japanese with the English beside it, or in English the English alone.
std::string Words(const char* japanese, const std::string& english) {
    return InEnglish() ? english : std::string(japanese) + "  " + english;
}

std::string Switch(int value) { return value != 0 ? Words("入", "on") : Words("切", "off"); }

// The screen's values: 0 full screen, 1 to 8 a window of that scale.
int ScreenValue() {
    const ScreenState screen = PlatformScreen();
    return screen.fullScreen ? 0 : screen.scale;
}

void ChooseScreen(int value) {
    if (value == 0) {
        PlatformSetScreen(true, PlatformScreen().scale);
    } else {
        PlatformSetScreen(false, value);
    }
}

std::string ScreenText(int value) {
    if (value == 0) return Words("全画面", "full screen");
    if (InEnglish()) return "window ×" + std::to_string(value);
    return "窓 ×" + std::to_string(value) + "  window";
}

std::string RendererText(int value) {
    switch (static_cast<RendererSetting>(value)) {
    case RendererSetting::GPU: return Words("GPU", "gpu");
    case RendererSetting::SOFTWARE: return Words("ソフト", "software");
    case RendererSetting::AUTO: break;
    }
    return Words("自動", "auto");
}

std::string SidesText(int value) {
    constexpr const char* JAPANESE[] = {"なし", "一之方", "二之方", "両方"};
    constexpr const char* ENGLISH[] = {"none", "first", "second", "both"};
    return Words(JAPANESE[value & 3], ENGLISH[value & 3]);
}

std::string LanguageText(int value) {
    return value == 0 ? Words("日本語", "Japanese") : std::string("English");
}

const OptionRow ROWS[] = {
    {"音楽", "Music volume", "", [] { return VOLUME_STEPS + 1; }, [] { return MusicVolume(); },
     [](int v) { SetSoundVolumes(v, EffectsVolume()); }, Volume, false},
    {"効果音", "Effects volume", "", [] { return VOLUME_STEPS + 1; },
     [] { return EffectsVolume(); }, [](int v) { SetSoundVolumes(MusicVolume(), v); }, Volume,
     false},
    {"駒名", "Kind labels", "", [] { return 2; }, [] { return static_cast<int>(KindLabelsOn); },
     [](int v) { KindLabelsOn = v != 0 ? 1 : 0; }, Switch, true},
    {"前の手", "Last move", "", [] { return 2; }, [] { return static_cast<int>(LastMoveMarkOn); },
     [](int v) { LastMoveMarkOn = v != 0 ? 1 : 0; }, Switch, true},
    {"座標", "Coordinates", "", [] { return 2; }, [] { return static_cast<int>(CoordinatesOn); },
     [](int v) { CoordinatesOn = v != 0 ? 1 : 0; }, Switch, true},
    {"画面", "Screen", "", [] { return SCALE_MAX + 1; }, ScreenValue, ChooseScreen, ScreenText,
     false},
    {"拡大", "Scaling", "", [] { return 2; },
     [] { return PlatformScreen().scaling == Scaling::FIT ? 0 : 1; },
     [](int v) { PlatformSetScaling(v == 0 ? Scaling::FIT : Scaling::INTEGER); },
     [](int v) { return v == 0 ? Words("合わせる", "fit") : Words("整数倍", "integer"); }, true},
    {"描画", "Renderer", "次回起動から  at the next start", [] { return 3; },
     [] { return static_cast<int>(NextRenderer); },
     [](int v) { NextRenderer = static_cast<RendererSetting>(v); }, RendererText, true},
    {"相手", "Computer opponent", "", [] { return 4; }, [] { return ComputerSides & 3; },
     [](int v) { ComputerSides = static_cast<uint8_t>(v & 3); }, SidesText, true},
    {"強さ", "Computer level", "", [] { return COMPUTER_LEVEL_MAX; },
     [] { return ComputerLevel - COMPUTER_LEVEL_MIN; },
     [](int v) { ComputerLevel = v + COMPUTER_LEVEL_MIN; },
     [](int v) { return std::to_string(v + COMPUTER_LEVEL_MIN); }, false},
    {"言語", "Language", "次の場面から  from the next scene", [] { return 2; },
     [] { return static_cast<int>(ChosenLanguage); },
     [](int v) { ChosenLanguage = v == 0 ? Language::JAPANESE : Language::ENGLISH; }, LanguageText,
     true},
};

}  // namespace

std::span<const OptionRow> OptionRows() { return ROWS; }

void StepOptionRow(const OptionRow& row, int delta) {
    const int count = row.count();
    const int now = row.current();
    int next = now + delta;
    if (row.wraps) {
        next = ((next % count) + count) % count;
    } else {
        next = next < 0 ? 0 : (next >= count ? count - 1 : next);
    }
    if (next != now) row.choose(next);
}
