#pragma once
// The match scene's state as JSON, for the headless backend's state dumps and for tests.

#include <nlohmann/json.hpp>

// Keys: the step machine and its counters ("MatchState", "MatchClock", "MoverX", "MoverY",
// "MoverStepX", "MoverStepY", "StepFrames", "HopOffset", "SelectSize", "PreviousSize",
// "PulseLevel", "PulseStep", "MoverTrail", "MouseWasUp", "PulseStamp", "ClockStamp"), the
// effects ("PointMoteTable": busy slots only, each with its "slot"; "ShatterRadius",
// "ShatterPhase", "ShatterSpeed"), the transition ("BlockWave", "LastBlockHalfSize"), the
// placing panel ("PlacePanelStep", "PlaceChoice", "PlacePanelSize", "PlaceTarget",
// "PlaceFlightFrame", "PlaceFlightDistance", "PlaceFlightAngle", "PlaceFlightIcon"), the info
// panel ("InfoTarget", "InfoPiece", "InfoHover", "InfoOffset") and "OrbitAngle".
nlohmann::json DumpMatchState();
