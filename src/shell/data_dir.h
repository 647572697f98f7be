#pragma once
// Where the game finds its DATA, and where it keeps a blend table it had to build itself.

#include <string>

#include "platform/core/platform.h"

// The data directory in use, and whether a missing palet.dat may be written into it. The data of
// an installed game (../share/kelmorav beside the executable) is never written.
struct DataDirChoice {
    std::string dir;
    bool mayWrite = true;
};
extern DataDirChoice DataDir;

// Looks at option (--data DIR), env ($KELMORAV_DATA), exeDir and exeDir/../share/kelmorav in
// that order, skipping empty ones, and picks the first that holds a DATA folder. A directory
// the player named with --data must be right: one that is missing, unreadable or holds no DATA
// is one line on stderr and false. $KELMORAV_DATA without DATA gets a line and the search goes
// on. False, with one line naming every place looked at, when none holds DATA; false with one
// line when the DATA found lacks one of its four folders. Checked before any window opens.
bool FindDataDir(const std::string& option, const char* env, const std::string& exeDir,
                 DataDirChoice* out);

// "" when dir is a readable directory holding DATA with its four folders (BMP, SOUND, BGM,
// TXT), else the one line that says what is wrong, with the paths as the player typed them.
// Single missing files are left to the loaders.
std::string DataDirectoryProblem(const std::string& dir);

// The folder for files the game builds for itself: $XDG_CACHE_HOME/kelmorav when that is an
// absolute path, else $HOME/.cache/kelmorav; "" when neither variable helps.
std::string CacheDir();

// The blend table file in the cache folder for a palette: "palet-" and a hash of its colours,
// so data of different palettes never share a table. "" when there is no cache folder.
std::string CachedBlendFile(const PaletteEntry (&palette)[256]);
