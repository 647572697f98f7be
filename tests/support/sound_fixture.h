#pragma once
// A test fixture that runs the audio layer on a clock and a trace of the test's own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/resources.h"
#include "media/sound.h"
#include "platform/audio/voices.h"

class SimulatedAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        AudioHooks hooks;
        hooks.now = [this] { return clock; };
        hooks.trace = [this](const std::string& fields) { trace.push_back(fields); };
        AudioUseSimulation(hooks);
        SoundOn = 0;
        MusicOn = 0;
    }
    void TearDown() override {
        ReleaseAllVoices();
        AudioReset();
        SoundOn = 0;
        MusicOn = 0;
    }
    // Trace lines that contain `part`.
    std::vector<std::string> TraceWith(const std::string& part) const {
        std::vector<std::string> lines;
        for (const std::string& line : trace) {
            if (line.find(part) != std::string::npos) lines.push_back(line);
        }
        return lines;
    }

    uint32_t clock = 0;
    std::vector<std::string> trace;
};
