#pragma once
// The trace's file and its lines, for the platform's own files (TraceLine and its kin, for
// everyone, are in platform.h).

#include <string>

// Starts the trace in a new file at path; one line on stderr when it cannot be written (the
// run goes on without a trace).
void TraceOpen(const std::string& path);
// Ends the trace: the last line has been written.
void TraceClose();

// A string as a JSON string literal (quoted and escaped), for trace lines.
std::string JsonString(const std::string& text);
