#include "platform/sdl/renderer_probe.h"

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

constexpr unsigned GL_RENDERER_NAME = 0x1F01;  // GL_RENDERER

void WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

// Tabs and line ends would break the report's one line.
std::string OneField(const char* text) {
    std::string out = text ? text : "";
    for (char& c : out) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return out;
}

// The child: "1<TAB>name<TAB>software flag<TAB>GL renderer" or "0" on one line.
[[noreturn]] void RunChild(int fd) {
    // Libraries that complain on the way (a missing runtime folder, GL driver notes) say
    // nothing the player needs: the game reports the outcome itself.
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
    }
    std::string report = "0\n";
    if (SDL_Init(SDL_INIT_VIDEO) == 0) {
        SDL_Window* window = SDL_CreateWindow("kelmorav", SDL_WINDOWPOS_UNDEFINED,
                                              SDL_WINDOWPOS_UNDEFINED, 64, 64, SDL_WINDOW_HIDDEN);
        SDL_Renderer* renderer =
            window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
        SDL_RendererInfo info{};
        if (renderer != nullptr && SDL_GetRendererInfo(renderer, &info) == 0) {
            std::string gl;
            const std::string name = OneField(info.name);
            if (name.rfind("opengl", 0) == 0) {
                using GetString = const unsigned char* (*)(unsigned);
                auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
                const unsigned char* text = getString ? getString(GL_RENDERER_NAME) : nullptr;
                gl = OneField(reinterpret_cast<const char*>(text));
            }
            report = "1\t" + name + "\t" + ((info.flags & SDL_RENDERER_SOFTWARE) ? "1" : "0") +
                     "\t" + gl + "\n";
        }
    }
    WriteAll(fd, report);
    // No teardown: the process ends here and the system takes back its windows and memory.
    _exit(0);
}

RendererReport ParseReport(const std::string& text) {
    RendererReport report;
    std::vector<std::string> fields;
    size_t start = 0;
    const std::string line = text.substr(0, text.find('\n'));
    while (start <= line.size()) {
        size_t end = line.find('\t', start);
        if (end == std::string::npos) end = line.size();
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    if (fields.size() == 4 && fields[0] == "1") {
        report.created = true;
        report.name = fields[1];
        report.softwareFlag = fields[2] == "1";
        report.glRenderer = fields[3];
    }
    return report;
}

int64_t MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace

void RendererProbe::Start(int timeoutMs) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        RunChild(fds[1]);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return;
    }
    pid_ = pid;
    fd_ = fds[0];
    deadlineMs_ = MonotonicMs() + timeoutMs;
}

std::optional<RendererReport> RendererProbe::Poll() {
    if (fd_ < 0) return RendererReport{};
    for (;;) {
        char buffer[512];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            text_.append(buffer, static_cast<size_t>(n));
            if (text_.find('\n') == std::string::npos) continue;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN && MonotonicMs() < deadlineMs_) {
            return std::nullopt;  // still working
        }
        // A whole line, the end of the pipe, an error or the time is up.
        Abandon();
        return ParseReport(text_);
    }
}

void RendererProbe::Abandon() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (pid_ > 0) {
        // The child ends by itself once it has answered; one that has not is stopped.
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
    }
    pid_ = -1;
}
