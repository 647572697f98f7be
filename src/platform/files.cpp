// Game paths ("DATA\BMP\ETC.bmp") to host paths. The game runs with the data directory as its
// working directory, so a game path only needs its backslashes turned into slashes.
#include <string>

#include "platform/platform.h"

std::string HostPath(const char* gamePath) {
    std::string path = gamePath ? gamePath : "";
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

std::FILE* OpenGameFile(const char* gamePath, const char* mode) {
    return std::fopen(HostPath(gamePath).c_str(), mode);
}
