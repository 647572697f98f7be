#pragma once
// Where PrintScreen saves its pictures: the user's pictures folder as the desktop names it in
// user-dirs.dirs (XDG_PICTURES_DIR), else ~/Pictures; never the game's data directory, which
// may be read-only and is no place for the player's files.

#include <string>

// What the choice depends on: $HOME, $XDG_CONFIG_HOME and the text of the user-dirs file.
struct PicturesEnvironment {
    std::string home;
    std::string configHome;    // "" when unset
    std::string userDirsText;  // "" when the file is missing
};

// The user-dirs file to read: $XDG_CONFIG_HOME/user-dirs.dirs when that is an absolute path,
// else ~/.config/user-dirs.dirs ("" without a home).
std::string UserDirsFile(const std::string& home, const std::string& configHome);

// The pictures folder: the last XDG_PICTURES_DIR assignment of the file ("$HOME/..." or an
// absolute path, quoted as the desktop writes it), else home/Pictures; "" without a home.
std::string PicturesFolder(const PicturesEnvironment& env);

// The folder for a new picture on this machine: the pictures folder (created when missing) when
// it can be written, else startDir unless it is the data directory. "" when neither will do.
std::string ScreenshotFolder(const std::string& startDir, const std::string& dataDir);
