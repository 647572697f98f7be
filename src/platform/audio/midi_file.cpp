// Standard MIDI File timing: header, tracks, running status, tempo map, total length.
#include "platform/audio/midi_file.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t DEFAULT_TEMPO_US = 500000;  // 120 beats per minute
constexpr size_t MAX_MIDI_FILE_BYTES = 16u << 20;

struct TempoChange {
    uint64_t tick;
    uint32_t microsPerQuarter;
};

// A bounds-checked cursor over one byte range.
class ByteCursor {
public:
    ByteCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Left() const { return size_ - pos_; }
    bool Byte(uint8_t* out) {
        if (pos_ >= size_) return false;
        *out = data_[pos_++];
        return true;
    }
    bool Peek(uint8_t* out) const {
        if (pos_ >= size_) return false;
        *out = data_[pos_];
        return true;
    }
    bool Skip(uint64_t count) {
        if (count > Left()) return false;
        pos_ += static_cast<size_t>(count);
        return true;
    }
    bool Be16(uint16_t* out) {
        if (Left() < 2) return false;
        *out = static_cast<uint16_t>(data_[pos_] << 8 | data_[pos_ + 1]);
        pos_ += 2;
        return true;
    }
    bool Be32(uint32_t* out) {
        if (Left() < 4) return false;
        const uint8_t* p = data_ + pos_;
        *out = static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
               static_cast<uint32_t>(p[2]) << 8 | p[3];
        pos_ += 4;
        return true;
    }
    bool Tag(const char* expected) {
        if (Left() < 4) return false;
        bool same = std::equal(expected, expected + 4, data_ + pos_);
        pos_ += 4;
        return same;
    }
    // A variable-length quantity: at most four bytes, seven bits each.
    bool Vlq(uint32_t* out) {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b = 0;
            if (!Byte(&b)) return false;
            value = value << 7 | (b & 0x7F);
            if ((b & 0x80) == 0) {
                *out = value;
                return true;
            }
        }
        return false;
    }
    const uint8_t* Here() const { return data_ + pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Walks one track's events. Returns the tick at which the track ends (its End of Track event,
// or the last complete event when the track is damaged) and appends its tempo changes.
uint64_t ReadTrack(ByteCursor track, std::vector<TempoChange>* tempos, bool* damaged) {
    uint64_t tick = 0;
    uint8_t running = 0;
    while (track.Left() > 0) {
        uint32_t delta = 0;
        if (!track.Vlq(&delta)) break;
        uint64_t eventTick = tick + delta;
        uint8_t status = 0;
        if (!track.Peek(&status)) break;
        if (status & 0x80) {
            track.Byte(&status);
        } else if (running != 0) {
            status = running;  // running status: the data byte stays in place
        } else {
            break;
        }
        if (status < 0xF0) {
            running = status;
            int dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2;  // program change, channel pressure
            if (!track.Skip(static_cast<uint64_t>(dataBytes))) break;
        } else if (status == 0xF0 || status == 0xF7) {
            running = 0;
            uint32_t length = 0;
            if (!track.Vlq(&length) || !track.Skip(length)) break;
        } else if (status == 0xFF) {
            uint8_t type = 0;
            uint32_t length = 0;
            if (!track.Byte(&type) || !track.Vlq(&length) || length > track.Left()) break;
            const uint8_t* body = track.Here();
            track.Skip(length);
            if (type == 0x51 && length >= 3) {
                uint32_t tempo = static_cast<uint32_t>(body[0]) << 16 | body[1] << 8 | body[2];
                tempos->push_back({eventTick, tempo});
            }
            if (type == 0x2F) return eventTick;
        } else {
            break;  // system real-time and common bytes have no place in a file
        }
        tick = eventTick;
    }
    *damaged = true;
    return tick;
}

// Reads the header chunk into info; false with *error when the file is not one we play.
bool ReadHeader(ByteCursor* file, MidiFileInfo* info, std::string* error) {
    uint32_t headerLength = 0;
    if (!file->Tag("MThd") || !file->Be32(&headerLength) || headerLength < 6 ||
        headerLength > file->Left()) {
        *error = "no MIDI header";
        return false;
    }
    ByteCursor header(file->Here(), headerLength);
    file->Skip(headerLength);
    header.Be16(&info->format);
    header.Be16(&info->trackCount);
    header.Be16(&info->division);
    if (info->format > 1) {
        *error = "MIDI format " + std::to_string(info->format) + " is not played";
        return false;
    }
    if (info->division == 0) {
        *error = "MIDI time division is 0";
        return false;
    }
    return true;
}

// Walks the chunks after the header: each track's end and tempo changes are taken, other
// chunks skipped, and a chunk or track cut short marks the file truncated.
void ReadTracks(ByteCursor* file, MidiFileInfo* info, std::vector<TempoChange>* tempos) {
    while (info->tracksRead < info->trackCount && file->Left() >= 8) {
        bool isTrack = file->Tag("MTrk");
        uint32_t length = 0;
        file->Be32(&length);
        uint64_t available = std::min<uint64_t>(length, file->Left());
        if (available < length) info->truncated = true;
        if (isTrack) {
            bool damaged = false;
            ByteCursor track(file->Here(), static_cast<size_t>(available));
            uint64_t end = ReadTrack(track, tempos, &damaged);
            info->endTick = std::max(info->endTick, end);
            info->truncated = info->truncated || damaged;
            ++info->tracksRead;
        }
        file->Skip(available);
    }
}

// Playing time in microseconds up to endTick: the tempo map integrated over the ticks. Tempo
// changes of all tracks apply (format 1 keeps them in the first track; a stable sort keeps
// same-tick changes in order).
unsigned __int128 PlayingMicros(const MidiFileInfo& info, std::vector<TempoChange>* tempos) {
    if (info.division & 0x8000) {
        // SMPTE time: frames per second times ticks per frame, tempo does not matter.
        int framesPerSecond = -static_cast<int8_t>(info.division >> 8);
        int ticksPerFrame = info.division & 0xFF;
        uint64_t ticksPerSecond = static_cast<uint64_t>(std::max(framesPerSecond, 1)) *
                                  static_cast<uint64_t>(std::max(ticksPerFrame, 1));
        return static_cast<unsigned __int128>(info.endTick) * 1000000u / ticksPerSecond;
    }
    auto earlier = [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; };
    std::stable_sort(tempos->begin(), tempos->end(), earlier);
    unsigned __int128 scaled = 0;  // microseconds times ticks per quarter
    uint64_t tick = 0;
    uint32_t tempo = DEFAULT_TEMPO_US;
    for (const TempoChange& change : *tempos) {
        if (change.tick >= info.endTick) break;
        scaled += static_cast<unsigned __int128>(change.tick - tick) * tempo;
        tick = change.tick;
        tempo = change.microsPerQuarter;
    }
    scaled += static_cast<unsigned __int128>(info.endTick - tick) * tempo;
    return scaled / info.division;
}

}  // namespace

bool ReadMidiFile(const uint8_t* data, size_t size, MidiFileInfo* info, std::string* error) {
    *info = MidiFileInfo{};
    if (size == 0) {
        *error = "the file is empty";
        return false;
    }
    ByteCursor file(data, size);
    if (!ReadHeader(&file, info, error)) return false;
    std::vector<TempoChange> tempos;
    ReadTracks(&file, info, &tempos);
    if (info->tracksRead == 0) {
        *error = "no MIDI track";
        return false;
    }
    if (info->tracksRead < info->trackCount) info->truncated = true;
    const unsigned __int128 micros = PlayingMicros(*info, &tempos);
    info->tempoChanges = static_cast<uint32_t>(tempos.size());
    unsigned __int128 ms = (micros + 999) / 1000;
    info->lengthMs = ms > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(ms);
    return true;
}

bool ReadMidiFileAt(const std::string& hostPath, MidiFileInfo* info, std::string* error,
                    std::vector<uint8_t>* bytes) {
    std::FILE* file = std::fopen(hostPath.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot open the file";
        return false;
    }
    std::vector<uint8_t> read;
    uint8_t block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        if (read.size() + got > MAX_MIDI_FILE_BYTES) {
            std::fclose(file);
            *error = "larger than 16 MiB";
            return false;
        }
        read.insert(read.end(), block, block + got);
    }
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError) {
        *error = "cannot read the file";
        return false;
    }
    if (!ReadMidiFile(read.data(), read.size(), info, error)) return false;
    if (bytes != nullptr) *bytes = std::move(read);
    return true;
}
