// JSON view of the front-end scenes' globals after the title.
#include "scenes/scenes_dump.h"

#include "media/resources.h"
#include "scenes/credits.h"
#include "scenes/ending.h"
#include "scenes/result.h"

nlohmann::json DumpEndingState() {
    return {
        {"ResultStep", ResultStep},
        {"ResultCounter", ResultCounter},
        {"MeltCounter", MeltCounter},
        {"CloseCounter", CloseCounter},
        {"LowResMode", LowResMode},
        {"FirePen", FirePen != nullptr},
        {"CreditsIndex", CreditsIndex},
        {"CreditsCounter", CreditsCounter},
        {"TraceX", TraceX},
        {"TraceY", TraceY},
        {"TracePrevX", TracePrevX},
        {"TracePrevY", TracePrevY},
        {"DotAngle", {DotAngle[0], DotAngle[1]}},
    };
}
