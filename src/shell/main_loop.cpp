#include "shell/main_loop.h"

#include "match/match.h"
#include "platform/core/platform.h"
#include "scenes/credits.h"
#include "scenes/ending.h"
#include "scenes/options_card.h"
#include "scenes/result.h"
#include "scenes/title.h"
#include "shell/quit.h"
#include "shell/settings_file.h"
#include "state/loop_state.h"

namespace {

constexpr uint32_t TICK_MS = 100;

void TraceSceneChange() {
    static int traced = -1000;
    if (Scene != traced) {
        traced = Scene;
        const char* name = SceneName(Scene);
        TraceLine("\"scene\":" + std::to_string(Scene) + ",\"name\":\"" + (name ? name : "none") +
                  "\"");
    }
}

// One line per dispatched frame, at the time the loop stamped it: its number and the scene
// whose handler runs, so that the trace shows the frame cadence on either clock.
void TraceFrame(uint32_t stamp, int scene) {
    static uint32_t frames = 0;
    ++frames;
    if (!TraceActive()) return;
    TraceLineAt(stamp, "\"frame\":{\"n\":" + std::to_string(frames) +
                           ",\"scene\":" + std::to_string(scene) + "}");
}

}  // namespace

void AdvanceTick(LoopClock& clock, uint32_t now) {
    if (now - clock.lastTick > TICK_MS) {
        clock.lastTick = now;
        AnimTick += 1;
        clock.swingSpeed += clock.swingDirection;
        SwingOffset += clock.swingSpeed;
        if (clock.swingSpeed < -3 || clock.swingSpeed > 3)
            clock.swingDirection = -clock.swingDirection;
    }
}

bool FrameDue(const LoopClock& clock, uint32_t now) { return now - clock.lastFrame >= FramePeriod; }

uint32_t NextDeadline(const LoopClock& clock, uint32_t now) {
    const uint32_t sinceFrame = now - clock.lastFrame;
    const uint32_t sinceTick = now - clock.lastTick;
    const uint32_t toFrame = sinceFrame >= FramePeriod ? 0 : FramePeriod - sinceFrame;
    const uint32_t toTick = sinceTick > TICK_MS ? 0 : TICK_MS + 1 - sinceTick;
    return now + (toFrame < toTick ? toFrame : toTick);
}

void DispatchScene(int scene) {
    switch (scene) {
    case SCENE_TITLE_LOAD: TitleLoad(); break;
    case SCENE_TITLE: TitleFrame(); break;
    case SCENE_MATCH_LOAD: MatchLoad(); break;
    case SCENE_MATCH: MatchFrame(); break;
    case SCENE_RESULT: ResultFrame(); break;
    case SCENE_MELT: MeltFrame(); break;
    case SCENE_ENDING_CLOSE: EndingCloseFrame(); break;
    case SCENE_ENDING_FIRE: EndingFireSetup(); break;
    case SCENE_CREDITS: CreditsFrame(); break;
    case SCENE_QUIT: QuitGame(); break;
    default: break;  // no handler: the pass only stamps the frame time
    }
}

namespace {

// F2 opens and closes the options card on the screens that have it; a key held down repeats
// its press, and only the first one counts.
bool OptionsKeyDown = false;

void OptionsKey(bool down) {
    const bool pressed = down && !OptionsKeyDown;
    OptionsKeyDown = down;
    if (!pressed || !OptionsCardAvailable(Scene)) return;
    if (OptionsCardOpen()) {
        CloseOptionsCard();
    } else {
        OpenOptionsCard();
    }
}

// While the options card is open it takes the keys and the buttons' presses; a release still
// reaches the scene, so that a button held as the card opened is not held for ever.
bool CardTakes(const Message& message) {
    if (!OptionsCardOpen()) return false;
    int x = 0;
    int y = 0;
    switch (message.type) {
    case MessageType::KeyDown:
        if (message.wparam == VK_ESCAPE) return false;
        OptionsCardKey(static_cast<int>(message.wparam));
        return true;
    case MessageType::LButtonDown:
    case MessageType::LButtonDblClk:
        CardCursorPos(&x, &y);
        OptionsCardClick(x, y);
        return true;
    case MessageType::RButtonDown:
    case MessageType::RButtonDblClk: return true;
    default: return false;
    }
}

}  // namespace

void WindowProc(const Message& message) {
    if (message.type == MessageType::KeyDown || message.type == MessageType::KeyUp) {
        if (message.wparam == VK_F2) {
            OptionsKey(message.type == MessageType::KeyDown);
            return;
        }
    }
    if (CardTakes(message)) return;
    switch (message.type) {
    case MessageType::KeyDown:
        if (message.wparam == VK_ESCAPE) QuitGame();
        break;
    case MessageType::Close:
        // The desktop's own close request ends the game like Escape does.
        QuitGame();
        break;
    case MessageType::LButtonDown: MouseButtons |= MOUSE_LEFT_HELD; break;
    case MessageType::LButtonUp: MouseButtons &= 0xCF; break;
    case MessageType::LButtonDblClk: MouseButtons |= MOUSE_LEFT_DOUBLE; break;
    case MessageType::RButtonDown: MouseButtons |= MOUSE_RIGHT_HELD; break;
    case MessageType::RButtonUp: MouseButtons &= 0xFC; break;
    case MessageType::RButtonDblClk: MouseButtons |= MOUSE_RIGHT_DOUBLE; break;
    default: break;
    }
}

int RunMainLoop() {
    LoopClock clock;
    TraceSceneChange();
    for (;;) {
        uint32_t now = TimeGetTime();
        AdvanceTick(clock, now);
        Message message;
        if (PeekMessage(&message)) {
            GetMessage(&message);
            if (message.type == MessageType::Quit) return static_cast<int>(message.wparam);
            WindowProc(message);
            TraceSceneChange();
            continue;
        }
        now = TimeGetTime();
        // The card goes with a screen that has none (the ending), and the choices are kept.
        if (OptionsCardOpen() && !OptionsCardAvailable(Scene)) CloseOptionsCard();
        SettingsCheck(now);
        if (!FrameDue(clock, now)) {
            // Sleep until the next tick or frame is due, or input arrives.
            WaitForMessageOrTime(NextDeadline(clock, now));
            continue;
        }
        clock.lastFrame = now;
        TraceFrame(now, Scene);
        FrameStarts();
        DispatchScene(Scene);
        TraceSceneChange();
    }
}
