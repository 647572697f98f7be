#include "shell/help_text.h"

#include <algorithm>
#include <cstddef>

#include "state/controls.h"

namespace {

const char* const USAGE =
    "Usage:\n"
    "  kelmorav [--window] [--scale N] [--renderer auto|gpu|software] [--scaling fit|integer]\n"
    "           [--data DIR] [--seed N] [--trace FILE] [--computer none|first|second|both]\n"
    "           [--level N] [--record FILE] [--dump-at-end FILE] [--settings FILE]\n"
    "      Play. Full screen by default; F2 opens the options card, whose choices are\n"
    "      remembered in ~/.config/kelmorav/settings.ini.\n"
    "  kelmorav --headless --script FILE [--seed N] [--trace FILE] [--data DIR]\n"
    "           [--clock-start MS] [--computer none|first|second|both] [--level N]\n"
    "           [--record FILE] [--dump-at-end FILE] [--settings FILE]\n"
    "      Run a test script without a window or sound device, on a virtual clock.\n"
    "  kelmorav --headless --replay FILE [--data DIR] [--trace FILE] [--dump-at-end FILE]\n"
    "      Play a recorded session again, frame for frame, without a window or sound device.\n"
    "  kelmorav --sound-check [--data DIR]\n"
    "      Play every sound effect and the opening of each piece of music, naming each.\n"
    "  kelmorav --version | --help | -h\n";

const char* const SCRIPTS_AND_STATUS =
    "Script commands (one a line, '#' starts a comment):\n"
    "  wait MS | until SCENE_NAME [MAXMS] | move X Y | down left|right | up left|right\n"
    "  click X Y | dclick X Y | tap X Y | key NAME down|up | press NAME [MS] | tap NAME\n"
    "  shot FILE.png | dump FILE.json | quit\n"
    "  Key names: ESC F1 F2 Z Q W A S M C L H N P 0-9 LEFT RIGHT UP DOWN. Relative files are\n"
    "  taken from the working directory. A shot is 640x480, or 320x240 in the credits and\n"
    "  the closing fire (640x480 there too while F1 holds the help card over them).\n"
    "\n"
    "Exit status: 0 when the game ends normally; 1 when it cannot start (no display, no data\n"
    "directory, unreadable data, a recording that cannot be written); 2 for a bad argument,\n"
    "a script error, or a recording that cannot be replayed (damaged, another version, or\n"
    "the game went another way); 3 when a script's `until` times out. A replay ends with the\n"
    "status of the session it replays.\n";

// The column where the descriptions start, and the width they are wrapped to.
constexpr size_t TEXT_COLUMN = 24;
constexpr size_t LINE_WIDTH = 90;

// Columns a UTF-8 word takes on a terminal: two for each character past the Latin ones
// (the Japanese of the mouse entries), one for the others.
size_t Columns(const std::string& word) {
    size_t columns = 0;
    for (size_t i = 0; i < word.size(); ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        if ((c & 0xC0) == 0x80) continue;
        columns += c >= 0xE0 ? 2 : 1;
    }
    return columns;
}

// One entry: its name at `indent`, its text from TEXT_COLUMN (on the next line when the name
// reaches it), wrapped at the words to LINE_WIDTH and at each '\n'.
void AddEntry(std::string* out, size_t indent, const std::string& name, const std::string& text) {
    std::string line(indent, ' ');
    line += name;
    if (line.size() + 1 >= TEXT_COLUMN) {
        *out += line + "\n";
        line.clear();
    }
    line.resize(TEXT_COLUMN, ' ');
    size_t width = TEXT_COLUMN;
    bool first = true;
    size_t at = 0;
    while (at <= text.size()) {
        const size_t end = std::min(text.find_first_of(" \n", at), text.size());
        const std::string word = text.substr(at, end - at);
        if (!first && width + 1 + Columns(word) > LINE_WIDTH) {
            *out += line + "\n";
            line.assign(TEXT_COLUMN, ' ');
            width = TEXT_COLUMN;
            first = true;
        }
        if (!first) {
            line += ' ';
            ++width;
        }
        line += word;
        width += Columns(word);
        first = false;
        if (end < text.size() && text[end] == '\n') {
            *out += line + "\n";
            line.assign(TEXT_COLUMN, ' ');
            width = TEXT_COLUMN;
            first = true;
        }
        at = end + 1;
    }
    *out += line + "\n";
}

std::string OptionsText() {
    std::string out = "Options:\n";
    for (const CommandOption& option : CommandOptions()) {
        std::string name = option.name;
        if (option.value[0] != 0) name += std::string(" ") + option.value;
        AddEntry(&out, 2, name, option.help);
    }
    return out;
}

// The keys and buttons grouped by the screens they work on, each group where it first comes.
std::string ControlsText() {
    std::string out = "Keys and mouse buttons:\n";
    for (const Control& first : Controls()) {
        bool seen = false;
        for (const Control& earlier : Controls()) {
            if (&earlier == &first) break;
            seen = seen || earlier.screens == first.screens;
        }
        if (seen) continue;
        out += "  " + ControlScreensText(first.screens) + ":\n";
        for (const Control& control : Controls()) {
            if (control.screens == first.screens) {
                AddEntry(&out, 4, ControlLabel(control), control.english);
            }
        }
    }
    return out;
}

}  // namespace

std::string HelpText() {
    return std::string(USAGE) + "\n" + OptionsText() + "\n" + ControlsText() + "\n" +
           SCRIPTS_AND_STATUS;
}
