#pragma once
// The settings file on disk: where it lives, reading it at start (a damaged file is put aside
// as settings.ini.bad and the defaults taken, with one line saying why), and keeping it up to
// date while the game runs: written whole, at most once a second after a choice changed, and at
// exit. The command line's choices count for their run only and are never written.

#include <cstdint>
#include <string>

#include "state/settings.h"

// $XDG_CONFIG_HOME/kelmorav/settings.ini, else ~/.config/kelmorav/settings.ini; "" when neither
// variable names a folder.
std::string DefaultSettingsPath(const char* xdgConfigHome, const char* home);

// The settings in path: the defaults, silently, when there is no file; the defaults, one line
// on stderr naming the file and what is wrong, and the file renamed to PATH.bad when it cannot
// be read or is not a settings file; a key with a bad value takes its default, with one line.
Settings LoadSettingsFile(const std::string& path);
// Writes the settings whole into path (its folder made if missing). False when it cannot.
bool SaveSettingsFile(const std::string& path, const Settings& settings);

// From here on the game keeps path up to date: `file` is what was read from it, `start` what the
// run began with (the file with the command line's choices laid over it).
void KeepSettings(const std::string& path, const Settings& file, const Settings& start);
// Called by the main loop: writes the file when a choice changed, at most once a second on the
// game's clock.
void SettingsCheck(uint32_t now);
// Writes what changed and has not been written yet (at exit).
void SettingsFlush();

// The choices as the game holds them now (the volumes, the aids, the screen, the renderer for
// the next start), on top of base for what the game does not hold.
Settings LiveSettings(const Settings& base);
// Puts the choices of settings into the game: volumes, aids, the renderer for the next start, the
// language for the next scene.
void ApplySettings(const Settings& settings);
