#pragma once
// Runs the built game headless on a script and collects its exit status, trace and stderr.

#include <sys/wait.h>

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

inline RunResult RunGame(const std::filesystem::path& dataDir, const std::string& script,
                         const std::string& extra = "") {
    const auto scriptPath = dataDir / "script.txt";
    WriteText(scriptPath, script);
    const auto tracePath = dataDir / "trace.jsonl";
    const auto errPath = dataDir / "stderr.txt";
    std::filesystem::remove(tracePath);
    const std::string cmd = std::string(KELMORAV_BUILD_DIR) +
                            "/kelmorav --headless --seed 7 --script '" + scriptPath.string() +
                            "' --trace '" + tracePath.string() + "' --data '" + dataDir.string() +
                            "' " + extra + " 2>'" + errPath.string() + "'";
    RunResult r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::istringstream lines(ReadText(tracePath));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) r.trace.push_back(nlohmann::json::parse(line));
    }
    r.stderrText = ReadText(errPath);
    return r;
}

inline nlohmann::json ReadJson(const std::filesystem::path& path) {
    return nlohmann::json::parse(ReadText(path));
}

}  // namespace testfiles
