// The JSON-lines trace: one object a line, each with the clock reading it happened at.
#include "platform/core/trace.h"

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/core/platform.h"

namespace {
std::ofstream TraceFile;
}  // namespace

void TraceOpen(const std::string& path) {
    TraceFile.open(path, std::ios::out | std::ios::trunc);
    if (!TraceFile)
        std::fprintf(stderr, "kelmorav: cannot write the trace file %s\n", path.c_str());
}

void TraceClose() {
    if (TraceFile.is_open()) TraceFile.close();
}

bool TraceActive() { return TraceFile.is_open(); }

void TraceLine(const std::string& fields) {
    if (TraceFile.is_open()) TraceLineAt(TimeGetTime(), fields);
}

void TraceLineAt(uint32_t time, const std::string& fields) {
    if (!TraceFile.is_open()) return;
    TraceFile << "{\"t\":" << time << "," << fields << "}\n";
    TraceFile.flush();
}

std::string JsonString(const std::string& text) {
    // Invalid UTF-8 (a file name from anywhere) is replaced rather than allowed to throw.
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}
