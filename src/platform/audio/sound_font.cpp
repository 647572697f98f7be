// The General MIDI sound font the music plays with: where it is looked for, and the check that a
// file is one FluidSynth can take.
#include "platform/audio/sound_font.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

bool Readable(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

struct Chunk {
    char id[5] = {};
    uint64_t start = 0;  // of the chunk's data
    uint32_t size = 0;
};

bool ReadChunk(std::ifstream& in, uint64_t at, uint64_t end, Chunk* out) {
    uint8_t header[8];
    if (at + 8 > end) return false;
    in.seekg(static_cast<std::streamoff>(at));
    if (!in.read(reinterpret_cast<char*>(header), 8)) return false;
    std::memcpy(out->id, header, 4);
    out->size = Le32(header + 4);
    out->start = at + 8;
    return out->start + out->size <= end;
}

bool ReadTag(std::ifstream& in, uint64_t at, char tag[5]) {
    in.seekg(static_cast<std::streamoff>(at));
    tag[4] = 0;
    return static_cast<bool>(in.read(tag, 4));
}

// The nine tables of the preset data, with the size of one record of each.
std::string PresetDataFault(std::ifstream& in, const Chunk& pdta) {
    static const struct {
        const char* id;
        uint32_t record;
    } tables[] = {{"phdr", 38}, {"pbag", 4},  {"pmod", 10}, {"pgen", 4}, {"inst", 22},
                  {"ibag", 4},  {"imod", 10}, {"igen", 4},  {"shdr", 46}};
    uint64_t at = pdta.start + 4;
    const uint64_t end = pdta.start + pdta.size;
    for (const auto& table : tables) {
        Chunk c;
        if (!ReadChunk(in, at, end, &c) || std::strcmp(c.id, table.id) != 0) {
            return std::string("its preset data lacks the ") + table.id + " table";
        }
        if (c.size < table.record || c.size % table.record != 0) {
            return std::string("its ") + table.id + " table holds no whole records";
        }
        at = c.start + c.size;
    }
    return "";
}

// The first .sf2 of a folder, in name order ("" for none). A folder that vanishes or cannot be
// read is just empty.
std::string FirstFontIn(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code error;
    std::filesystem::directory_iterator entry(folder, error), end;
    for (; !error && entry != end; entry.increment(error)) {
        std::string path = entry->path().string();
        if (path.size() > 4 && path.compare(path.size() - 4, 4, ".sf2") == 0 && Readable(path)) {
            found.push_back(path);
        }
    }
    std::sort(found.begin(), found.end());
    return found.empty() ? "" : found.front();
}

// Why a listed or found file cannot be the font, or "".
std::string FontFault(const std::string& path) {
    if (!Readable(path)) return "no such file";
    return SoundFontFault(path);
}

}  // namespace

std::string SoundFontFault(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot be read";
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 12) return "not a sound font";
    uint8_t header[12];
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(header), 12) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "sfbk", 4) != 0) {
        return "not a sound font";
    }
    const uint64_t end = static_cast<uint64_t>(Le32(header + 4)) + 8;
    if (end != static_cast<uint64_t>(size)) {
        return "cut short or padded: " + std::to_string(size) + " bytes where its header says " +
               std::to_string(end);
    }
    static const char* const lists[] = {"INFO", "sdta", "pdta"};
    uint64_t at = 12;
    for (const char* list : lists) {
        Chunk c;
        char tag[5];
        if (!ReadChunk(in, at, end, &c) || std::strcmp(c.id, "LIST") != 0 || c.size < 4 ||
            !ReadTag(in, c.start, tag) || std::strcmp(tag, list) != 0) {
            return std::string("its ") + list + " list is missing or damaged";
        }
        if (std::strcmp(list, "pdta") == 0) {
            if (std::string fault = PresetDataFault(in, c); !fault.empty()) return fault;
        }
        at = c.start + c.size + (c.size & 1u);
    }
    return "";
}

std::string ChooseSoundFont(const char* listed, const std::vector<std::string>& preferred,
                            const std::vector<std::string>& folders, std::string* note) {
    note->clear();
    const std::string noMusic = "; the game runs without music";
    if (listed != nullptr && *listed) {
        // The player's own choice: its good fonts, and never another.
        std::string good;
        std::string firstBad;
        const std::string all = listed;
        size_t start = 0;
        while (start <= all.size()) {
            size_t end = all.find(';', start);
            if (end == std::string::npos) end = all.size();
            const std::string one = all.substr(start, end - start);
            start = end + 1;
            if (one.empty()) continue;
            const std::string fault = FontFault(one);
            if (fault.empty()) {
                good += (good.empty() ? "" : ";") + one;
            } else if (firstBad.empty()) {
                firstBad = one;
                firstBad += ": ";
                firstBad += fault;
            }
        }
        if (good.empty()) {
            *note = "kelmorav: SDL_SOUNDFONTS names no sound font (" +
                    (firstBad.empty() ? all : firstBad) + ")" + noMusic;
        } else if (!firstBad.empty()) {
            *note = "kelmorav: SDL_SOUNDFONTS: leaving out " + firstBad;
        }
        return good;
    }
    std::vector<std::string> candidates = preferred;
    for (const std::string& folder : folders) candidates.push_back(FirstFontIn(folder));
    std::string firstBad;
    for (const std::string& path : candidates) {
        if (path.empty() || !Readable(path)) continue;
        const std::string fault = SoundFontFault(path);
        if (fault.empty()) {
            if (!firstBad.empty()) *note = "kelmorav: leaving out the sound font " + firstBad;
            return path;
        }
        if (firstBad.empty()) {
            firstBad = path;
            firstBad += " (";
            firstBad += fault;
            firstBad += ")";
        }
    }
    *note = firstBad.empty() ? "kelmorav: no General MIDI sound font found" + noMusic
                             : "kelmorav: the sound font " + firstBad + " is damaged" + noMusic;
    return "";
}

std::string FindSoundFont(std::string* note) {
    return ChooseSoundFont(
        std::getenv("SDL_SOUNDFONTS"),
        {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2"},
        {"/usr/share/sounds/sf2", "/usr/share/soundfonts"}, note);
}
