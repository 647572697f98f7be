#pragma once
// Where the game finds its DATA, and where it keeps a blend table it had to build itself.

#include <string>

#include "platform/platform.h"

// The data directory in use, and whether a missing palet.dat may be written into it. The data of
// an installed game (../share/kelmorav beside the executable) is never written.
struct DataDirChoice {
    std::string dir;
    bool mayWrite = true;
};
extern DataDirChoice DataDir;

// Looks at option (--data DIR), env ($KELMORAV_DATA), exeDir and exeDir/../share/kelmorav in
// that order, skipping empty ones, and picks the first that holds a DATA folder. A directory
// named by the option or the variable that holds no DATA gets a line on stderr and the search
// goes on. False, with one line on stderr naming every place looked at, when none holds DATA.
bool FindDataDir(const std::string& option, const char* env, const std::string& exeDir,
                 DataDirChoice* out);

// The folder for files the game builds for itself: $XDG_CACHE_HOME/kelmorav when that is an
// absolute path, else $HOME/.cache/kelmorav; "" when neither variable helps.
std::string CacheDir();

// The blend table file in the cache folder for a palette: "palet-" and a hash of its colours,
// so data of different palettes never share a table. "" when there is no cache folder.
std::string CachedBlendFile(const PaletteEntry (&palette)[256]);
