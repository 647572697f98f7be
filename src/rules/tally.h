#pragma once
// Each side's running numbers, the end-of-match test, the final score and its rank.

// Results of CheckMatchEnd (and, for a forfeit, of the match scene).
constexpr int OUTCOME_PLAY_ON = 0;
constexpr int OUTCOME_SIDE0_WON = 1;
constexpr int OUTCOME_SIDE1_WON = 2;
constexpr int OUTCOME_FORFEIT = 3;

constexpr int RANK_COUNT = 15;

// Recomputes both sides' material: the sum of value & 31 over the side's live pieces.
void UpdateMaterial();

// Called after the side to move has completed a move: that side has won when the opponent's first
// slot is empty, whatever kinds stand in either first slot.
int CheckMatchEnd();

// A side's final score from its tallies and the turn count:
// 4 * (25 * (10 * (points - 5) + TurnNumber + material) - clockSeconds), at least 0 and at most
// INT32_MAX however large the tallies are. A side number other than 0 or 1 scores 0.
int MatchScore(int side);

// The rank picture 0..14 earned by a score.
int RankOf(int score);
