#include "platform/sdl/pictures_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// A value as the shell would read it: double quotes removed, backslash escapes resolved.
std::string Unquote(const std::string& value) {
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && i + 1 < value.size()) {
            out += value[++i];
        } else if (!quoted && (c == ' ' || c == '\t' || c == '#')) {
            break;
        } else {
            out += c;
        }
    }
    return out;
}

// "$HOME/x" or "${HOME}/x" under home; absolute paths as they are; anything else is not valid.
std::string ExpandHome(const std::string& value, const std::string& home) {
    for (const char* prefix : {"$HOME", "${HOME}"}) {
        const std::string p = prefix;
        if (value.compare(0, p.size(), p) == 0 &&
            (value.size() == p.size() || value[p.size()] == '/')) {
            return home + value.substr(p.size());
        }
    }
    return !value.empty() && value.front() == '/' ? value : "";
}

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool WritableFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error) && access(path.c_str(), W_OK | X_OK) == 0;
}

bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

}  // namespace

std::string UserDirsFile(const std::string& home, const std::string& configHome) {
    if (!configHome.empty() && configHome.front() == '/') return configHome + "/user-dirs.dirs";
    if (home.empty()) return "";
    return home + "/.config/user-dirs.dirs";
}

std::string PicturesFolder(const PicturesEnvironment& env) {
    if (env.home.empty()) return "";
    const std::string home = StripTrailingSlashes(env.home);
    std::string chosen;
    std::istringstream lines(env.userDirsText);
    for (std::string line; std::getline(lines, line);) {
        line = Trim(line);
        const std::string key = "XDG_PICTURES_DIR=";
        if (line.compare(0, key.size(), key) != 0) continue;
        const std::string path = ExpandHome(Unquote(line.substr(key.size())), home);
        if (!path.empty()) chosen = path;
    }
    return StripTrailingSlashes(chosen.empty() ? home + "/Pictures" : chosen);
}

std::string ScreenshotFolder(const std::string& startDir, const std::string& dataDir) {
    PicturesEnvironment env;
    env.home = Env("HOME");
    env.configHome = Env("XDG_CONFIG_HOME");
    const std::string file = UserDirsFile(env.home, env.configHome);
    if (!file.empty()) {
        std::ifstream in(file);
        std::ostringstream text;
        text << in.rdbuf();
        env.userDirsText = text.str();
    }
    std::string pictures = PicturesFolder(env);
    if (!pictures.empty()) {
        std::error_code error;
        std::filesystem::create_directories(pictures, error);
        if (WritableFolder(pictures) && !SameFolder(pictures, dataDir)) return pictures;
    }
    if (!startDir.empty() && WritableFolder(startDir) && !SameFolder(startDir, dataDir)) {
        return startDir;
    }
    return "";
}
