// Game paths ("DATA\BMP\ETC.bmp") to host paths. The game runs with the data directory as its
// working directory, so a game path only needs its backslashes turned into slashes.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <set>
#include <string>
#include <vector>

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

namespace {

constexpr const char* PART_SUFFIX = ".part";

// Digits only, without a leading zero (as std::to_string writes a count), into *value.
bool ParseCount(const std::string& text, unsigned long long limit, unsigned long long* value) {
    if (text.empty() || text.size() > 20 || (text.size() > 1 && text[0] == '0')) return false;
    unsigned long long v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        if (v > (limit - static_cast<unsigned>(c - '0')) / 10) return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    *value = v;
    return true;
}

// The process id of a temporary that WriteFileWhole names "NAME.PID-N.part", NAME being the
// file it writes, when entry has that form and NAME passes nameFits; 0 otherwise.
template <typename NameFits>
pid_t PartWriter(const std::string& entry, NameFits nameFits) {
    const size_t suffixLength = std::char_traits<char>::length(PART_SUFFIX);
    if (entry.size() <= suffixLength ||
        entry.compare(entry.size() - suffixLength, suffixLength, PART_SUFFIX) != 0) {
        return 0;
    }
    const std::string stem = entry.substr(0, entry.size() - suffixLength);
    const size_t dash = stem.rfind('-');
    const size_t dot = dash == std::string::npos ? std::string::npos : stem.rfind('.', dash);
    if (dot == std::string::npos || dot == 0) return 0;
    unsigned long long pid = 0;
    unsigned long long serial = 0;
    if (!ParseCount(stem.substr(dot + 1, dash - dot - 1), INT32_MAX, &pid) || pid == 0 ||
        !ParseCount(stem.substr(dash + 1), UINT32_MAX, &serial) || !nameFits(stem.substr(0, dot))) {
        return 0;
    }
    return static_cast<pid_t>(pid);
}

// True when the process may still be running: it answers a null signal, or it exists but
// belongs to someone else. Only "no such process" counts as gone.
bool ProcessMayRun(pid_t pid) { return ::kill(pid, 0) == 0 || errno != ESRCH; }

// Removes dir/entry when it is a regular file of ours that no writer holds locked: a live
// WriteFileWhole keeps its temporary locked until it is renamed into place or removed.
bool RemoveUnlockedFile(const std::string& dir, const std::string& entry) {
    const std::string path = dir + "/" + entry;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool removed = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        removed = ::unlink(path.c_str()) == 0;
    }
    ::close(fd);  // drops the lock
    return removed;
}

// Removes from dir every temporary of WriteFileWhole whose NAME passes nameFits and whose
// process no longer runs.
template <typename NameFits>
int RemoveStaleParts(const std::string& dir, NameFits nameFits) {
    const int savedErrno = errno;
    DIR* listing = ::opendir(dir.empty() ? "." : dir.c_str());
    if (listing == nullptr) {
        errno = savedErrno;
        return 0;
    }
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(listing)) {
        const std::string entry = e->d_name;
        const pid_t pid = PartWriter(entry, nameFits);
        if (pid != 0 && pid != ::getpid() && !ProcessMayRun(pid)) stale.push_back(entry);
    }
    ::closedir(listing);
    int removed = 0;
    for (const std::string& entry : stale) {
        removed += RemoveUnlockedFile(dir.empty() ? "." : dir, entry) ? 1 : 0;
    }
    errno = savedErrno;
    return removed;
}

// The folder and the file name of a host path.
void SplitPath(const std::string& hostPath, std::string* dir, std::string* name) {
    const size_t slash = hostPath.rfind('/');
    *dir = slash == std::string::npos ? "." : slash == 0 ? "/" : hostPath.substr(0, slash);
    *name = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

}  // namespace

int RemoveStalePartsOf(const std::string& hostPath) {
    std::string dir;
    std::string name;
    SplitPath(hostPath, &dir, &name);
    if (name.empty()) return 0;
    return RemoveStaleParts(dir, [&name](const std::string& n) { return n == name; });
}

int RemoveStalePartsIn(const std::string& dir, const std::string& namePrefix) {
    if (dir.empty() || namePrefix.empty()) return 0;
    return RemoveStaleParts(
        dir, [&namePrefix](const std::string& n) { return n.rfind(namePrefix, 0) == 0; });
}

bool WriteFileWhole(const std::string& hostPath, const std::function<bool(std::FILE*)>& write) {
    // What a writer of this file that was killed left behind goes first.
    RemoveStalePartsOf(hostPath);
    // The new file is named after this process and a count, beside the old one: the rename never
    // crosses a file system, and another program writing the same file uses another name. It is
    // locked until it is renamed or removed, which tells a live temporary from a stale one.
    static unsigned serial = 0;
    std::FILE* file = nullptr;
    std::string part;
    for (int attempt = 0; attempt < 100 && file == nullptr; ++attempt) {
        part = hostPath + "." + std::to_string(::getpid()) + "-" + std::to_string(serial++) +
               PART_SUFFIX;
        const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX | LOCK_NB);  // a file system without locks goes unlocked
            file = ::fdopen(fd, "wb");
            if (file == nullptr) {
                ::unlink(part.c_str());
                ::close(fd);
                return false;
            }
        } else if (errno != EEXIST) {
            return false;
        }
    }
    if (file == nullptr) return false;
    // A second descriptor keeps the temporary locked once the stream is closed, until it has
    // been renamed into place or removed.
    const int lock = ::fcntl(::fileno(file), F_DUPFD_CLOEXEC, 0);
    errno = 0;
    bool whole = write(file);
    whole = std::fflush(file) == 0 && whole;
    whole = std::fclose(file) == 0 && whole;
    const bool placed = whole && std::rename(part.c_str(), hostPath.c_str()) == 0;
    const int error = placed ? 0 : errno != 0 ? errno : EIO;
    if (!placed) ::unlink(part.c_str());
    if (lock >= 0) ::close(lock);
    if (placed) return true;
    errno = error;
    return false;
}
