#pragma once
// The result screen's, the ending's and the credits' state as JSON, for the headless backend's
// state dumps and for tests.

#include <nlohmann/json.hpp>

// Keys: "ResultStep", "ResultCounter", "MeltCounter", "CloseCounter", "LowResMode", "FirePen"
// (true while the pen exists), "CreditsIndex", "CreditsCounter", "TraceX", "TraceY",
// "TracePrevX", "TracePrevY" and "DotAngle" (two numbers).
nlohmann::json DumpEndingState();
