// Sound effects: our RIFF WAVE reader over plain file input, loading a role's voice, playing it.
#include "media/sound.h"

#include <sys/types.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct RoleFile {
    const char* name;
    const char* path;
};

// In the order the voices are loaded at start-up.
constexpr RoleFile ROLE_FILES[SOUND_ROLE_COUNT] = {
    {"SFX_TITLE", "DATA\\SOUND\\TITLE.wav"},     {"SFX_FIRE", "DATA\\SOUND\\FIRE.wav"},
    {"SFX_CLICK", "DATA\\SOUND\\CLICK.wav"},     {"SFX_JUMP1", "DATA\\SOUND\\JUMP1.wav"},
    {"SFX_JUMP3", "DATA\\SOUND\\JUMP3.wav"},     {"SFX_EXPLOS1", "DATA\\SOUND\\EXPLOS1.wav"},
    {"SFX_PON", "DATA\\SOUND\\PON.wav"},         {"SFX_PON2", "DATA\\SOUND\\PON2.wav"},
    {"SFX_MAGIC", "DATA\\SOUND\\MAGIC.wav"},     {"SFX_WIBBLE", "DATA\\SOUND\\WIBBLE.wav"},
    {"SFX_CLOSE", "DATA\\SOUND\\CLOSE.wav"},     {"SFX_BANGER", "DATA\\SOUND\\BANGER.wav"},
    {"SFX_NOSOUND", "DATA\\SOUND\\NOSOUND.wav"},
};

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void ReleaseVoiceHandle(Voice*& handle) {
    if (handle != nullptr) {
        ReleaseSoundBuffer(handle);
        handle = nullptr;
    }
}

}  // namespace

// --- WaveReader --------------------------------------------------------------------------------

WaveReader::~WaveReader() { Close(); }

void WaveReader::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    format_ = WaveFormat{};
    hasFormat_ = false;
    fileSize_ = riffEnd_ = dataPos_ = 0;
    dataLeft_ = dataClaimed_ = 0;
    dataCutShort_ = false;
}

bool WaveReader::Fail(const std::string& why) {
    error_ = why;
    return false;
}

bool WaveReader::Open(const char* path) {
    Close();
    std::FILE* file = OpenGameFile(path, "rb");
    if (file == nullptr) return Fail("cannot open the file");
    return OpenFile(file);
}

bool WaveReader::OpenFile(std::FILE* file) {
    Close();
    error_.clear();
    if (file == nullptr) return Fail("cannot open the file");
    file_ = file;
    off_t size = -1;
    if (fseeko(file_, 0, SEEK_END) == 0) size = ftello(file_);
    if (size < 0) {
        Close();
        return Fail("cannot find the file's length");
    }
    fileSize_ = static_cast<uint64_t>(size);
    if (!ReadHeader() || !Reset()) {
        std::string why = error_;
        Close();
        return Fail(why);
    }
    return true;
}

bool WaveReader::ReadAt(uint64_t offset, void* buffer, size_t count) {
    if (offset > fileSize_ || count > fileSize_ - offset) return false;
    if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    return std::fread(buffer, 1, count, file_) == count;
}

// Searches the chunks of the RIFF body from `from` for `id`, stepping over others with their
// pad byte. Only chunk headers that lie wholly inside the RIFF chunk (and the file) count.
bool WaveReader::FindChunk(const char* id, uint64_t from, Chunk* found) {
    uint64_t pos = from;
    while (pos + 8 <= riffEnd_) {
        uint8_t header[8];
        if (!ReadAt(pos, header, sizeof header)) return false;
        uint32_t size = Le32(header + 4);
        if (std::memcmp(header, id, 4) == 0) {
            found->dataOffset = pos + 8;
            found->size = size;
            return true;
        }
        pos += 8 + static_cast<uint64_t>(size) + (size & 1u);
    }
    return false;
}

bool WaveReader::ReadHeader() {
    uint8_t riff[12];
    if (!ReadAt(0, riff, sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return Fail("not a RIFF WAVE file");
    }
    // A RIFF size past the end of the file (or near 2^32) is taken as "up to the end".
    riffEnd_ = std::min<uint64_t>(8 + static_cast<uint64_t>(Le32(riff + 4)), fileSize_);

    Chunk fmt;
    if (!FindChunk("fmt ", 12, &fmt)) return Fail("no \"fmt \" chunk");
    if (fmt.size < 16) return Fail("\"fmt \" chunk shorter than 16 bytes");
    uint64_t fmtEnd = std::min<uint64_t>(fmt.dataOffset + fmt.size, riffEnd_);
    uint8_t fields[16];
    if (fmt.dataOffset + 16 > fmtEnd || !ReadAt(fmt.dataOffset, fields, sizeof fields)) {
        return Fail("\"fmt \" chunk cut short");
    }
    WaveFormat format;
    format.formatTag = Le16(fields);
    format.channels = Le16(fields + 2);
    format.samplesPerSec = Le32(fields + 4);
    format.avgBytesPerSec = Le32(fields + 8);
    format.blockAlign = Le16(fields + 12);
    format.bitsPerSample = Le16(fields + 14);
    if (format.formatTag != 1) {
        // Other formats carry a count of extra format bytes, kept with the format.
        uint8_t count[2];
        if (fmt.dataOffset + 18 > fmtEnd || !ReadAt(fmt.dataOffset + 16, count, 2)) {
            return Fail("\"fmt \" chunk has no extra size");
        }
        uint16_t extra = Le16(count);
        if (fmt.dataOffset + 18 + extra > fmtEnd) return Fail("extra format bytes cut short");
        format.extra.resize(extra);
        if (extra > 0 && !ReadAt(fmt.dataOffset + 18, format.extra.data(), extra)) {
            return Fail("extra format bytes cut short");
        }
    }
    format_ = std::move(format);
    hasFormat_ = true;
    return true;
}

bool WaveReader::Reset() {
    if (file_ == nullptr || !hasFormat_) return Fail("no file open");
    Chunk data;
    if (!FindChunk("data", 12, &data)) return Fail("no \"data\" chunk");
    uint64_t held = riffEnd_ - data.dataOffset;
    dataPos_ = data.dataOffset;
    dataClaimed_ = data.size;
    dataCutShort_ = data.size > held;
    dataLeft_ = static_cast<uint32_t>(std::min<uint64_t>(data.size, held));
    return true;
}

int64_t WaveReader::Read(uint32_t count, uint8_t* buffer) {
    if (file_ == nullptr || buffer == nullptr) return -1;
    uint32_t n = std::min(count, dataLeft_);
    if (n == 0) return 0;
    if (fseeko(file_, static_cast<off_t>(dataPos_), SEEK_SET) != 0) return -1;
    size_t got = std::fread(buffer, 1, n, file_);
    dataPos_ += got;
    dataLeft_ -= static_cast<uint32_t>(got);
    return got == n ? static_cast<int64_t>(n) : -1;
}

// --- Voices ------------------------------------------------------------------------------------

void LoadVoice(Voice** voice, const char* path) {
    *voice = nullptr;
    WaveReader reader;
    if (!reader.Open(path)) {
        ReportFileProblem(path, reader.Error() + "; this sound stays silent");
        return;
    }
    const WaveFormat& format = reader.Format();
    Voice* made = CreateSoundBuffer(format, reader.DataLeft());
    if (made == nullptr) {
        char what[160];
        std::snprintf(what, sizeof what,
                      "cannot play format %u, %u channels, %u bits, %u Hz, %u bytes; this sound "
                      "stays silent",
                      format.formatTag, format.channels, format.bitsPerSample, format.samplesPerSec,
                      reader.DataLeft());
        ReportFileProblem(path, what);
        return;
    }
    if (reader.DataCutShort()) {
        ReportFileProblem(path, "sample data cut short (" + std::to_string(reader.DataLeft()) +
                                    " of " + std::to_string(reader.DataClaimed()) +
                                    " bytes); playing what is there");
    }
    uint8_t* data = nullptr;
    uint32_t bytes = 0;
    if (LockSoundBuffer(made, &data, &bytes)) {
        // A read that fails part-way leaves the rest of the voice silent.
        if (reader.Read(bytes, data) < 0) {
            ReportFileProblem(path, "read error in the sample data");
        }
        UnlockSoundBuffer(made);
    }
    *voice = made;
}

void PlayVoice(Voice* voice, bool loop) {
    if (SoundOn != 0) PlaySoundBuffer(voice, loop);
}

const char* SoundRoleName(int role) {
    return role >= 0 && role < SOUND_ROLE_COUNT ? ROLE_FILES[role].name : "";
}

const char* SoundRoleFile(int role) {
    return role >= 0 && role < SOUND_ROLE_COUNT ? ROLE_FILES[role].path : "";
}

void LoadAllVoices() {
    for (int role = 0; role < SOUND_ROLE_COUNT; ++role) {
        LoadVoice(&SoundVoice[role], ROLE_FILES[role].path);
        SetVoiceLabel(SoundVoice[role], ROLE_FILES[role].name, 0);
    }
    Pon2Voice[0] = SoundVoice[SFX_PON2];
    for (int i = 1; i < PON2_VOICE_COUNT; ++i) {
        Pon2Voice[i] = DuplicateSoundBuffer(Pon2Voice[0]);
        SetVoiceLabel(Pon2Voice[i], ROLE_FILES[SFX_PON2].name, i);
    }
}

void ReleaseAllVoices() {
    for (int role = 0; role < SOUND_ROLE_COUNT; ++role) {
        if (role == SFX_PON2) {
            for (Voice*& voice : Pon2Voice) ReleaseVoiceHandle(voice);
            SoundVoice[SFX_PON2] = nullptr;  // the same voice as Pon2Voice[0]
        } else {
            ReleaseVoiceHandle(SoundVoice[role]);
        }
    }
}

Voice* MoteArrivalVoice(int slot) {
    if (slot >= 0 && slot < PON2_VOICE_COUNT) return Pon2Voice[slot];
    int own = (slot % PON2_VOICE_COUNT + PON2_VOICE_COUNT) % PON2_VOICE_COUNT;
    for (int step = 0; step < PON2_VOICE_COUNT; ++step) {
        Voice* voice = Pon2Voice[(own + step) % PON2_VOICE_COUNT];
        if (voice != nullptr && !VoicePlaying(voice)) return voice;
    }
    return Pon2Voice[own];
}
