// Game paths ("DATA\BMP\ETC.bmp") to host paths. The game runs with the data directory as its
// working directory, so a game path only needs its backslashes turned into slashes.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <string>

#include "platform/core/platform.h"

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

namespace {

std::set<std::string>& NamedFiles() {
    static std::set<std::string> named;  // host paths already said
    return named;
}

}  // namespace

void ReportFatalFileProblem(const char* gamePath, const std::string& what) {
    NamedFiles().insert(HostPath(gamePath));
    std::fprintf(stderr, "kelmorav: %s: %s\n", UserPath(gamePath).c_str(), what.c_str());
}

bool ReportFileProblem(const char* gamePath, const std::string& what) {
    if (NamedFiles().count(HostPath(gamePath)) != 0) return false;
    ReportFatalFileProblem(gamePath, what);
    return true;
}

void ForgetFileProblems() { NamedFiles().clear(); }

bool WriteFileWhole(const std::string& hostPath, const std::function<bool(std::FILE*)>& write) {
    // The new file is named after this process and a count, beside the old one: the rename never
    // crosses a file system, and another program writing the same file uses another name.
    static unsigned serial = 0;
    std::FILE* file = nullptr;
    std::string part;
    for (int attempt = 0; attempt < 100 && file == nullptr; ++attempt) {
        part =
            hostPath + "." + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".part";
        const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            file = ::fdopen(fd, "wb");
            if (file == nullptr) {
                ::close(fd);
                ::unlink(part.c_str());
                return false;
            }
        } else if (errno != EEXIST) {
            return false;
        }
    }
    if (file == nullptr) return false;
    errno = 0;
    bool whole = write(file);
    whole = std::fflush(file) == 0 && whole;
    whole = std::fclose(file) == 0 && whole;
    if (whole && std::rename(part.c_str(), hostPath.c_str()) == 0) return true;
    const int error = errno != 0 ? errno : EIO;
    ::unlink(part.c_str());
    errno = error;
    return false;
}
