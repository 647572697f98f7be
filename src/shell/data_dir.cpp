#include "shell/data_dir.h"

#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

DataDirChoice DataDir;

namespace {

namespace fs = std::filesystem;

bool HoldsData(const std::string& dir) {
    std::error_code ec;
    return !dir.empty() && fs::is_directory(fs::path(dir) / "DATA", ec);
}

// Two names of the same directory (a symbolic link, a trailing "/..") compare equal.
bool SameDir(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

}  // namespace

bool FindDataDir(const std::string& option, const char* env, const std::string& exeDir,
                 DataDirChoice* out) {
    const std::string installed = exeDir.empty() ? "" : exeDir + "/../share/kelmorav";
    std::string chosen;
    if (!option.empty()) {
        // The player named the directory: a wrong one is an error, never a silent fallback.
        if (const std::string problem = DataDirectoryProblem(option); !problem.empty()) {
            std::fprintf(stderr, "kelmorav: %s\n", problem.c_str());
            return false;
        }
        chosen = option;
    }
    std::string looked;
    for (const std::string& dir : {std::string(env != nullptr ? env : ""), exeDir, installed}) {
        if (!chosen.empty()) break;
        if (dir.empty()) continue;
        looked += (looked.empty() ? "" : ", ") + dir;
        if (HoldsData(dir)) {
            chosen = dir;
        } else if (env != nullptr && dir == env) {
            std::fprintf(stderr,
                         "kelmorav: KELMORAV_DATA %s holds no DATA folder; looking further\n",
                         dir.c_str());
        }
    }
    if (chosen.empty()) {
        std::fprintf(stderr, "kelmorav: no DATA folder in %s\n", looked.c_str());
        return false;
    }
    if (const std::string problem = DataDirectoryProblem(chosen); !problem.empty()) {
        std::fprintf(stderr, "kelmorav: %s\n", problem.c_str());
        return false;
    }
    out->dir = fs::path(chosen).lexically_normal().string();
    out->mayWrite = installed.empty() || !SameDir(chosen, installed);
    return true;
}

std::string DataDirectoryProblem(const std::string& dir) {
    namespace fs = std::filesystem;
    std::string shown = dir;
    while (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    std::error_code error;
    const fs::file_status status = fs::status(dir, error);
    if (!fs::exists(status)) return "the data directory " + shown + " does not exist";
    if (!fs::is_directory(status)) return "the data directory " + shown + " is not a directory";
    if (access(dir.c_str(), R_OK | X_OK) != 0) {
        return "the data directory " + shown + " cannot be read (" + std::strerror(errno) + ")";
    }
    const std::string data = (shown == "/" ? "" : shown) + "/DATA";
    if (!fs::is_directory(data, error)) {
        return shown + " holds no DATA folder (the game's pictures, sounds, music and texts)";
    }
    std::vector<std::string> missing;
    for (const char* folder : {"BMP", "SOUND", "BGM", "TXT"}) {
        if (!fs::is_directory(data + "/" + folder, error)) missing.push_back(folder);
    }
    if (missing.empty()) return "";
    std::string list;
    for (size_t i = 0; i < missing.size(); ++i) {
        if (i > 0) list += i + 1 == missing.size() ? " and " : ", ";
        list += missing[i];
    }
    return data + " lacks the folder" + (missing.size() > 1 ? "s " : " ") + list;
}

std::string CacheDir() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/kelmorav";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != 0) return std::string(home) + "/.cache/kelmorav";
    return "";
}

std::string CachedBlendFile(const PaletteEntry (&palette)[256]) {
    const std::string dir = CacheDir();
    if (dir.empty()) return "";
    uint64_t hash = 0xcbf29ce484222325ull;  // 64-bit FNV-1a over the red, green, blue bytes
    for (const PaletteEntry& p : palette) {
        for (const uint8_t byte : {p.red, p.green, p.blue}) {
            hash = (hash ^ byte) * 0x100000001b3ull;
        }
    }
    char name[32];
    std::snprintf(name, sizeof name, "palet-%016" PRIx64 ".dat", hash);
    return dir + "/" + name;
}
