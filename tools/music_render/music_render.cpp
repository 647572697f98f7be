// Renders pieces of music through the game's synthesiser, without a sound device, into 16-bit
// stereo WAV files at 44100 Hz, for measuring their loudness (sox FILE -n stats). Each piece
// plays to its end and rings out for two seconds more, as the device would play it.
// Usage: kelmorav_music_render OUTDIR [DATA_DIR]   (DATA_DIR: the folder holding DATA)
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/audio/fluid_music.h"
#include "platform/audio/sound_font.h"

namespace {

constexpr int RATE = 44100;
constexpr int BLOCK = 1024;  // frames per call, as the device asks for them

void Put32(std::ofstream& out, uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); }
void Put16(std::ofstream& out, uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); }

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples) {
    std::ofstream out(path, std::ios::binary);
    const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    Put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 2);
    Put32(out, RATE);
    Put32(out, RATE * 4);
    Put16(out, 4);
    Put16(out, 16);
    out.write("data", 4);
    Put32(out, bytes);
    out.write(reinterpret_cast<const char*>(samples.data()), bytes);
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kelmorav_music_render OUTDIR [DATA_DIR]\n");
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[1]);
    std::filesystem::create_directories(out);
    if (argc > 2) std::filesystem::current_path(argv[2]);
    std::string note;
    const std::string font = FindSoundFont(&note);
    if (!note.empty()) std::fprintf(stderr, "%s\n", note.c_str());
    FluidMusic music(font, RATE);
    if (!music.WaitUntilLoaded()) return 1;
    for (int piece = 1; piece <= 3; ++piece) {
        const std::string name = "BGM" + std::to_string(piece);
        std::string error;
        if (!music.Load("DATA\\BGM\\" + name + ".mid", &error)) {
            std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
            return 1;
        }
        music.Start();
        std::vector<int16_t> samples;
        std::vector<int16_t> block(BLOCK * 2);
        long tail = -1;
        while (tail != 0) {
            music.Render(block.data(), BLOCK);
            samples.insert(samples.end(), block.begin(), block.end());
            if (tail < 0 && music.Ended()) tail = 2 * RATE / BLOCK;
            if (tail > 0) --tail;
        }
        music.Unload();
        const std::string path = (out / (name + ".wav")).string();
        if (!WriteWav(path, samples)) return 1;
        std::printf("%s %.3f s\n", path.c_str(), samples.size() / 2.0 / RATE);
    }
    std::printf("sound font loads: %d\n", SoundFontLoads());
    return 0;
}
