#pragma once
// Runs the built game headless on a script and collects its exit status, trace and stderr.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace testfiles {

struct RunResult {
    int status = -1;
    std::vector<nlohmann::json> trace;
    std::string stderrText;

    // Trace lines that carry the given key.
    std::vector<nlohmann::json> With(const char* key) const {
        std::vector<nlohmann::json> out;
        for (const auto& j : trace) {
            if (j.contains(key)) out.push_back(j);
        }
        return out;
    }

    // The music commands sent at or after virtual time `from`, in order.
    std::vector<std::string> MciFrom(long long from = 0) const {
        std::vector<std::string> out;
        for (const auto& j : With("mci")) {
            if (j["t"].get<long long>() >= from) out.push_back(j["mci"]);
        }
        return out;
    }
};

// Starts a program with an argument list (no shell between, so no path needs quoting) and its
// stderr in errPath; returns its process id, or -1 when it could not start.
inline pid_t SpawnProgram(const std::vector<std::string>& args,
                          const std::filesystem::path& errPath) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

// The exit status of a spawned program, or -1 when it did not exit.
inline int WaitForProgram(pid_t pid) {
    if (pid < 0) return -1;
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Runs a program to its end (see SpawnProgram); its exit status, or -1.
inline int RunProgram(const std::vector<std::string>& args, const std::filesystem::path& errPath) {
    return WaitForProgram(SpawnProgram(args, errPath));
}

// Runs the game headless with seed 7 on a script written into dataDir, which also holds the
// data, the trace and the captured stderr. extra holds further arguments.
inline RunResult RunGame(const std::filesystem::path& dataDir, const std::string& script,
                         const std::vector<std::string>& extra = {}) {
    const auto scriptPath = dataDir / "script.txt";
    WriteText(scriptPath, script);
    const auto tracePath = dataDir / "trace.jsonl";
    const auto errPath = dataDir / "stderr.txt";
    std::filesystem::remove(tracePath);
    std::vector<std::string> args = {std::string(KELMORAV_BUILD_DIR) + "/kelmorav",
                                     "--headless",
                                     "--seed",
                                     "7",
                                     "--script",
                                     scriptPath.string(),
                                     "--trace",
                                     tracePath.string(),
                                     "--data",
                                     dataDir.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    RunResult r;
    r.status = RunProgram(args, errPath);
    std::istringstream lines(ReadText(tracePath));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) r.trace.push_back(nlohmann::json::parse(line));
    }
    r.stderrText = ReadText(errPath);
    return r;
}

// The script with every OUT/ turned into the run's own directory.
inline std::string WithOut(std::string script, const std::filesystem::path& dir) {
    const std::string out = dir.string() + "/";
    for (size_t at = script.find("OUT/"); at != std::string::npos; at = script.find("OUT/", at)) {
        script.replace(at, 4, out);
        at += out.size();
    }
    return script;
}

inline nlohmann::json ReadJson(const std::filesystem::path& path) {
    return nlohmann::json::parse(ReadText(path));
}

}  // namespace testfiles
