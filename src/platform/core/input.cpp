// Input and the clock, shared by every backend: the message queue, the key state, the pointer
// position, the gathers of input that the waits and polls make, and the clock the game reads
// between them.
#include "platform/core/input.h"

#include <deque>

#include "platform/core/backend.h"
#include "platform/core/lifecycle.h"
#include "platform/core/recorder.h"

namespace {

// A queued message, and whether it has had to wait for a frame (the release of a press no frame
// has seen yet).
struct Queued {
    Message message;
    bool heldForFrame = false;
};

std::deque<Queued> Queue;
bool KeyDownState[256] = {};
int PointerX = 0;
int PointerY = 0;
GameHooks Hooks;
bool QuitPosted = false;
// A card over the picture holds the scene's input; the pointer the scene sees meanwhile.
bool SceneHeld = false;
int HeldX = 0;
int HeldY = 0;

// Input is gathered in the backends' polls and waits; the recorder is told what each top-level
// one brought. While a recording is made, the clock the game reads moves only when a wait ends
// (inside a gather it reads on), so a replay knows every reading from the waits' deadlines.
// Once the program is leaving, no more input is gathered.
int GatherDepth = 0;
bool ClockLatched = false;
uint32_t LatchedClock = 0;
bool Leaving = false;

// Presses shorter than a frame. The game looks at the buttons and keys once a frame, so a press
// that comes and goes between two frames would never be seen. Once the main loop says where its
// frames begin (FrameStarts), such a press is stretched to be seen by one frame:
//  - a button's release waits in the queue while a press of that button has been taken from it
//    since the last frame began, so the next frame sees the button held and the release takes
//    effect before the frame after; a press of the button that comes behind such a release
//    waits for a frame in turn, so a second quick click is a click of its own;
//  - a key released before any frame began with it down or any read saw it down keeps reading
//    down until the next frame has run with it.
// Presses that some frame or read has seen end as they arrive, exactly as before. Without a
// loop that notes its frames every message is delivered in order as it comes.
enum { LEFT_BUTTON, RIGHT_BUTTON, NO_BUTTON };
bool FramesNoted = false;
bool PressTaken[2] = {};        // a press of the button was taken since the frame began
bool HeldReleaseTaken[2] = {};  // a release that waited for a frame was taken since then
bool KeyUnseen[256] = {};       // down, and neither a frame nor a read has seen it yet
bool KeyTapped[256] = {};       // released while unseen: reads down until a frame has seen it

int ButtonOf(MessageType type) {
    switch (type) {
    case MessageType::LButtonDown:
    case MessageType::LButtonDblClk:
    case MessageType::LButtonUp: return LEFT_BUTTON;
    case MessageType::RButtonDown:
    case MessageType::RButtonDblClk:
    case MessageType::RButtonUp: return RIGHT_BUTTON;
    default: return NO_BUTTON;
    }
}

bool IsRelease(MessageType type) {
    return type == MessageType::LButtonUp || type == MessageType::RButtonUp;
}

// The first message that may be taken now (Queue.end() when none may): a message of a button
// waits when the button's state must first be seen by a frame, and so does every later message
// of that button, which keeps each button's messages in order.
std::deque<Queued>::iterator NextDeliverable() {
    bool waiting[2] = {false, false};
    for (auto it = Queue.begin(); it != Queue.end(); ++it) {
        const int button = ButtonOf(it->message.type);
        if (button == NO_BUTTON || !FramesNoted) return it;
        const bool release = IsRelease(it->message.type);
        if (waiting[button] || (release && PressTaken[button]) ||
            (!release && HeldReleaseTaken[button])) {
            waiting[button] = true;
            continue;
        }
        return it;
    }
    return Queue.end();
}

bool Deliverable() { return NextDeliverable() != Queue.end(); }

void NoteTaken(const Queued& queued) {
    const int button = ButtonOf(queued.message.type);
    if (button == NO_BUTTON) return;
    if (IsRelease(queued.message.type)) {
        if (queued.heldForFrame) HeldReleaseTaken[button] = true;
    } else {
        PressTaken[button] = true;
    }
}

void PresentChanges() {
    if (InstalledCoreParts().present) InstalledCoreParts().present();
}

// Signed distance from now to deadline on the wrapping 32-bit clock.
int32_t Remaining(uint32_t deadline) { return static_cast<int32_t>(deadline - TimeGetTime()); }

void GatherPoll() {
    Backend* active = ActiveBackend();
    if (!active || Leaving) return;
    Recorder* recorder = ActiveRecorder();
    const bool top = GatherDepth == 0;
    if (top && recorder) recorder->GatherBegin(PointerX, PointerY);
    ++GatherDepth;
    active->Poll();
    --GatherDepth;
    if (top && recorder) recorder->GatherEnd(false, 0, LatchedClock, PointerX, PointerY);
}

void GatherWait(uint32_t deadline, bool takeMessages) {
    Backend* active = ActiveBackend();
    if (!active || Leaving) return;
    Recorder* recorder = ActiveRecorder();
    const bool top = GatherDepth == 0;
    if (top && recorder) recorder->GatherBegin(PointerX, PointerY);
    ++GatherDepth;
    active->Wait(deadline, takeMessages);
    --GatherDepth;
    if (!top) return;
    if (ClockLatched) LatchedClock = active->Now();
    const uint32_t now = ClockLatched ? LatchedClock : active->Now();
    if (recorder) {
        recorder->GatherEnd(true, static_cast<int32_t>(now - deadline), now, PointerX, PointerY);
    }
}

}  // namespace

// ---- what the backends hand in -----------------------------------------------------------

void InputPushMessage(const Message& message) {
    if (GatherDepth > 0 && ActiveRecorder()) ActiveRecorder()->NoteMessage(message);
    const uint32_t key = message.wparam;
    switch (message.type) {
    case MessageType::KeyDown:
        if (key < 256) {
            // A repeat of a key held down is no new press.
            if (!KeyDownState[key]) KeyUnseen[key] = FramesNoted;
            KeyDownState[key] = true;
            KeyTapped[key] = false;
        }
        break;
    case MessageType::KeyUp:
        if (key < 256) {
            if (KeyUnseen[key]) {
                KeyTapped[key] = true;
            } else {
                KeyDownState[key] = false;
            }
        }
        break;
    default: break;
    }
    Queue.push_back(Queued{message});
}

void InputSetPointer(int x, int y) {
    PointerX = x;
    PointerY = y;
}

bool InputQueueEmpty() { return !Deliverable(); }

bool InputKeyDown(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= 256 || !KeyDownState[virtualKey]) return false;
    KeyUnseen[virtualKey] = false;
    return true;
}

const GameHooks& InputHooks() { return Hooks; }

void SetGameHooks(const GameHooks& hooks) { Hooks = hooks; }

// ---- the clock between the gathers ----------------------------------------------------------

void LatchClock(uint32_t reading, bool latched) {
    LatchedClock = reading;
    ClockLatched = latched;
}

uint32_t StopGathering() {
    // Inside a wait the clock reads on; the recording keeps how far it got.
    Backend* active = ActiveBackend();
    const uint32_t moved =
        active && ClockLatched && GatherDepth > 0 ? active->Now() - LatchedClock : 0;
    Leaving = true;
    return moved;
}

uint32_t TimeGetTime() {
    Backend* active = ActiveBackend();
    if (!active) return 0;
    return ClockLatched && GatherDepth == 0 ? LatchedClock : active->Now();
}

// ---- messages and waits ----------------------------------------------------------------------

bool PeekMessage(Message* out) {
    if (!Deliverable()) GatherPoll();
    const auto next = NextDeliverable();
    if (next == Queue.end()) return false;
    if (out) *out = next->message;
    return true;
}

void GetMessage(Message* out) {
    while (!Deliverable()) {
        if (!ActiveBackend()) {
            if (out) *out = Message{MessageType::Quit, 0};
            return;
        }
        PresentChanges();
        GatherWait(TimeGetTime() + 1000, true);
    }
    const auto next = NextDeliverable();
    if (out) *out = next->message;
    NoteTaken(*next);
    Queue.erase(next);
}

void PostQuitMessage(int exitCode) {
    if (QuitPosted) return;
    QuitPosted = true;
    Queue.push_back(Queued{Message{MessageType::Quit, static_cast<uint32_t>(exitCode)}});
}

void FrameStarts() {
    FramesNoted = true;
    // The releases still queued behind a press this frame is about to see have waited for it.
    for (Queued& queued : Queue) {
        const int button = ButtonOf(queued.message.type);
        if (button != NO_BUTTON && IsRelease(queued.message.type) && PressTaken[button]) {
            queued.heldForFrame = true;
        }
    }
    for (int b = 0; b < 2; ++b) {
        PressTaken[b] = false;
        HeldReleaseTaken[b] = false;
    }
    // A tapped key that a frame or a read has seen ends now; one that nothing has seen yet
    // reads down through this frame and ends at the next.
    for (int k = 0; k < 256; ++k) {
        if (KeyTapped[k] && !KeyUnseen[k]) {
            KeyTapped[k] = false;
            KeyDownState[k] = false;
        }
        KeyUnseen[k] = false;
    }
}

void WaitForMessageOrTime(uint32_t deadline) {
    PresentChanges();
    if (!ActiveBackend()) return;
    while (!Deliverable() && Remaining(deadline) > 0) GatherWait(deadline, true);
}

void WaitUntil(uint32_t deadline) {
    PresentChanges();
    if (!ActiveBackend()) return;
    while (Remaining(deadline) > 0) GatherWait(deadline, false);
}

bool KeyHeld(int virtualKey) {
    GatherPoll();
    if (SceneHeld && virtualKey != VK_ESCAPE) return false;
    return InputKeyDown(virtualKey);
}

bool KeyStillHeld(int virtualKey) { return InputKeyDown(virtualKey); }

void GetCursorPos(int* x, int* y) {
    GatherPoll();
    if (x) *x = SceneHeld ? HeldX : PointerX;
    if (y) *y = SceneHeld ? HeldY : PointerY;
}

void HoldSceneInput(bool hold) {
    if (hold && !SceneHeld) {
        HeldX = PointerX;
        HeldY = PointerY;
    }
    SceneHeld = hold;
}

bool SceneInputHeld() { return SceneHeld; }

void CardCursorPos(int* x, int* y) {
    GatherPoll();
    if (x) *x = PointerX;
    if (y) *y = PointerY;
}

void SetCursorPos(int x, int y) {
    PointerX = x;
    PointerY = y;
    if (ActiveBackend()) ActiveBackend()->WarpPointer(x, y);
}
