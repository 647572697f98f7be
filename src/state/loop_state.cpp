#include "state/loop_state.h"

#include <cstring>

int8_t Scene = SCENE_TITLE_LOAD;
uint32_t FramePeriod = 33;
int32_t AnimTick = 0;
int32_t SwingOffset = 0;
uint8_t MouseButtons = 0;
uint8_t MouseWasUp = 0;
uint8_t ClickLatch = 0;
double SinTable[256];
double CosTable[256];

namespace {
struct SceneNameEntry {
    int number;
    const char* name;
};
constexpr SceneNameEntry SCENE_NAMES[] = {
    {SCENE_TITLE_LOAD, "SCENE_TITLE_LOAD"},
    {SCENE_TITLE, "SCENE_TITLE"},
    {SCENE_MATCH_LOAD, "SCENE_MATCH_LOAD"},
    {SCENE_MATCH, "SCENE_MATCH"},
    {SCENE_RESULT, "SCENE_RESULT"},
    {SCENE_MELT, "SCENE_MELT"},
    {SCENE_ENDING_CLOSE, "SCENE_ENDING_CLOSE"},
    {SCENE_ENDING_FIRE, "SCENE_ENDING_FIRE"},
    {SCENE_CREDITS, "SCENE_CREDITS"},
    {SCENE_QUIT, "SCENE_QUIT"},
};
}  // namespace

const char* SceneName(int scene) {
    for (const auto& e : SCENE_NAMES) {
        if (e.number == scene) return e.name;
    }
    return nullptr;
}

int SceneByName(const char* name) {
    for (const auto& e : SCENE_NAMES) {
        if (std::strcmp(e.name, name) == 0) return e.number;
    }
    return -1;
}
