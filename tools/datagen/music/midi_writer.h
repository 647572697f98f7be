#pragma once
// A Standard MIDI File writer for the game's background music: tracks of timed events (notes,
// program and control changes, tempo and time signature) written as format 1 at PPQ ticks per
// quarter note.

#include <cstdint>
#include <string>
#include <vector>

namespace musicgen {

constexpr long PPQ = 480;
constexpr long SIXTEENTH = PPQ / 4;
constexpr long EIGHTH = PPQ / 2;
constexpr long BAR = 4 * PPQ;  // every piece is in 4/4

// General MIDI programs used by the pieces (0-based).
constexpr int GM_HARP = 46;
constexpr int GM_TIMPANI = 47;
constexpr int GM_STRINGS = 48;
constexpr int GM_SLOW_STRINGS = 49;
constexpr int GM_CHOIR = 52;
constexpr int GM_CONTRABASS = 43;
constexpr int GM_FLUTE = 73;
constexpr int GM_SHAKUHACHI = 77;
constexpr int GM_WARM_PAD = 89;
constexpr int GM_HALO_PAD = 94;
constexpr int GM_SHAMISEN = 106;
constexpr int GM_KOTO = 107;
constexpr int GM_TAIKO = 116;
constexpr int PERCUSSION_CHANNEL = 9;

constexpr int CC_VOLUME = 7;
constexpr int CC_PAN = 10;
constexpr int CC_EXPRESSION = 11;
constexpr int CC_REVERB = 91;
constexpr int CC_CHORUS = 93;

class MidiTrack {
public:
    explicit MidiTrack(const std::string& name);

    void Tempo(long tick, double bpm);
    void TimeSignature(long tick, int numerator, int denominator);
    void Program(long tick, int channel, int program);
    void Control(long tick, int channel, int controller, int value);
    // Control values stepped every sixteenth from startValue at `from` to endValue at `to`:
    // crescendos and fades on expression.
    void ControlRamp(long from, long to, int channel, int controller, int startValue, int endValue);
    // A note of `duration` ticks; velocity is clamped to 1..127.
    void Note(long tick, long duration, int channel, int key, int velocity);

    // Tick of the last event written so far.
    long LastTick() const { return lastTick_; }
    // The chunk "MTrk" with every event in time order and End of Track at endTick (or at the
    // last event, if that is later).
    std::vector<uint8_t> Encode(long endTick) const;

private:
    struct Event {
        long tick;
        int order;  // at one tick: meta, then controls, then note-offs, then note-ons
        int sequence;
        std::vector<uint8_t> bytes;
    };
    void Add(long tick, int order, std::vector<uint8_t> bytes);

    std::vector<Event> events_;
    long lastTick_ = 0;
};

// Writes a format 1 file with the given tracks (the first holds tempo and metre), all ending at
// endTick. Returns false with one line on stderr when the file cannot be written.
bool WriteMidiFile(const std::string& path, const std::vector<MidiTrack>& tracks, long endTick);

}  // namespace musicgen
