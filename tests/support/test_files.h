#pragma once
// Helpers for tests that need files: BMP bytes, temporary directories and running the game.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/core/platform.h"

namespace testfiles {

// The id of a process that has ended and been reaped, so that no process runs under it (ids are
// handed out in turn, so it is not soon taken again).
inline pid_t EndedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

// The name WriteFileWhole gives its temporary while it writes name in process pid.
inline std::string PartName(const std::string& name, pid_t pid, const std::string& serial = "0") {
    return name + "." + std::to_string(pid) + "-" + serial + ".part";
}

inline void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(v & 0xFF);
    b.push_back(v >> 8);
}
inline void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF);
}

// An 8-bit BMP with 256 colours; colour i = (i, 255 - i, i / 2). pixel(x, y) = (x + y * 3) & 255
// with y counted from the top. topDown writes a negative height.
inline std::vector<uint8_t> MakeBmp(int width, int height, bool topDown = false) {
    const uint32_t stride = (static_cast<uint32_t>(width) + 3) & ~3u;
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, 54 + 1024 + stride * height);
    Put32(b, 0);
    Put32(b, 54 + 1024);
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(width));
    Put32(b, static_cast<uint32_t>(topDown ? -height : height));
    Put16(b, 1);
    Put16(b, 8);
    Put32(b, 0);
    Put32(b, stride * height);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 256);
    Put32(b, 0);
    for (int i = 0; i < 256; ++i) {
        b.push_back(static_cast<uint8_t>(i / 2));    // blue
        b.push_back(static_cast<uint8_t>(255 - i));  // green
        b.push_back(static_cast<uint8_t>(i));        // red
        b.push_back(0);
    }
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        for (uint32_t x = 0; x < stride; ++x) {
            b.push_back(x < static_cast<uint32_t>(width) ? static_cast<uint8_t>((x + y * 3) & 255)
                                                         : 0);
        }
    }
    return b;
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh empty directory under the system's temporary directory.
inline std::filesystem::path FreshDir(const std::string& name) {
    // The process id keeps runs from different build trees (and ctest's parallel jobs) apart.
    auto dir = std::filesystem::temp_directory_path() /
               ("kelmorav-test-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// A fresh directory under the system's temporary folder, removed with the object.
class TempDir {
public:
    explicit TempDir(const std::string& name) : path_(FreshDir(name)) {}
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // Writes a file below the directory (creating its folders) and returns its path.
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const auto file = path_ / name;
        WriteFile(file, bytes);
        return file.string();
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Runs code with the working directory set to dir, restoring it afterwards.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::filesystem::path& dir) : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~ScopedCwd() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

// A data directory with every picture the game loads (synthetic pictures of the right sizes),
// empty sound and music folders, and no blend table yet: the game builds it at start-up.
inline std::filesystem::path MakeTestDataDir(const std::string& name) {
    const auto dir = FreshDir(name);
    WriteFile(dir / "DATA/BMP/RANK.bmp", MakeBmp(640, 192));
    WriteFile(dir / "DATA/BMP/ETC.bmp", MakeBmp(320, 496));
    WriteFile(dir / "DATA/BMP/COLOR.bmp", MakeBmp(416, 96));
    WriteFile(dir / "DATA/BMP/TITLE.bmp", MakeBmp(600, 280));
    for (int i = 1; i <= 16; ++i) {
        WriteFile(dir / ("DATA/BMP/FIRE" + std::to_string(i) + ".bmp"), MakeBmp(4, 4));
    }
    for (const char* folder : {"DATA/TXT", "DATA/SOUND", "DATA/BGM"}) {
        std::filesystem::create_directories(dir / folder);
    }
    return dir;
}

}  // namespace testfiles
