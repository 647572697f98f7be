// The loop state's own pieces: the random generator's sequence, which recordings and scripts
// replay by seed alone, and the scene names that scripts wait for.
#include "state/random.h"

#include <gtest/gtest.h>

#include <vector>

#include "state/loop_state.h"

namespace {

struct Sequence {
    uint32_t seed;
    std::vector<int> draws;
    uint32_t stateAfter;
};

class RandomSequence : public ::testing::TestWithParam<Sequence> {};

TEST_P(RandomSequence, IsTheLinearCongruentialOneOfTheSeed) {
    const Sequence& c = GetParam();
    SeedRandom(c.seed);
    std::vector<int> draws;
    for (size_t i = 0; i < c.draws.size(); ++i) draws.push_back(Rand());
    EXPECT_EQ(draws, c.draws);
    EXPECT_EQ(RandomState(), c.stateAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Seeds, RandomSequence,
    ::testing::Values(Sequence{1, {41, 18467, 6334, 26500, 19169}, 3403800452u},
                      Sequence{0, {38, 7719, 21238, 2437, 8855}, 2727824503u},
                      Sequence{123456789, {13259, 26974, 13551, 30354, 18709}, 1226163592u}));

TEST(SceneNames, EveryHandledSceneRoundTripsAndNothingElseHasAName) {
    int named = 0;
    for (int scene = -1; scene <= 130; ++scene) {
        const char* name = SceneName(scene);
        if (name == nullptr) continue;
        ++named;
        EXPECT_EQ(SceneByName(name), scene) << name;
    }
    EXPECT_EQ(named, 10);
    EXPECT_EQ(SceneByName("SCENE_NOWHERE"), -1);
    EXPECT_EQ(SceneByName(""), -1);
}

}  // namespace
