#pragma once
// The frame count that a benchmark takes as its first argument.

#include <cerrno>
#include <cstdio>
#include <cstdlib>

constexpr long MAX_BENCH_FRAMES = 100000000;

// The frame count in text, a whole number from 1 to MAX_BENCH_FRAMES written in digits only;
// -1 for anything else (an option, a sign, trailing characters, a number out of range).
inline int ParseBenchFrames(const char* text) {
    if (text == nullptr || *text < '0' || *text > '9') return -1;
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || n < 1 || n > MAX_BENCH_FRAMES) return -1;
    return static_cast<int>(n);
}

// The frames a benchmark runs: fallback without arguments, else its first argument. A first
// argument that is not a frame count, or more than maxArguments arguments, is refused with one
// line and the usage on stderr, and -1.
inline int BenchFrames(int argc, char** argv, int maxArguments, int fallback, const char* usage) {
    if (argc < 2) return fallback;
    const int frames = ParseBenchFrames(argv[1]);
    if (frames < 0) {
        std::fprintf(stderr, "%s: not a frame count: %s\nusage: %s\n", argv[0], argv[1], usage);
        return -1;
    }
    if (argc > 1 + maxArguments) {
        std::fprintf(stderr, "%s: too many arguments\nusage: %s\n", argv[0], usage);
        return -1;
    }
    return frames;
}
