#pragma once
// The one list of the game's keys, mouse buttons and command-line options. The command line's
// --help and the help cards of every screen are drawn from it, and a test holds the manual page
// and the README's controls to it, so that a key described in one place is described the same
// way everywhere. A new key or option is one entry here.

#include <cstdint>
#include <span>
#include <string>

// The screens a control works on, as bits.
enum ControlScreens : unsigned {
    ON_TITLE = 1,
    ON_MATCH = 2,
    ON_RESULT = 4,
    ON_ENDING = 8,  // the melt, the credits and the closing fire
    ON_EVERY_SCREEN = ON_TITLE | ON_MATCH | ON_RESULT | ON_ENDING,
};

// How a control acts: as it is pressed, or only while it is held (the game looks at the key
// while the step it shortens runs, and a key let go before then does nothing).
enum class ControlAction : uint8_t { PRESS, HOLD };

enum class ControlDevice : uint8_t { KEY, MOUSE };

struct Control {
    const char* name;  // as every list writes it: "Z", "Q / W", "0-9", "F1", "Left"
    ControlDevice device;
    ControlAction action;
    unsigned screens;      // ControlScreens bits
    const char* japanese;  // the help card's word for it
    const char* english;   // what it does, in the words every list uses
};

// Every key and button, the keys for every screen first.
std::span<const Control> Controls();

// The name as the lists print it: "M (held)" for a key that acts while held, "Left (mouse)" for
// a button, else the name.
std::string ControlLabel(const Control& control);
// The screens as the lists name them: "everywhere", "match", "title, match, result".
std::string ControlScreensText(unsigned screens);

struct CommandOption {
    const char* name;   // "--scale"
    const char* value;  // "N", "FILE", "auto|gpu|software", or "" for a flag
    const char* help;   // what it does
};

// Every option of the command line, in the order --help lists them.
std::span<const CommandOption> CommandOptions();
