// The SDL2 backend: one window, the palettised picture converted through a 256-entry lookup
// into a streaming texture and scaled to fit (4:3 kept, nearest-neighbour), input turned into
// the game's messages, and a real millisecond clock.
#include <SDL.h>

#include <ctime>
#include <string>

#include "platform/backend.h"
#include "platform/input.h"
#include "platform/platform_internal.h"
#include "platform/png_write.h"

namespace {

int VirtualKeyOf(SDL_Keycode key) {
    if (key == SDLK_ESCAPE) return VK_ESCAPE;
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<int>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<int>(key - SDLK_0);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return '1' + static_cast<int>(key - SDLK_KP_1);
    if (key == SDLK_KP_0) return '0';
    if (key == SDLK_F1) return VK_F1;
    return -1;
}

class SdlBackend : public Backend {
public:
    bool Init(const PlatformOptions& options) override {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            std::fprintf(stderr, "kelmorav: cannot open the display: %s\n", SDL_GetError());
            return false;
        }
        const int scale = options.scale < 1 ? 1 : (options.scale > 8 ? 8 : options.scale);
        Uint32 flags = SDL_WINDOW_RESIZABLE;
        if (!options.windowed) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        window_ = SDL_CreateWindow("Direct X", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   640 * scale, 480 * scale, flags);
        if (window_ == nullptr) {
            std::fprintf(stderr, "kelmorav: cannot create the window: %s\n", SDL_GetError());
            SDL_Quit();
            return false;
        }
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (renderer_ == nullptr)
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (renderer_ == nullptr) {
            std::fprintf(stderr, "kelmorav: cannot create a renderer: %s\n", SDL_GetError());
            SDL_DestroyWindow(window_);
            SDL_Quit();
            return false;
        }
        fullscreen_ = !options.windowed;
        SDL_ShowCursor(SDL_DISABLE);
        ResizePicture(640, 480);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderPresent(renderer_);
        return true;
    }

    void Shutdown() override {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        texture_ = nullptr;
        renderer_ = nullptr;
        window_ = nullptr;
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }

    // Milliseconds since the machine started, like the clock the game was written for: it is
    // large from the first reading, so the first animation tick comes on the first loop pass.
    uint32_t Now() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        const uint64_t ms =
            static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
        return static_cast<uint32_t>(ms);
    }

    void Poll() override {
        SDL_Event e;
        while (SDL_PollEvent(&e)) Translate(e);
    }

    void Wait(uint32_t deadline, bool takeMessages) override {
        for (;;) {
            Poll();
            if (takeMessages && !InputQueueEmpty()) return;
            const int32_t remaining = static_cast<int32_t>(deadline - Now());
            if (remaining <= 0) return;
            // Sleeps in the event system until input arrives or the time is up.
            SDL_WaitEventTimeout(nullptr, remaining);
        }
    }

    void Present() override {
        const Surface* primary = PlatformPresentedPicture();
        if (primary == nullptr || texture_ == nullptr) return;
        if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) return;
        if (primary->width != pictureWidth_ || primary->height != pictureHeight_) return;
        void* texels = nullptr;
        int texPitch = 0;
        if (SDL_LockTexture(texture_, nullptr, &texels, &texPitch) != 0) return;
        ConvertToRgb32(primary, InstalledPalette(), static_cast<uint32_t*>(texels), texPitch / 4);
        SDL_UnlockTexture(texture_);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }

    void DisplayModeChanged(int width, int height) override { ResizePicture(width, height); }

    void WarpPointer(int x, int y) override {
        if (window_ == nullptr) return;
        int wx = 0;
        int wy = 0;
        SDL_RenderLogicalToWindow(renderer_, static_cast<float>(x), static_cast<float>(y), &wx,
                                  &wy);
        SDL_WarpMouseInWindow(window_, wx, wy);
    }

    bool Headless() const override { return false; }

private:
    void ResizePicture(int width, int height) {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, width, height);
        SDL_RenderSetLogicalSize(renderer_, width, height);
        pictureWidth_ = width;
        pictureHeight_ = height;
    }

    // The renderer maps pointer events to the logical picture; positions in the black bars are
    // clamped to its edge.
    void SetPointer(int x, int y) {
        x = x < 0 ? 0 : (x >= pictureWidth_ ? pictureWidth_ - 1 : x);
        y = y < 0 ? 0 : (y >= pictureHeight_ ? pictureHeight_ - 1 : y);
        InputSetPointer(x, y);
    }

    void SaveScreenshot() {
        Surface* primary = PlatformPrimary();
        if (primary == nullptr) return;
        char name[64];
        const std::time_t t = std::time(nullptr);
        std::tm local{};
        localtime_r(&t, &local);
        std::strftime(name, sizeof name, "kelmorav-%Y%m%d-%H%M%S.png", &local);
        if (WritePalettedPng(name, primary->width, primary->height, primary->pixels.data(),
                             primary->pitch, InstalledPalette())) {
            std::fprintf(stderr, "kelmorav: saved %s\n", name);
        }
    }

    void Translate(const SDL_Event& e) {
        switch (e.type) {
        case SDL_QUIT: InputPushMessage({MessageType::Close, 0}); break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                InputPushMessage({MessageType::Close, 0});
            } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                       e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                       e.window.event == SDL_WINDOWEVENT_RESTORED) {
                DisplayState().dirty = true;
                DisplayState().forcePresent = true;
            }
            break;
        case SDL_KEYDOWN: {
            const SDL_Keycode key = e.key.keysym.sym;
            if ((key == SDLK_RETURN || key == SDLK_KP_ENTER) && (e.key.keysym.mod & KMOD_ALT)) {
                if (!e.key.repeat) {
                    fullscreen_ = !fullscreen_;
                    SDL_SetWindowFullscreen(window_,
                                            fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
                    DisplayState().dirty = true;
                    DisplayState().forcePresent = true;
                }
                break;
            }
            if (key == SDLK_PRINTSCREEN) {
                if (!e.key.repeat) SaveScreenshot();
                break;
            }
            const int vk = VirtualKeyOf(key);
            if (vk >= 0) InputPushMessage({MessageType::KeyDown, static_cast<uint32_t>(vk)});
            break;
        }
        case SDL_KEYUP: {
            const int vk = VirtualKeyOf(e.key.keysym.sym);
            if (vk >= 0) InputPushMessage({MessageType::KeyUp, static_cast<uint32_t>(vk)});
            break;
        }
        case SDL_MOUSEMOTION: SetPointer(e.motion.x, e.motion.y); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            SetPointer(e.button.x, e.button.y);
            const bool down = e.type == SDL_MOUSEBUTTONDOWN;
            // Every second press of a quick series arrives as a double-click, as the desktop
            // the game was written for reports it.
            const bool dbl = down && e.button.clicks >= 2 && e.button.clicks % 2 == 0;
            if (e.button.button == SDL_BUTTON_LEFT) {
                InputPushMessage(
                    {down ? (dbl ? MessageType::LButtonDblClk : MessageType::LButtonDown)
                          : MessageType::LButtonUp,
                     0});
            } else if (e.button.button == SDL_BUTTON_RIGHT) {
                InputPushMessage(
                    {down ? (dbl ? MessageType::RButtonDblClk : MessageType::RButtonDown)
                          : MessageType::RButtonUp,
                     0});
            }
            break;
        }
        default: break;
        }
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int pictureWidth_ = 640;
    int pictureHeight_ = 480;
    bool fullscreen_ = true;
};

}  // namespace

Backend* MakeSdlBackend() { return new SdlBackend; }
