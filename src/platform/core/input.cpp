// Input and the clock, shared by every backend: the message queue, the key state, the pointer
// position, the gathers of input that the waits and polls make, and the clock the game reads
// between them.
#include "platform/core/input.h"

#include <deque>

#include "platform/core/backend.h"
#include "platform/core/lifecycle.h"
#include "platform/core/recorder.h"

namespace {

std::deque<Message> Queue;
bool KeyDownState[256] = {};
int PointerX = 0;
int PointerY = 0;
GameHooks Hooks;
bool QuitPosted = false;

// Input is gathered in the backends' polls and waits; the recorder is told what each top-level
// one brought. While a recording is made, the clock the game reads moves only when a wait ends
// (inside a gather it reads on), so a replay knows every reading from the waits' deadlines.
// Once the program is leaving, no more input is gathered.
int GatherDepth = 0;
bool ClockLatched = false;
uint32_t LatchedClock = 0;
bool Leaving = false;

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
    switch (message.type) {
    case MessageType::KeyDown:
        if (message.wparam < 256) KeyDownState[message.wparam] = true;
        break;
    case MessageType::KeyUp:
        if (message.wparam < 256) KeyDownState[message.wparam] = false;
        break;
    default: break;
    }
    Queue.push_back(message);
}

void InputSetPointer(int x, int y) {
    PointerX = x;
    PointerY = y;
}

bool InputQueueEmpty() { return Queue.empty(); }

bool InputKeyDown(int virtualKey) {
    return virtualKey >= 0 && virtualKey < 256 && KeyDownState[virtualKey];
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
    if (Queue.empty()) GatherPoll();
    if (Queue.empty()) return false;
    if (out) *out = Queue.front();
    return true;
}

void GetMessage(Message* out) {
    while (Queue.empty()) {
        if (!ActiveBackend()) {
            if (out) *out = Message{MessageType::Quit, 0};
            return;
        }
        PresentChanges();
        GatherWait(TimeGetTime() + 1000, true);
    }
    if (out) *out = Queue.front();
    Queue.pop_front();
}

void PostQuitMessage(int exitCode) {
    if (QuitPosted) return;
    QuitPosted = true;
    Queue.push_back(Message{MessageType::Quit, static_cast<uint32_t>(exitCode)});
}

void WaitForMessageOrTime(uint32_t deadline) {
    PresentChanges();
    if (!ActiveBackend()) return;
    while (Queue.empty() && Remaining(deadline) > 0) GatherWait(deadline, true);
}

void WaitUntil(uint32_t deadline) {
    PresentChanges();
    if (!ActiveBackend()) return;
    while (Remaining(deadline) > 0) GatherWait(deadline, false);
}

bool KeyHeld(int virtualKey) {
    GatherPoll();
    return InputKeyDown(virtualKey);
}

bool KeyStillHeld(int virtualKey) { return InputKeyDown(virtualKey); }

void GetCursorPos(int* x, int* y) {
    GatherPoll();
    if (x) *x = PointerX;
    if (y) *y = PointerY;
}

void SetCursorPos(int x, int y) {
    PointerX = x;
    PointerY = y;
    if (ActiveBackend()) ActiveBackend()->WarpPointer(x, y);
}
