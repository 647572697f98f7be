#include "shell/data_dir.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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
    struct Candidate {
        std::string dir;
        const char* what;  // named on stderr when it was asked for and holds no DATA
    };
    const std::vector<Candidate> candidates = {{option, "--data"},
                                               {env != nullptr ? env : "", "KELMORAV_DATA"},
                                               {exeDir, nullptr},
                                               {installed, nullptr}};
    std::string looked;
    for (const Candidate& c : candidates) {
        if (c.dir.empty()) continue;
        looked += (looked.empty() ? "" : ", ") + c.dir;
        if (!HoldsData(c.dir)) {
            if (c.what != nullptr) {
                std::fprintf(stderr, "kelmorav: %s %s holds no DATA folder; looking further\n",
                             c.what, c.dir.c_str());
            }
            continue;
        }
        out->dir = fs::path(c.dir).lexically_normal().string();
        out->mayWrite = installed.empty() || !SameDir(c.dir, installed);
        return true;
    }
    std::fprintf(stderr, "kelmorav: no DATA folder in %s\n", looked.c_str());
    return false;
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
