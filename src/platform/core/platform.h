#pragma once
// The platform layer: the window, the clock, input, the 8-bit display, GDI-like drawing on
// surfaces, sound voices and the MIDI music device, behind one interface with two kinds of
// backend (SDL2 for people, headless for tests). This file is the game's one door into the
// platform: game code reaches the machine only through it, and nothing outside
// src/platform/sdl includes SDL. Behind the door each part lives in a room of its own:
//  - platform/core: this file, the message queue and input, the clock, the trace, files, the
//    way out, and the interfaces the rooms above it implement (the backend, the recorder);
//  - platform/video: surfaces and blits, the display and its palette, presenting, text, PNG;
//  - platform/audio: voices, the music commands, the MIDI reader and synthesiser;
//  - platform/session: headless scripts, recording and replaying, the headless backends;
//  - platform/sdl: the SDL backend and mixer, and everything else that sees SDL;
//  - platform/assembly: PlatformInit, which chooses the backends from the options.
//
// Conventions kept from the services these calls stand in for:
//  - handles are plain pointers; null means "does not exist";
//  - results are small integers (0 = success) that the game mostly ignores;
//  - every pixel access goes through a rectangle check here, so a caller or a data file can
//    never make the layer read or write outside a buffer.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Basic types

// (left, top)-(right, bottom), right and bottom exclusive.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// One palette entry as the game keeps it: red, green, blue, flags.
struct PaletteEntry {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
};

struct Rgb {
    uint8_t red = 0, green = 0, blue = 0;
};

// ---------------------------------------------------------------------------------------------
// Surfaces: 8-bit pixel buffers with a pitch and an optional source colour key.
//
// A surface owns its pixels. The display pair (front and back) are surfaces too: the front is
// what the player sees through the installed palette; Flip swaps the contents of the pair.

struct Surface {
    int width = 0;
    int height = 0;
    int pitch = 0;  // bytes from one row to the next (>= width)
    std::vector<uint8_t> pixels;
    bool hasColourKey = false;
    uint8_t colourKey = 0;
    bool isPrimary = false;       // the front surface of the display pair
    Surface* attached = nullptr;  // the back buffer of a primary surface
};

// Results of the DirectDraw-like calls.
constexpr int DD_OK = 0;
constexpr int DDERR_INVALIDRECT = 1;
constexpr int DDERR_INVALIDPARAMS = 2;

// BltFast flags.
constexpr unsigned BLTFAST_SRCCOLORKEY = 1;
constexpr unsigned BLTFAST_WAIT = 16;

// Creates an off-screen surface of the given size, pixels zeroed. Sizes outside 1..4096 give null.
Surface* CreateSurface(int width, int height);
// Releases a surface (and, for a primary surface, its attached back buffer). Null is ignored.
void ReleaseSurface(Surface* surface);
// Sets (or clears) the source colour key used by colour-keyed blits.
void SetColourKey(Surface* surface, bool enabled, uint8_t key);

// Copies srcRect of src to dest at (x, y). The blit is REFUSED (nothing drawn, DDERR_INVALIDRECT)
// when srcRect is empty or inverted, does not lie inside src, or the destination rectangle does
// not lie inside dest. With BLTFAST_SRCCOLORKEY, source pixels equal to src's colour key are
// skipped. src may equal dest (rows are moved as with memmove). A null srcRect means all of src.
int BltFast(Surface* dest, int x, int y, Surface* src, const Rect* srcRect, unsigned flags);

// Stretched copy of srcRect onto destRect (nearest-neighbour), with the same refusal rules for
// both rectangles; srcColourKey skips keyed source pixels.
int BltStretch(Surface* dest, const Rect& destRect, Surface* src, const Rect& srcRect,
               bool srcColourKey);

// Fills destRect (null = whole surface) with one palette index; refused when it does not fit.
int ColourFill(Surface* dest, const Rect* destRect, uint8_t index);

// Pixel access for the game's own pixel loops. The pointer addresses (0, 0); rows are pitch
// bytes apart; the caller must stay inside width x height.
struct LockedSurface {
    uint8_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
};
bool LockSurface(Surface* surface, LockedSurface* out);
void UnlockSurface(Surface* surface);

// ---------------------------------------------------------------------------------------------
// Display: one window, a palettised picture of 640x480 (or 320x240 in the ending).

// Switches the display to width x height (640x480 or 320x240) and creates a primary surface
// with one attached back buffer at that size. Returns the primary; *back receives the back
// buffer. Releasing the primary releases both.
Surface* CreateDisplayPair(int width, int height, Surface** back);
// Presents the back buffer: the contents of the pair are swapped, as a page flip does.
int Flip(Surface* primary);
// Installs 256 colours on the display. source names the file they came from (for the trace);
// fades pass "fade".
void InstallPalette(const PaletteEntry entries[256], const char* source);
// The 256 colours installed now.
const PaletteEntry* InstalledPalette();
// Converts the picture of a surface through a palette into 32-bit 0xAARRGGBB pixels, the way
// the display presents it; out holds rows of outPitch pixels.
void ConvertToRgb32(const Surface* surface, const PaletteEntry palette[256], uint32_t* out,
                    int outPitch);
// Nearest installed palette index to an RGB colour (sum of absolute differences, lowest index on
// ties), as the device context maps colours.
uint8_t NearestPaletteIndex(Rgb colour);
// The same search in any palette (the cards' colours, matched before they are installed).
uint8_t NearestIndexIn(const PaletteEntry palette[256], Rgb colour);

// A picture laid over what is presented while a key is held (the game's help card). Each
// presentation made while `key` is held shows a copy of the front surface on which compose has
// drawn, through the palette installed then. A front surface smaller than 640x480 (the ending's
// 320x240) is copied enlarged by a whole factor, pixel for pixel, so that compose draws on a
// picture of 640x480 whose pixels are the window's at its first scale. The front surface, the
// back buffer and every other surface of the game are never written, so the game's own frames go
// on underneath and the release of the key presents the game's picture again exactly. Pressing
// or releasing the key presents at once, even when the game has drawn nothing new. compose runs
// inside the waits: it must not wait, poll input or present. A null compose removes the overlay.
using PresentOverlay = void (*)(Surface* picture, const PaletteEntry palette[256]);
void SetPresentOverlay(int key, PresentOverlay compose);
// A picture laid over what is presented until it is taken away (the game's options card), drawn
// the same way as the held overlay and under it when both show. Setting, clearing or redrawing
// it (the card changed) presents at once. A null compose removes it.
void SetOpenOverlay(PresentOverlay compose);
void RedrawOpenOverlay();

// ---------------------------------------------------------------------------------------------
// GDI-like drawing on a surface. Colours are RGB, mapped to the installed palette.

constexpr unsigned DT_LEFT = 0;
constexpr unsigned DT_CENTER = 1;
constexpr unsigned DT_VCENTER = 4;

struct FontSpec {
    int height = 16;   // GDI cell height in pixels
    int width = 0;     // average character width; 0 = the face's own aspect
    std::string face;  // face name as the game gives it ("" = system choice)
    int weight = 400;  // 400 normal, 700 bold
};

// Draws UTF-8 text into rect with the layout flags, lines broken at '\n', transparent
// background, clipped to rect and to the surface.
void GdiDrawText(Surface* surface, const char* utf8, const Rect& rect, const FontSpec& font,
                 Rgb colour, unsigned format);
// The same in one palette index, as a PALETTEINDEX text colour gives it: the pixels are that
// index whatever colours are installed.
void GdiDrawTextIndex(Surface* surface, const char* utf8, const Rect& rect, const FontSpec& font,
                      uint8_t index, unsigned format);
// The width in pixels of the widest line of UTF-8 text in the font (lines broken at '\n'), as
// GdiDrawText would lay it out; 0 when no font can be had.
int GdiTextWidth(const char* utf8, const FontSpec& font);
// Draws one line with the device context's default font (bold sans, 16 px), top-left at (x, y).
void GdiTextOut(Surface* surface, int x, int y, const char* utf8, Rgb colour);
// For tests: hook is called with every text handed to the drawing above (GdiDrawText,
// GdiDrawTextIndex, GdiTextOut) as it is drawn. Null, the default, for none.
using DrawnTextHook = void (*)(const char* utf8);
void SetDrawnTextHook(DrawnTextHook hook);
// Rectangle filled with a solid brush of the given colour and outlined one pixel wide in the
// default black pen; right and bottom exclusive.
void GdiRectangle(Surface* surface, const Rect& rect, Rgb brush);
// Straight line from (x0, y0) to (x1, y1) one pixel wide in the pen colour; the end point is
// left out.
void GdiLine(Surface* surface, int x0, int y0, int x1, int y1, Rgb pen);

// ---------------------------------------------------------------------------------------------
// Clock, messages and input.

// Milliseconds since the platform started, unsigned 32-bit, wrapping. Take differences unsigned.
uint32_t TimeGetTime();

enum class MessageType {
    None,
    Quit,     // posted by PostQuitMessage; wparam is the exit code
    KeyDown,  // wparam is the virtual key (VK_ESCAPE, 'Z', '0' ...)
    KeyUp,
    LButtonDown,
    LButtonUp,
    LButtonDblClk,
    RButtonDown,
    RButtonUp,
    RButtonDblClk,
    Close,  // the desktop asks the window to close
};

struct Message {
    MessageType type = MessageType::None;
    uint32_t wparam = 0;
};

constexpr int VK_ESCAPE = 27;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;

// True when a message is waiting (it stays in the queue).
bool PeekMessage(Message* out);
// Takes the next message, waiting for one if needed.
void GetMessage(Message* out);
void PostQuitMessage(int exitCode);

// Sleeps until a message is waiting or the clock reaches deadline (whichever comes first).
// Presents the display if it changed since the last presentation.
void WaitForMessageOrTime(uint32_t deadline);
// Sleeps until the clock reaches deadline without taking messages out of the queue; the keyboard
// state stays current. Used by the timed loops that pump no messages. Presents like above.
void WaitUntil(uint32_t deadline);

// Keyboard polling: true while the key is held (GetAsyncKeyState's high bit).
bool KeyHeld(int virtualKey);
// The key as the last gather of input left it, without gathering anew: for a key looked at
// again within a frame that has already read the keys.
bool KeyStillHeld(int virtualKey);
// Pointer position in game coordinates (640x480, or 320x240 in the ending).
void GetCursorPos(int* x, int* y);
void SetCursorPos(int x, int y);
// While a card over the picture takes the keys and the mouse, the scene underneath is held:
// KeyHeld reports every key but Escape up and GetCursorPos gives the pointer where it stood when
// the hold began. The card reads the real pointer with CardCursorPos (which gathers input as
// GetCursorPos does).
void HoldSceneInput(bool hold);
bool SceneInputHeld();
void CardCursorPos(int* x, int* y);
// The main loop calls this just before it runs a scene handler. From the first call on, a press
// shorter than a frame is seen: a mouse button pressed and released between two frames is
// delivered held to the next frame and released before the one after, and a key pressed and
// released between two frames reads down through the next frame. Presses that a frame has seen
// end when they end, as without it.
void FrameStarts();

// ---------------------------------------------------------------------------------------------
// Sound voices (one per effect role, plus duplicates that share sample data).

struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    std::vector<uint8_t> extra;
};

struct Voice;

// Creates a voice of `bytes` bytes of sample data in the given format; null when the format is
// not one the layer can play (PCM, 1 or 2 channels, 8 or 16 bits) or bytes is 0.
Voice* CreateSoundBuffer(const WaveFormat& format, uint32_t bytes);
// Gives the voice's sample memory for filling; UnlockSoundBuffer makes it playable.
bool LockSoundBuffer(Voice* voice, uint8_t** data, uint32_t* bytes);
void UnlockSoundBuffer(Voice* voice);
// A voice that shares the sample data of another and plays independently.
Voice* DuplicateSoundBuffer(Voice* voice);
// Names the voice for the trace (role name and voice index).
void SetVoiceLabel(Voice* voice, const char* role, int index);
// Plays the voice from its start, unless it is still sounding (then nothing happens).
void PlaySoundBuffer(Voice* voice, bool loop);
void StopSoundBuffer(Voice* voice);
bool VoicePlaying(Voice* voice);
void ReleaseSoundBuffer(Voice* voice);

// ---------------------------------------------------------------------------------------------
// Music: an MCI-like command interpreter for MIDI files ("open X alias bgm type sequencer",
// "play bgm", "status bgm mode", ...). Returns 0 on success, non-zero on failure; the reply (if
// any) is written NUL-terminated into reply, truncated to replySize.
uint32_t MciSendString(const char* command, char* reply, unsigned replySize);

// The loudness of the music and of the sound effects, each from 0 (silent) to 10 (the game's own
// loudness, the default), 4 dB less for each step under 10. A change is heard within one buffer
// of the sound device and is written to the trace; setting the volumes they already have does
// nothing.
constexpr int SOUND_VOLUME_MAX = 10;
void SetSoundVolumes(int music, int effects);
int MusicVolume();
int EffectsVolume();
// The factor on the samples' amplitude of a volume step: exactly 1 at 10, 0 at 0.
double VolumeFactor(int step);

// ---------------------------------------------------------------------------------------------
// Files: the game names files with backslash paths relative to the data directory.

// Translates "DATA\BMP\ETC.bmp" to a host path.
std::string HostPath(const char* gamePath);
// A game path as the player would type it in a message: the data directory given at start-up
// joined to the host path, with "/" separators.
std::string UserPath(const char* gamePath);
// fopen of a game path.
std::FILE* OpenGameFile(const char* gamePath, const char* mode);
// One line on stderr about a data file, "kelmorav: PATH: what", PATH as UserPath gives it. Only
// the first problem met with each file in a run is said: a file read again and again (the layout
// at every match, a picture at every visit of its scene) is named once. False when the file had
// already been named.
bool ReportFileProblem(const char* gamePath, const std::string& what);
// The same line for a problem that ends the game: said even when the file was named before, so
// that the last line before the exit gives its cause.
void ReportFatalFileProblem(const char* gamePath, const std::string& what);
// Lets every file be named again (for tests that write a file anew and read it again).
void ForgetFileProblems();
// Writes a whole file so that no reader ever sees part of it: write() fills a new file beside
// the host path, which is then renamed over it. A reader has the whole old file or the whole
// new one, and two programs writing the same file at once each put a whole file in place.
// False, with errno set and nothing left behind, when the file could not be written (write()
// returning false counts as a failure).
bool WriteFileWhole(const std::string& hostPath, const std::function<bool(std::FILE*)>& write);
// The new file is named NAME.PID-N.part beside the host path (NAME its file name, PID the writing
// process, N a count) and is held locked while it is written. A process killed while writing
// leaves it behind; these remove such temporaries once their process no longer runs and no one
// holds them locked (regular files of this user only). WriteFileWhole does it for its own file
// first; start-up does it for the folders the game writes into. Each returns how many it
// removed.
int RemoveStalePartsOf(const std::string& hostPath);
// The same for every NAME in dir that starts with namePrefix.
int RemoveStalePartsIn(const std::string& dir, const std::string& namePrefix);

// ---------------------------------------------------------------------------------------------
// Start-up, shutdown and the test hooks.

// How the SDL window presents the picture (--renderer): chosen from what the accelerated
// renderer reports, or forced to the GPU renderer or to the window's own framebuffer.
enum class RendererRequest { AUTO, GPU, SOFTWARE };
// False for anything but "auto", "gpu" and "software".
bool ParseRendererRequest(const char* text, RendererRequest* out);

// How the picture is scaled to the window (--scaling): FIT fills as much of the window as its
// 4:3 shape allows; INTEGER draws it at the largest whole multiple that fits (every picture
// pixel the same number of screen pixels), centred on black.
enum class Scaling { FIT, INTEGER };
// False for anything but "fit" and "integer".
bool ParseScaling(const char* text, Scaling* out);

// The screen as the player left it: full screen or a window of scale x 640x480, and the
// window's own size once the player has resized it (0 x 0 until then).
struct ScreenState {
    bool fullScreen = true;
    int scale = 2;
    int windowWidth = 0;
    int windowHeight = 0;
    Scaling scaling = Scaling::FIT;
};

struct PlatformOptions {
    bool headless = false;
    bool windowed = false;
    int scale = 2;
    int windowWidth = 0;  // a window of this size rather than scale x 640x480 (0: none)
    int windowHeight = 0;
    RendererRequest renderer = RendererRequest::AUTO;
    Scaling scaling = Scaling::FIT;
    std::string dataDir;            // working directory for the game's relative paths
    std::string scriptPath;         // headless: the script to run
    std::string tracePath;          // where the JSON-lines trace goes ("" = none)
    uint32_t clockStart = 1000000;  // headless: the virtual clock's first reading in ms
    uint32_t seed = 0;              // the random seed chosen on the command line (or the time)
    std::string version;            // the program's version, written into recordings
    std::string recordPath;         // record the session into this file ("" = none)
    std::string replayPath;         // replay this recording headless ("" = none)
    std::string dumpAtEndPath;      // the game state as JSON when the program leaves ("" = none)
    std::string sessionSettings;    // the player's settings the session starts with, one line
                                    // of text kept in a recording ("" = none)
    // The computer opponent as the command line set it, "SIDES LEVEL" ("both 3"), or "" when
    // neither its sides nor its level were given. A recording keeps it in its header.
    std::string computer;
};

// Opens the window (or the headless stand-in). False, after one line on stderr, if the window
// cannot be created, the data directory cannot be entered or the recording cannot be written.
// A recording to replay that cannot be read, is damaged or comes from another version ends the
// program at once with status 2 and one line.
bool PlatformInit(const PlatformOptions& options);
// The random seed of the session: the recorded one in a replay, else options.seed.
uint32_t PlatformSeed();
// The computer opponent's setting of the session: the recorded one in a replay (from its header,
// "" when it has none), else options.computer.
std::string PlatformComputerSetting();
// Whether the computer's search, running beside the game, has its move, as the game is told:
// `live` is the answer of the machine; a recording keeps each answer and a replay gives them
// back, so a replay takes the move in the same frame as the session did.
bool PlatformSearchReady(bool live);
// Opens the sound and music devices; failures leave the game silent, with one line on stderr.
void PlatformOpenAudio();
void PlatformShutdown();
// The settings line the session started with: the recorded one in a replay (which the game then
// takes instead of its own), else options.sessionSettings.
const std::string& PlatformSessionSettings();

// The screen now (a headless run keeps what it was given and what was asked of it).
ScreenState PlatformScreen();
// Full screen, or a window of scale x 640x480 (scale 1 to 8) that the desktop's bounds hold.
void PlatformSetScreen(bool fullScreen, int scale);
// How the picture is scaled to the screen from now on.
void PlatformSetScaling(Scaling scaling);

// Ends the process with the given status after writing the trace's last line, the recording's
// end and the dump asked for at the end. A replay that did not use its whole recording, or
// ended otherwise than it, leaves with status 2 after one line.
[[noreturn]] void PlatformExit(int status);

// Hooks the shell gives the headless backend: the current scene number and a JSON dump of the
// game state. The backend calls them between program steps, never inside a frame.
struct GameHooks {
    int (*scene)() = nullptr;
    int (*sceneByName)(const char* name) = nullptr;  // -1 for an unknown name
    std::string (*dumpState)() = nullptr;
};
void SetGameHooks(const GameHooks& hooks);

// Appends one line to the trace (a JSON object body without braces, e.g. "\"scene\":2"); the
// time is added by the platform. Does nothing without a trace.
void TraceLine(const std::string& fields);
// The same with the time given: an event that happened at a clock reading already taken (a
// frame at the time the loop stamped it) keeps that time, however late the line is written.
void TraceLineAt(uint32_t time, const std::string& fields);
// True when a trace is being written (callers may skip building lines otherwise).
bool TraceActive();

// True in the headless backends (the script runner and the replay).
bool PlatformIsHeadless();
