#pragma once
// The interface each backend implements: the SDL window for people (platform/sdl), the script
// runner and the replay for headless runs (platform/session). The platform's assembly chooses
// one at start-up and the core runs on it. Only the platform's own files include this.

#include <cstdint>

#include "platform/core/platform.h"

class Backend {
public:
    virtual ~Backend() = default;
    virtual bool Init(const PlatformOptions& options) = 0;
    virtual void Shutdown() = 0;

    // Clock.
    virtual uint32_t Now() = 0;
    // Moves pending input into the message queue and key state. Returns when a message is
    // waiting or the clock has reached deadline; when takeMessages is false, messages are left
    // queued and only the key state follows the input.
    virtual void Wait(uint32_t deadline, bool takeMessages) = 0;
    // Gathers input that arrived without waiting.
    virtual void Poll() = 0;

    // Presentation of the primary surface through the installed palette. `changed` bounds what
    // differs from the picture presented last (in picture pixels); `whole` asks for everything,
    // the window around the picture included. False when nothing could be shown (a minimised
    // window, a picture of a size the display is not set to).
    virtual bool Present(const Rect& changed, bool whole) = 0;
    virtual void DisplayModeChanged(int width, int height) = 0;
    virtual void WarpPointer(int x, int y) = 0;

    virtual bool Headless() const = 0;

    // The screen: a backend without a window keeps what it is given and asked.
    void StartScreen(const ScreenState& screen) { screenState_ = screen; }
    virtual ScreenState Screen() { return screenState_; }
    virtual void SetScreen(bool fullScreen, int scale) {
        screenState_.fullScreen = fullScreen;
        screenState_.scale = scale;
        screenState_.windowWidth = 0;
        screenState_.windowHeight = 0;
    }

    virtual void SetScaling(Scaling scaling) { screenState_.scaling = scaling; }

protected:
    ScreenState screenState_;
};

// The backend the core runs on (null before start-up and after shutdown).
Backend* ActiveBackend();
