#pragma once
// The music device's command interpreter: the few MCI-style strings the game sends to play one
// MIDI file at a time under an alias ("open F alias bgm type sequencer", "play bgm",
// "play bgm from 0", "stop bgm", "close bgm", "status bgm mode"). Words may be separated by
// more than one blank, as some of the game's strings are. What actually makes the music is a
// MusicOutput: the SDL mixer, or a simulation that only keeps time.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Results of MciSendString. 0 is success; the game never examines the others.
enum MciResult : uint32_t {
    MCI_OK = 0,
    MCI_ERR_SYNTAX = 1,       // not a command of the vocabulary
    MCI_ERR_NOT_OPEN = 2,     // the alias names no open file
    MCI_ERR_ALIAS_TAKEN = 3,  // open on an alias already in use
    MCI_ERR_FILE = 4,         // the file is missing or not a playable MIDI file
    MCI_ERR_UNSUPPORTED = 5,  // a position other than 0
};

enum class MciVerb { OPEN, PLAY, STOP, CLOSE, STATUS_MODE };

// What Load says of a piece whose tracks are cut short or damaged: it plays up to there.
constexpr const char* MIDI_CUT_SHORT =
    "a track is cut short or damaged; the music plays as far as it is whole";

struct MciCommand {
    MciVerb verb = MciVerb::PLAY;
    std::string alias;
    std::string file;        // OPEN only
    bool fromStart = false;  // PLAY with "from 0"
    bool hasFrom = false;    // PLAY with any "from N"
    uint64_t from = 0;
};

// Parses one command string. False for anything outside the vocabulary.
bool ParseMciCommand(const char* text, MciCommand* out);

// What plays the music of the open file. Load checks the file and prepares it (false with the
// reason in *error; true with *error set when the file plays but is damaged); Start plays it
// from its beginning; Pause and Resume hold and continue it; Ended is true once the piece has
// played to its end (only asked while playing); Unload lets the file go.
class MusicOutput {
public:
    virtual ~MusicOutput() = default;
    virtual bool Load(const std::string& gamePath, std::string* error) = 0;
    virtual void Start() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual bool Ended() = 0;
    virtual void Unload() = 0;
};

// Keeps time without sound: the piece lasts as long as our MIDI reader says, on the given
// millisecond clock (virtual in headless runs, real when the device has no music).
class SimulatedMusic : public MusicOutput {
public:
    explicit SimulatedMusic(std::function<uint32_t()> clock) : clock_(std::move(clock)) {}
    bool Load(const std::string& gamePath, std::string* error) override;
    void Start() override;
    void Pause() override;
    void Resume() override;
    bool Ended() override;
    void Unload() override;
    uint32_t LengthMs() const { return lengthMs_; }

    // For tests and fuzzing: takes a length instead of reading a file.
    void LoadLength(uint32_t lengthMs) { lengthMs_ = lengthMs; }

private:
    uint32_t Position() const;

    std::function<uint32_t()> clock_;
    uint32_t lengthMs_ = 0;
    bool running_ = false;
    uint32_t startedAt_ = 0;  // clock value at which position 0 would have been
    uint32_t heldAt_ = 0;     // position while paused
};

// One alias at a time, as the game uses it.
class MciDevice {
public:
    explicit MciDevice(std::unique_ptr<MusicOutput> output) : output_(std::move(output)) {}
    // Runs one command; the reply text ("" for all but status) goes to *reply.
    uint32_t Send(const char* command, std::string* reply);
    bool IsOpen() const { return open_; }
    // Moves the device onto another output (the sound device went away, or came back): the
    // open piece is loaded there, and one that was playing starts again from its beginning
    // (the outputs share no position); the commands and replies go on as before.
    void ReplaceOutput(std::unique_ptr<MusicOutput> output);

private:
    uint32_t Run(const MciCommand& command, std::string* reply);

    std::unique_ptr<MusicOutput> output_;
    bool open_ = false;
    std::string alias_;
    std::string file_;      // the open piece
    bool playing_ = false;  // started and neither stopped nor found at its end
    bool paused_ = false;   // stopped part-way: a plain "play" continues from there
    bool atEnd_ = false;
};
