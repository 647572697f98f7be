// The SDL2 backend: one window, input turned into the game's messages, a real millisecond
// clock with waits that wake on time, and the palettised picture shown one of two ways:
//  - the GPU way: converted through a 256-entry lookup into a streaming texture that the
//    renderer scales into the picture's box;
//  - the software way, for machines whose GL rasterises on the CPU (virtual machines, remote
//    desktops, Xvfb): scaled by our own nearest-neighbour loop straight into the window's
//    framebuffer, touching only what changed since the last picture.
// Both keep the 4:3 box with black bars and map the pointer through the same rules.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio/audio.h"
#include "platform/core/input.h"
#include "platform/core/trace.h"
#include "platform/sdl/pictures_folder.h"
#include "platform/sdl/renderer_probe.h"
#include "platform/sdl/wake_plan.h"
#include "platform/video/display.h"
#include "platform/video/png_read.h"
#include "platform/video/png_write.h"
#include "platform/video/present.h"
#include "platform/video/presentation.h"

namespace {

// How long the renderer probe may take to answer; until it has, the window's framebuffer
// shows the pictures.
constexpr int PROBE_TIMEOUT_MS = 5000;
const char* const APP_NAME = "kelmorav";

int VirtualKeyOf(SDL_Keycode key) {
    if (key == SDLK_ESCAPE) return VK_ESCAPE;
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<int>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<int>(key - SDLK_0);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return '1' + static_cast<int>(key - SDLK_KP_1);
    if (key == SDLK_KP_0) return '0';
    if (key == SDLK_F1) return VK_F1;
    if (key == SDLK_F2) return VK_F2;
    if (key == SDLK_LEFT) return VK_LEFT;
    if (key == SDLK_RIGHT) return VK_RIGHT;
    if (key == SDLK_UP) return VK_UP;
    if (key == SDLK_DOWN) return VK_DOWN;
    return -1;
}

uint64_t NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1'000'000'000u + static_cast<uint64_t>(ts.tv_nsec);
}

void SleepUntilNs(uint64_t target) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(target / 1'000'000'000u);
    ts.tv_nsec = static_cast<long>(target % 1'000'000'000u);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {}
}

// The driver the player asked for through SDL_VIDEODRIVER, or "".
std::string RequestedVideoDriver() {
    const char* hint = SDL_getenv("SDL_VIDEODRIVER");
    return hint ? hint : "";
}

bool DriverWithoutDisplay(const std::string& name) {
    return name == "offscreen" || name == "dummy";
}

// The game's own icon, as the data generator draws it for the desktop, set on the window so
// that task switchers that read the window rather than the desktop entry show it. It is looked
// for beside the data: in the build tree (dist/icons) and in the installed tree
// (share/icons beside share/kelmorav). Without one the window keeps the desktop's default.
void SetGameIcon(SDL_Window* window, const std::string& dataDir) {
    static const char* const SIZES[] = {"128x128", "64x64", "48x48", "32x32"};
    const std::filesystem::path data(dataDir);
    for (const std::filesystem::path& icons :
         {data / "dist" / "icons" / "hicolor", data.parent_path() / "icons" / "hicolor"}) {
        for (const char* size : SIZES) {
            std::vector<uint8_t> rgba;
            int w = 0;
            int h = 0;
            const std::filesystem::path file = icons / size / "apps" / "kelmorav.png";
            if (!ReadPngRgba(file.string(), 256, &rgba, &w, &h)) continue;
            SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), w, h, 32, w * 4,
                                                                   SDL_PIXELFORMAT_RGBA32);
            if (icon == nullptr) continue;
            SDL_SetWindowIcon(window, icon);
            SDL_FreeSurface(icon);
            return;
        }
    }
}

class SdlBackend : public Backend {
public:
    bool Init(const PlatformOptions& options) override {
        // Both folders are kept absolute: the game moves into the data directory next.
        std::error_code ignored;
        startDir_ = std::filesystem::current_path(ignored).string();
        dataDir_ = std::filesystem::absolute(options.dataDir, ignored).string();
        request_ = options.renderer;
        scaling_ = options.scaling;
        scaler_ = PictureScaler(scaling_);
        // A driver without a display has no GL to ask about.
        if (request_ == RendererRequest::AUTO && !DriverWithoutDisplay(RequestedVideoDriver())) {
            probe_.Start(PROBE_TIMEOUT_MS);
        }
        // Desktops group windows and find their icon by the window class and the app name.
        setenv("SDL_VIDEO_X11_WMCLASS", APP_NAME, 0);
        setenv("SDL_VIDEO_WAYLAND_WMCLASS", APP_NAME, 0);
        SDL_SetHint(SDL_HINT_APP_NAME, APP_NAME);
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        // The window's framebuffer is our own pixels, not a texture SDL would draw with GL.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            std::fprintf(stderr, "kelmorav: cannot open the display: %s\n", SDL_GetError());
            return false;
        }
        // SDL falls back to drivers that show nothing when no display is reachable; the game
        // would then run unseen. Only the player may ask for them.
        const char* driver = SDL_GetCurrentVideoDriver();
        if (RequestedVideoDriver().empty() && driver && DriverWithoutDisplay(driver)) {
            std::fprintf(stderr,
                         "kelmorav: no display found (DISPLAY and WAYLAND_DISPLAY reach none); "
                         "--headless runs without one\n");
            SDL_Quit();
            return false;
        }
        const int scale = options.scale < 1 ? 1 : (options.scale > 8 ? 8 : options.scale);
        Uint32 flags = SDL_WINDOW_RESIZABLE;
        if (!options.windowed) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        int width = options.windowWidth > 0 ? options.windowWidth : 640 * scale;
        int height = options.windowHeight > 0 ? options.windowHeight : 480 * scale;
        FitDesktop(&width, &height);
        window_ = SDL_CreateWindow("Direct X", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   width, height, flags);
        if (window_ == nullptr) {
            std::fprintf(stderr, "kelmorav: cannot create the window: %s\n", SDL_GetError());
            SDL_Quit();
            return false;
        }
        fullscreen_ = !options.windowed;
        screenState_.fullScreen = fullscreen_;
        screenState_.scale = scale;
        screenState_.windowWidth = options.windowWidth > 0 ? width : 0;
        screenState_.windowHeight = options.windowHeight > 0 ? height : 0;
        screenState_.scaling = options.scaling;
        SetGameIcon(window_, dataDir_);
        SDL_ShowCursor(SDL_DISABLE);
        if (request_ != RendererRequest::AUTO) Decide(RendererReport{});
        return true;
    }

    ScreenState Screen() override {
        screenState_.fullScreen = fullscreen_;
        return screenState_;
    }

    // Full screen, or a window of the scale the desktop's bounds hold, centred.
    void SetScreen(bool fullScreen, int scale) override {
        const bool sized = screenState_.scale != scale || screenState_.windowWidth != 0;
        Backend::SetScreen(fullScreen, scale);
        if (window_ == nullptr) return;
        if (fullscreen_ != fullScreen) {
            fullscreen_ = fullScreen;
            SDL_SetWindowFullscreen(window_, fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        }
        if (!fullScreen && sized) {
            int width = 640 * scale;
            int height = 480 * scale;
            FitDesktop(&width, &height);
            SDL_SetWindowSize(window_, width, height);
            SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        }
        PresentWhole();
    }

    // The picture is placed anew in the window, its border cleared.
    void SetScaling(Scaling scaling) override {
        Backend::SetScaling(scaling);
        scaling_ = scaling;
        scaler_ = PictureScaler(scaling_);
        PresentWhole();
    }

    void Shutdown() override {
        probe_.Abandon();
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (shadow_) SDL_FreeSurface(shadow_);
        if (window_) SDL_DestroyWindow(window_);
        texture_ = nullptr;
        renderer_ = nullptr;
        shadow_ = nullptr;
        window_ = nullptr;
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }

    // Milliseconds since the machine started, like the clock the game was written for: it is
    // large from the first reading, so the first animation tick comes on the first loop pass.
    uint32_t Now() override { return static_cast<uint32_t>(NowNs() / 1'000'000u); }

    void Poll() override {
        SDL_Event e;
        while (SDL_PollEvent(&e)) Translate(e);
    }

    void Wait(uint32_t deadline, bool takeMessages) override {
        CheckProbe();
        for (;;) {
            Poll();
            if (takeMessages && !InputQueueEmpty()) return;
            const WakePlan plan = PlanWake(NowNs(), deadline);
            if (plan.due) return;
            if (plan.eventWaitMs > 0) {
                // Input wakes this sleep; the loop then takes it and plans again.
                SDL_WaitEventTimeout(nullptr, plan.eventWaitMs);
            } else {
                SleepUntilNs(plan.targetNs);
            }
        }
    }

    bool Present(const Rect& changed, bool whole) override {
        const Surface* primary = PlatformPresentedPicture();
        if (primary == nullptr || window_ == nullptr) return false;
        CheckProbe();
        if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) return false;
        if (!ShowsDisplay(*primary)) return false;
        return path_ == PresentPath::GPU ? PresentGpu(primary)
                                         : PresentSoftware(primary, changed, whole);
    }

    void DisplayModeChanged(int width, int height) override {
        pictureWidth_ = width;
        pictureHeight_ = height;
        if (decided_ && path_ == PresentPath::GPU) MakeTexture();
    }

    void WarpPointer(int x, int y) override {
        if (window_ == nullptr) return;
        int wx = 0;
        int wy = 0;
        PictureToWindow(WindowBox(), pictureWidth_, pictureHeight_, x, y, &wx, &wy);
        SDL_WarpMouseInWindow(window_, wx, wy);
    }

    bool Headless() const override { return false; }

private:
    // Takes the probe's answer once it has come; until then the framebuffer way presents.
    void CheckProbe() {
        if (decided_) return;
        if (std::optional<RendererReport> report = probe_.Poll()) Decide(*report);
    }

    // Settles the way of presenting: from the request, or (auto) from the probe's report.
    void Decide(const RendererReport& report) {
        decided_ = true;
        path_ = ChoosePresentPath(request_, report);
        // The GPU way starts from an empty window: it gets the whole picture at once.
        PresentWhole();
        if (path_ == PresentPath::GPU && !MakeRenderer()) {
            std::fprintf(stderr,
                         "kelmorav: no GPU renderer (%s); presenting through the window's "
                         "framebuffer\n",
                         SDL_GetError());
            path_ = PresentPath::SOFTWARE;
        }
        if (TraceActive()) {
            TraceLine("\"presentation\":\"" + std::string(PresentPathName(path_)) +
                      "\",\"renderer\":" + JsonString(report.created ? report.name : "") +
                      ",\"gl\":" + JsonString(report.glRenderer));
        }
    }

    bool MakeRenderer() {
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
        if (renderer_ == nullptr) return false;
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        MakeTexture();
        return texture_ != nullptr;
    }

    void MakeTexture(int width, int height) {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, width, height);
        textureWidth_ = width;
        textureHeight_ = height;
    }
    void MakeTexture() { MakeTexture(pictureWidth_, pictureHeight_); }

    // A presented picture is the display's, or (the help card over the ending's 320x240) the
    // display's enlarged by a whole factor; it fills the same box of the window either way.
    bool ShowsDisplay(const Surface& picture) const {
        if (pictureWidth_ <= 0 || pictureHeight_ <= 0) return false;
        const int factor = picture.width / pictureWidth_;
        return factor >= 1 && picture.width == pictureWidth_ * factor &&
               picture.height == pictureHeight_ * factor;
    }

    // The picture's box in window coordinates, where pointer events arrive. The GPU way places
    // it in the renderer's pixels, which a high-density screen makes more than the window's: the
    // box is placed there and brought back, so the pointer meets the picture where it is drawn.
    PictureBox WindowBox() const {
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        int ow = 0;
        int oh = 0;
        if (path_ == PresentPath::GPU && renderer_ != nullptr &&
            SDL_GetRendererOutputSize(renderer_, &ow, &oh) == 0 && ow > 0 && oh > 0 &&
            (ow != w || oh != h)) {
            const PictureBox out = PlacePicture(ow, oh, pictureWidth_, pictureHeight_, scaling_);
            const auto back = [](int v, int to, int from) {
                return static_cast<int>(static_cast<int64_t>(v) * to / from);
            };
            return PictureBox{back(out.x, w, ow), back(out.y, h, oh), back(out.width, w, ow),
                              back(out.height, h, oh)};
        }
        return PlacePicture(w, h, pictureWidth_, pictureHeight_, scaling_);
    }

    bool PresentGpu(const Surface* primary) {
        if (primary->width != textureWidth_ || primary->height != textureHeight_) {
            MakeTexture(primary->width, primary->height);
        }
        if (texture_ == nullptr) return false;
        void* texels = nullptr;
        int texPitch = 0;
        if (SDL_LockTexture(texture_, nullptr, &texels, &texPitch) != 0) return false;
        ConvertToRgb32(primary, InstalledPalette(), static_cast<uint32_t*>(texels), texPitch / 4);
        SDL_UnlockTexture(texture_);
        int w = 0;
        int h = 0;
        SDL_GetRendererOutputSize(renderer_, &w, &h);
        const PictureBox box = PlacePicture(w, h, pictureWidth_, pictureHeight_, scaling_);
        const SDL_Rect dest{box.x, box.y, box.width, box.height};
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, &dest);
        SDL_RenderPresent(renderer_);
        return true;
    }

    bool PresentSoftware(const Surface* primary, const Rect& changed, bool whole) {
        SDL_Surface* screen = SDL_GetWindowSurface(window_);
        if (screen == nullptr) return false;
        // A new framebuffer (first picture, resize, full-screen switch) is drawn in full.
        if (screen != screen_ || screen->w != screenWidth_ || screen->h != screenHeight_) {
            screen_ = screen;
            screenWidth_ = screen->w;
            screenHeight_ = screen->h;
            whole = true;
            if (shadow_) SDL_FreeSurface(shadow_);
            shadow_ = nullptr;
            if (screen->format->BytesPerPixel != 4) {
                // Framebuffers of other depths get our 32-bit pixels through SDL's converter.
                shadow_ = SDL_CreateRGBSurfaceWithFormat(0, screen->w, screen->h, 32,
                                                         SDL_PIXELFORMAT_ARGB8888);
                if (shadow_ == nullptr) return false;
            }
            lookupFormat_ = 0;
        }
        SDL_Surface* target = shadow_ ? shadow_ : screen;
        UpdateLookup(target->format);
        if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return false;
        const PixelTarget pixels{static_cast<uint32_t*>(target->pixels), target->pitch / 4,
                                 target->w, target->h};
        const IndexedPicture picture{primary->pixels.data(), primary->pitch, primary->width,
                                     primary->height};
        Rect drawn;
        if (whole) {
            PictureScaler::FillBars(
                pixels, PlacePicture(target->w, target->h, picture.width, picture.height, scaling_),
                SDL_MapRGB(target->format, 0, 0, 0));
            scaler_.Draw(picture, lookup_, pixels, Rect{0, 0, picture.width, picture.height});
            drawn = Rect{0, 0, target->w, target->h};
        } else {
            drawn = scaler_.Draw(picture, lookup_, pixels, changed);
        }
        if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
        if (drawn.left >= drawn.right || drawn.top >= drawn.bottom) return true;
        SDL_Rect area{drawn.left, drawn.top, drawn.right - drawn.left, drawn.bottom - drawn.top};
        if (shadow_) SDL_BlitSurface(shadow_, &area, screen, &area);
        return SDL_UpdateWindowSurfaceRects(window_, &area, 1) == 0;
    }

    // The 256 window pixel values of the installed palette, rebuilt when it changes.
    void UpdateLookup(const SDL_PixelFormat* format) {
        const PaletteEntry* palette = InstalledPalette();
        if (lookupFormat_ == format->format &&
            std::memcmp(lookupPalette_, palette, sizeof lookupPalette_) == 0) {
            return;
        }
        std::memcpy(lookupPalette_, palette, sizeof lookupPalette_);
        lookupFormat_ = format->format;
        for (int i = 0; i < 256; ++i) {
            lookup_[i] = SDL_MapRGB(format, palette[i].red, palette[i].green, palette[i].blue);
        }
    }

    // Pointer positions map to the picture pixel shown under them; positions in the black
    // bars go to the picture's nearest edge.
    void SetPointer(int x, int y) {
        int px = 0;
        int py = 0;
        WindowToPicture(WindowBox(), pictureWidth_, pictureHeight_, x, y, &px, &py);
        InputSetPointer(px, py);
    }

    // A free file name in the folder: the time of day, and a number when that is taken.
    static std::string ScreenshotPath(const std::string& folder) {
        char stamp[64];
        const std::time_t t = std::time(nullptr);
        std::tm local{};
        localtime_r(&t, &local);
        std::strftime(stamp, sizeof stamp, "kelmorav-%Y%m%d-%H%M%S", &local);
        std::string path = folder + "/" + stamp + ".png";
        std::error_code error;
        for (int n = 2; std::filesystem::exists(path, error) && n < 100; ++n) {
            path = folder + "/" + stamp + "-" + std::to_string(n) + ".png";
        }
        return path;
    }

    void SaveScreenshot() {
        Surface* primary = PlatformPrimary();
        if (primary == nullptr) return;
        const std::string folder = ScreenshotFolder(startDir_, dataDir_);
        if (folder.empty()) {
            std::fprintf(stderr,
                         "kelmorav: no folder to save the picture in (the pictures folder and "
                         "the working directory cannot be written)\n");
            return;
        }
        const std::string path = ScreenshotPath(folder);
        if (WritePalettedPng(path, primary->width, primary->height, primary->pixels.data(),
                             primary->pitch, InstalledPalette())) {
            std::fprintf(stderr, "kelmorav: saved %s\n", path.c_str());
        }
    }

    // The window needs its whole picture again.
    static void PresentWhole() {
        DisplayState().dirty = true;
        DisplayState().forcePresent = true;
    }

    void Translate(const SDL_Event& e) {
        switch (e.type) {
        case SDL_QUIT: InputPushMessage({MessageType::Close, 0}); break;
        case SDL_WINDOWEVENT: WindowEvent(e.window); break;
        case SDL_KEYDOWN: KeyDown(e.key); break;
        case SDL_KEYUP: KeyUp(e.key); break;
        // Output devices only: the game records nothing.
        case SDL_AUDIODEVICEREMOVED:
            if (e.adevice.iscapture == 0) PlatformAudioDeviceRemoved();
            break;
        case SDL_AUDIODEVICEADDED:
            if (e.adevice.iscapture == 0) PlatformAudioDeviceAdded();
            break;
        case SDL_MOUSEMOTION: SetPointer(e.motion.x, e.motion.y); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: MouseButton(e.button); break;
        default: break;
        }
    }

    void WindowEvent(const SDL_WindowEvent& window) {
        if (window.event == SDL_WINDOWEVENT_CLOSE) {
            InputPushMessage({MessageType::Close, 0});
        } else if (window.event == SDL_WINDOWEVENT_EXPOSED ||
                   window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                   window.event == SDL_WINDOWEVENT_RESTORED) {
            if (window.event == SDL_WINDOWEVENT_SIZE_CHANGED) NoteWindowSize();
            PresentWhole();
        }
    }

    // A window the player resized keeps its size for the next start; one of the scale's own
    // size (or full screen) has none of its own.
    void NoteWindowSize() {
        if (fullscreen_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) != 0) return;
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(window_, &width, &height);
        const bool own = width != 640 * screenState_.scale || height != 480 * screenState_.scale;
        screenState_.windowWidth = own ? width : 0;
        screenState_.windowHeight = own ? height : 0;
    }

    // Shrinks a window size to the desktop's usable area, keeping at least the smallest
    // picture.
    static void FitDesktop(int* width, int* height) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayUsableBounds(0, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0) return;
        *width = std::max(320, std::min(*width, bounds.w));
        *height = std::max(240, std::min(*height, bounds.h));
    }

    // Alt+Enter and PrintScreen are the platform's own keys; the others the game knows become
    // its key messages.
    void KeyDown(const SDL_KeyboardEvent& key) {
        const SDL_Keycode code = key.keysym.sym;
        if ((code == SDLK_RETURN || code == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT)) {
            if (!key.repeat) SwitchFullscreen();
            return;
        }
        if (code == SDLK_PRINTSCREEN) {
            if (!key.repeat) SaveScreenshot();
            return;
        }
        const int vk = VirtualKeyOf(code);
        if (vk >= 0) InputPushMessage({MessageType::KeyDown, static_cast<uint32_t>(vk)});
    }

    static void KeyUp(const SDL_KeyboardEvent& key) {
        const int vk = VirtualKeyOf(key.keysym.sym);
        if (vk >= 0) InputPushMessage({MessageType::KeyUp, static_cast<uint32_t>(vk)});
    }

    void SwitchFullscreen() {
        fullscreen_ = !fullscreen_;
        SDL_SetWindowFullscreen(window_, fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        PresentWhole();
    }

    void MouseButton(const SDL_MouseButtonEvent& button) {
        SetPointer(button.x, button.y);
        const bool down = button.type == SDL_MOUSEBUTTONDOWN;
        // Every second press of a quick series arrives as a double-click, as the desktop the
        // game was written for reports it.
        const bool dbl = down && button.clicks >= 2 && button.clicks % 2 == 0;
        if (button.button == SDL_BUTTON_LEFT) {
            InputPushMessage({down ? (dbl ? MessageType::LButtonDblClk : MessageType::LButtonDown)
                                   : MessageType::LButtonUp,
                              0});
        } else if (button.button == SDL_BUTTON_RIGHT) {
            InputPushMessage({down ? (dbl ? MessageType::RButtonDblClk : MessageType::RButtonDown)
                                   : MessageType::RButtonUp,
                              0});
        }
    }

    SDL_Window* window_ = nullptr;
    RendererRequest request_ = RendererRequest::AUTO;
    Scaling scaling_ = Scaling::FIT;
    RendererProbe probe_;
    bool decided_ = false;
    PresentPath path_ = PresentPath::SOFTWARE;
    int pictureWidth_ = 640;
    int pictureHeight_ = 480;
    bool fullscreen_ = true;
    std::string dataDir_;
    std::string startDir_;

    // The GPU way.
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0;
    int textureHeight_ = 0;

    // The software way.
    SDL_Surface* screen_ = nullptr;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    SDL_Surface* shadow_ = nullptr;
    PictureScaler scaler_;
    uint32_t lookup_[256] = {};
    PaletteEntry lookupPalette_[256];
    Uint32 lookupFormat_ = 0;
};

}  // namespace

Backend* MakeSdlBackend() { return new SdlBackend; }

void PostAudioDeviceEvent(bool added) {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
    SDL_Event e{};
    e.type = added ? SDL_AUDIODEVICEADDED : SDL_AUDIODEVICEREMOVED;
    e.adevice.iscapture = 0;
    SDL_PushEvent(&e);
}

void PostWindowEvent(WindowChange change) {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    switch (change) {
    case WindowChange::FOCUS_LOST: e.window.event = SDL_WINDOWEVENT_FOCUS_LOST; break;
    case WindowChange::FOCUS_GAINED: e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED; break;
    case WindowChange::MINIMIZED: e.window.event = SDL_WINDOWEVENT_MINIMIZED; break;
    case WindowChange::RESTORED: e.window.event = SDL_WINDOWEVENT_RESTORED; break;
    case WindowChange::CLOSE: e.window.event = SDL_WINDOWEVENT_CLOSE; break;
    }
    SDL_PushEvent(&e);
}
