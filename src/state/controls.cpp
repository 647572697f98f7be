#include "state/controls.h"

namespace {

constexpr unsigned ON_MENUS_AND_MATCH = ON_TITLE | ON_MATCH | ON_RESULT;

using enum ControlDevice;
using enum ControlAction;

constexpr Control CONTROLS[] = {
    // Every screen.
    {"Escape", KEY, PRESS, ON_EVERY_SCREEN, "終了", "quit the game at once"},
    {"F1", KEY, HOLD, ON_EVERY_SCREEN, "説明", "show the keys and words of the screen"},
    {"Alt+Enter", KEY, PRESS, ON_EVERY_SCREEN, "画面", "switch between full screen and a window"},
    {"PrintScreen", KEY, PRESS, ON_EVERY_SCREEN, "保存",
     "save the picture in your pictures folder"},
    // The screens that have the options card.
    {"F2", KEY, PRESS, ON_MENUS_AND_MATCH, "設定", "open or close the options card"},
    // The title.
    {"Left", MOUSE, PRESS, ON_TITLE, "選ぶ",
     "click 開始 to start a match or 終了 to quit; a click in the opening skips it"},
    // The match.
    {"Left", MOUSE, PRESS, ON_MATCH, "動かす",
     "pick up a piece, then click a marked square to move it there"},
    {"Right", MOUSE, PRESS, ON_MATCH, "閉じる", "close the placing panel"},
    {"Z", KEY, PRESS, ON_MATCH, "投了", "forfeit: the match ends at once"},
    {"Q / W", KEY, PRESS, ON_MATCH, "効果音", "sound effects off / on"},
    {"A / S", KEY, PRESS, ON_MATCH, "音楽", "music off / on"},
    {"0-9", KEY, PRESS, ON_MATCH, "色替え", "recolour the side to move"},
    {"M", KEY, HOLD, ON_MATCH, "幕を省く", "skip the opening banner"},
    {"C", KEY, HOLD, ON_MATCH, "早送り", "cut the block wipes short"},
    {"L", KEY, PRESS, ON_MATCH, "駒名", "kind labels on the pieces on / off"},
    {"H", KEY, PRESS, ON_MATCH, "前の手", "the last move's squares marked on / off"},
    {"N", KEY, PRESS, ON_MATCH, "座標", "the board coordinates on / off"},
    {"P", KEY, PRESS, ON_MATCH, "計算機",
     "the computer takes over the side to move, or hands it back"},
    // The result screen.
    {"Click", MOUSE, PRESS, ON_RESULT, "戻る", "any button: back to the title"},
};

constexpr CommandOption OPTIONS[] = {
    {"--window", "", "play in a window instead of full screen"},
    {"--scale", "N", "the window is N times 640x480, N from 1 to 8 (default 2; implies --window)"},
    {"--renderer", "auto|gpu|software",
     "how the picture reaches the screen: auto (default) uses the GPU unless its GL draws "
     "in software (virtual machines, remote desktops), then copies the picture into the "
     "window itself; gpu or software force one way"},
    {"--scaling", "fit|integer",
     "how the picture is scaled to the screen or window: fit (default) as large as its 4:3 "
     "shape allows; integer the largest whole multiple of it that fits, centred on black, so "
     "that every pixel is drawn the same size"},
    {"--data", "DIR",
     "the directory that holds DATA; without it the game looks in $KELMORAV_DATA, the "
     "executable's directory, then ../share/kelmorav beside the executable, and takes the "
     "first that holds DATA"},
    {"--computer", "none|first|second|both",
     "the computer plays that side (first: 一之方, second: 二之方) or both, in which case it "
     "plays demonstration matches from the title on by itself"},
    {"--level", "N", "the computer's strength, N from 1 (a gentle beginner) to 5 (default 3)"},
    {"--lang", "ja|en",
     "the language of the game's words and pictures: ja, Japanese (default), or en, English; "
     "takes effect from the next scene load"},
    {"--seed", "N", "seed of the random generator (default: the time in seconds)"},
    {"--trace", "FILE",
     "write a JSON-lines trace of scenes, frames, presented pictures, palettes, sounds and "
     "music commands (virtual time headless, real ms otherwise)"},
    {"--headless", "", "run without a window or sound device, on a virtual clock"},
    {"--script", "FILE", "headless: the script to run (commands below)"},
    {"--clock-start", "MS", "headless: the virtual clock's first reading (default 1000000)"},
    {"--record", "FILE",
     "record the session (seed, clock, input, the sound device's replies) into FILE, a small "
     "text file to attach to a bug report"},
    {"--replay", "FILE",
     "replay a recording made by this version (implies --headless; the seed, clock and "
     "input come from the recording)"},
    {"--dump-at-end", "FILE", "write the game state as JSON into FILE when the program ends"},
    {"--settings", "FILE",
     "read and keep the remembered settings in FILE instead of the player's own "
     "(~/.config/kelmorav/settings.ini); a headless run uses none without it"},
    {"--sound-check", "", "play every sound effect and the opening of each piece of music"},
    {"--help", "", "print this help (also -h)"},
    {"--version", "", "print the version"},
};

}  // namespace

std::span<const Control> Controls() { return CONTROLS; }

std::span<const CommandOption> CommandOptions() { return OPTIONS; }

std::string ControlLabel(const Control& control) {
    std::string label = control.name;
    if (control.device == ControlDevice::MOUSE) label += " (mouse)";
    if (control.action == ControlAction::HOLD) label += " (held)";
    return label;
}

std::string ControlScreensText(unsigned screens) {
    if ((screens & ON_EVERY_SCREEN) == ON_EVERY_SCREEN) return "everywhere";
    constexpr struct {
        unsigned bit;
        const char* name;
    } NAMES[] = {
        {ON_TITLE, "title"}, {ON_MATCH, "match"}, {ON_RESULT, "result"}, {ON_ENDING, "ending"}};
    std::string text;
    for (const auto& n : NAMES) {
        if ((screens & n.bit) == 0) continue;
        if (!text.empty()) text += ", ";
        text += n.name;
    }
    return text;
}
