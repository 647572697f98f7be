#pragma once
// The invariants of the game state that every correct run keeps, checked on the state dumps
// (the JSON of `dump FILE.json`) taken during a soak. Ranges and relations come from the rules
// and scene code and from the stock DATA the soak plays with (its opening layout and costs).

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// Checks dumps one after another: some invariants relate a dump to the ones before it in the
// same run (the clock never runs back, a match's turn count and clocks never go down, the
// points and material of a match never exceed what its opening put on the board).
class SoakChecker {
public:
    // What the dump breaks, one line each; empty when it keeps every invariant.
    std::vector<std::string> Check(const nlohmann::json& dump);

private:
    // The invariants that relate a dump to the ones before it, and what is kept of each.
    void CheckWorth(long long worth, int scene, std::vector<std::string>* broken);
    void CheckProgress(const nlohmann::json& dump, int scene, int turn,
                       std::vector<std::string>* broken) const;
    void Remember(const nlohmann::json& dump, long long time, int scene, int turn);

    bool havePrevious_ = false;
    long long previousTime_ = 0;
    int previousScene_ = 0;
    int previousTurn_ = 0;
    long long previousClock_[2] = {0, 0};
    // The worth on the board when the current match was first seen; -1 before any match.
    long long matchWorth_ = -1;
};

// Scene numbers the game has handlers for, and their names.
bool KnownScene(int scene, const char** name);
