#include "match/match_dump.h"

#include "match/blocking_sequences.h"
#include "match/effects.h"
#include "match/match.h"
#include "match/panels.h"
#include "rules/info_panel.h"
#include "rules/placing_panel.h"
#include "state/loop_state.h"

nlohmann::json DumpMatchState() {
    nlohmann::json j;
    j["MatchState"] = MatchState;
    j["MatchClock"] = MatchClock;
    j["MoverX"] = MoverX;
    j["MoverY"] = MoverY;
    j["MoverStepX"] = MoverStepX;
    j["MoverStepY"] = MoverStepY;
    j["StepFrames"] = StepFrames;
    j["HopOffset"] = HopOffset;
    j["SelectSize"] = SelectSize;
    j["PreviousSize"] = PreviousSize;
    j["PulseLevel"] = PulseLevel;
    j["PulseStep"] = PulseStep;
    nlohmann::json trail = nlohmann::json::array();
    for (const MoverTrailRecord& r : MoverTrail) trail.push_back({r.x, r.y});
    j["MoverTrail"] = trail;
    j["MouseWasUp"] = MouseWasUp;
    j["PulseStamp"] = PulseStamp;
    j["ClockStamp"] = ClockStamp;

    nlohmann::json motes = nlohmann::json::array();
    for (int k = 0; k < POINT_MOTE_COUNT; ++k) {
        const PointMote& m = PointMoteTable[k];
        if (m.delay == 0) continue;
        motes.push_back({{"slot", k},
                         {"x", m.x},
                         {"y", m.y},
                         {"targetX", m.targetX},
                         {"targetY", m.targetY},
                         {"heading", m.heading},
                         {"delay", m.delay},
                         {"side", m.side}});
    }
    j["PointMoteTable"] = motes;
    j["ShatterRadius"] = ShatterRadius;
    j["ShatterPhase"] = ShatterPhase;
    j["ShatterSpeed"] = ShatterSpeed;
    j["BlockWave"] = BlockWave;
    j["LastBlockHalfSize"] = BlockHalfSize[BLOCK_ROWS * BLOCK_COLUMNS - 1];

    j["PlacePanelStep"] = PlacePanelStep;
    j["PlaceChoice"] = PlaceChoice;
    j["PlacePanelSize"] = PlacePanelSize;
    j["PlaceTarget"] = PlaceTarget;
    j["PlaceFlightFrame"] = PlaceFlightFrame;
    j["PlaceFlightDistance"] = PlaceFlightDistance;
    j["PlaceFlightAngle"] = PlaceFlightAngle;
    j["PlaceFlightIcon"] = {PlaceFlightIcon.x, PlaceFlightIcon.y};

    j["InfoTarget"] = InfoTarget;
    j["InfoPiece"] = InfoPiece;
    j["InfoHover"] = InfoHover;
    j["InfoOffset"] = InfoOffset;
    j["OrbitAngle"] = {OrbitAngle[0], OrbitAngle[1], OrbitAngle[2]};
    return j;
}
