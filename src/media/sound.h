#pragma once
// Sound effects: the RIFF WAVE reader, voice loading and playing.

#include <cstdint>
#include <cstdio>
#include <string>

#include "media/resources.h"
#include "platform/core/platform.h"

// Loads one WAV file into a new voice. A file that is missing or cannot be read leaves *voice
// null (that role stays silent) with one line on stderr.
void LoadVoice(Voice** voice, const char* path);
// Plays the voice once (or looping) while SoundOn is set; a voice still sounding is not restarted.
void PlayVoice(Voice* voice, bool loop);

// Reads the header and the sample data of one RIFF WAVE file. Every chunk size is checked
// against the file's real length, so a damaged file fails (or is cut short) instead of reading
// past its end or asking for memory it does not describe.
class WaveReader {
public:
    WaveReader() = default;
    ~WaveReader();
    WaveReader(const WaveReader&) = delete;
    WaveReader& operator=(const WaveReader&) = delete;

    // Opens a game path ("DATA\SOUND\PON.wav"), reads the header and finds the sample data.
    bool Open(const char* path);
    // The same on a file the reader takes over (closed by the reader, also on failure).
    bool OpenFile(std::FILE* file);
    // Positions at the start of the sample data.
    bool Reset();
    // Copies up to count bytes of sample data into buffer; the number copied, or -1 when the
    // file ends early.
    int64_t Read(uint32_t count, uint8_t* buffer);
    void Close();

    // Valid after a successful Open.
    const WaveFormat& Format() const { return format_; }
    // Bytes of sample data left to read (after Reset: all of it).
    uint32_t DataLeft() const { return dataLeft_; }
    // The "data" chunk claimed more bytes than the file holds; DataLeft counts only those held.
    bool DataCutShort() const { return dataCutShort_; }
    uint32_t DataClaimed() const { return dataClaimed_; }
    // Why the last Open or Reset failed.
    const std::string& Error() const { return error_; }

private:
    struct Chunk {
        uint64_t dataOffset = 0;  // first byte after the chunk header
        uint32_t size = 0;        // as written in the file
    };
    bool ReadHeader();
    bool FindChunk(const char* id, uint64_t from, Chunk* found);
    bool ReadAt(uint64_t offset, void* buffer, size_t count);
    bool Fail(const std::string& why);

    std::FILE* file_ = nullptr;
    uint64_t fileSize_ = 0;
    uint64_t riffEnd_ = 0;  // end of the RIFF chunk, within the file
    WaveFormat format_;
    bool hasFormat_ = false;
    uint64_t dataPos_ = 0;
    uint32_t dataLeft_ = 0;
    uint32_t dataClaimed_ = 0;
    bool dataCutShort_ = false;
    std::string error_;
};

// Start-up: loads the thirteen roles from DATA\SOUND in order, makes SFX_PON2 voices 1 to 5 as
// duplicates of voice 0, and labels every voice for the trace.
void LoadAllVoices();
// Quit: releases every voice in the quit order and clears the handles (a second call does
// nothing).
void ReleaseAllVoices();

// The trace name of a role ("SFX_CLICK"); "" outside the roles.
const char* SoundRoleName(int role);
// The file a role is loaded from ("DATA\SOUND\CLICK.wav").
const char* SoundRoleFile(int role);

// The PON2 voice a point mote in slot 0..9 plays when it arrives. Slots 0..5 play their own
// voice. Slots 6..9 have none of their own: such a slot plays voice (slot mod 6) when that voice
// is quiet, otherwise the next quiet voice after it (wrapping round), so its arrival stays
// silent only while all six voices are sounding.
Voice* MoteArrivalVoice(int slot);
