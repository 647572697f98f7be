// libFuzzer target: the opening-layout reader on arbitrary file contents. The input is checked
// against a small model of the format: the groups that are whole from the start of the file
// must land in their slots exactly, a file that is whole and sound must read without a word and
// any other must say what is odd in one line, slots outside the layout's are never touched, and
// what was read, written out again, reads back the same.
#include <stdio.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "rules/board.h"
#include "rules/setup.h"

namespace {

constexpr uint8_t UNTOUCHED = 0xA5;  // what the slots outside the layout's hold before a read

int LayoutSlot(int group) {
    return group < LAYOUT_PIECES_PER_SIDE ? group
                                          : SIDE_SLOT_COUNT + group - LAYOUT_PIECES_PER_SIDE;
}

bool IsLayoutSlot(int slot) { return slot % SIDE_SLOT_COUNT < LAYOUT_PIECES_PER_SIDE; }

// The format as the reader takes it: white space, then a sign and digits of at most nine
// characters, then (inside a group) a comma at once.
class Model {
public:
    explicit Model(const std::string& text) : text_(text) {}

    // Reads one whole group; false, with the position anywhere, when it is not whole.
    bool Group(int32_t field[4]) {
        for (int i = 0; i < 4; ++i) {
            if (!Number(&field[i])) return false;
            if (i < 3 && !Take(',')) return false;
        }
        // The group's own final comma may be left out, but only before white space or the end
        // of the file: anything else would be read as the start of the next number.
        if (Take(',')) return true;
        sound_ = sound_ && (pos_ == text_.size() || IsSpace(text_[pos_]));
        return true;
    }

    bool RestIsBlank() const {
        return std::all_of(text_.begin() + pos_, text_.end(), [](char c) { return IsSpace(c); });
    }
    bool Sound() const { return sound_; }

private:
    static bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    bool Take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) return ++pos_, true;
        return false;
    }

    bool Number(int32_t* out) {
        while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
        size_t width = 0;
        bool negative = false;
        if (pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) {
            negative = text_[pos_] == '-';
            ++pos_, ++width;
        }
        int64_t value = 0;
        size_t digits = 0;
        for (; width < 9 && pos_ < text_.size() && IsDigit(text_[pos_]); ++pos_, ++width) {
            value = value * 10 + (text_[pos_] - '0');
            ++digits;
        }
        *out = static_cast<int32_t>(negative ? -value : value);
        return digits > 0;
    }

    const std::string& text_;
    size_t pos_ = 0;
    bool sound_ = true;
};

struct Reading {
    std::vector<PieceRecord> slots;
    std::string problems;
};

// Reads text into a table whose layout slots are cleared, as a match load leaves them.
Reading Read(const std::string& text) {
    std::memset(PieceTable, UNTOUCHED, sizeof PieceTable);
    for (int group = 0; group < LAYOUT_GROUP_COUNT; ++group) PieceTable[LayoutSlot(group)] = {};
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back(0);  // fmemopen wants a buffer even for an empty file
    FILE* file = fmemopen(copy.data(), text.size(), "r");
    FUZZ_CHECK(file != nullptr);
    Reading reading;
    reading.problems = ReadLayout(file);
    fclose(file);
    reading.slots.assign(std::begin(PieceTable), std::end(PieceTable));
    return reading;
}

bool Same(const PieceRecord& a, const PieceRecord& b) {
    return a.x == b.x && a.y == b.y && a.value == b.value && a.kind == b.kind;
}

bool KnownKind(uint8_t kind) {
    const int low = kind & KIND_MASK;
    return (kind & ~(KIND_MASK | KIND_PROMOTED)) == 0 && low >= KIND_PAWN && low <= KIND_KING;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Reading reading = Read(text);

    PieceRecord untouched;
    std::memset(&untouched, UNTOUCHED, sizeof untouched);
    for (int slot = 0; slot < PIECE_SLOT_COUNT; ++slot) {
        if (!IsLayoutSlot(slot)) FUZZ_CHECK(Same(reading.slots[slot], untouched));
    }

    // The groups that are whole from the start are read exactly: the kind keeps its low eight
    // bits, a live piece's value is held to 0..MAX_LAYOUT_VALUE.
    Model model(text);
    int whole = 0;
    bool odd = false;
    bool king[2] = {false, false};
    std::set<std::pair<int32_t, int32_t>> held;  // squares a live piece stands on
    for (; whole < LAYOUT_GROUP_COUNT; ++whole) {
        int32_t field[4];
        if (!model.Group(field)) break;
        const uint8_t kind = static_cast<uint8_t>(field[2]);
        int32_t value = field[3];
        if (kind != KIND_NONE) {
            odd = odd || !OnBoard(field[0], field[1]) || !KnownKind(kind) || value < 0 ||
                  value > MAX_LAYOUT_VALUE;
            value = std::clamp(value, 0, MAX_LAYOUT_VALUE);
            if ((kind & KIND_MASK) == KIND_KING) king[whole / LAYOUT_PIECES_PER_SIDE] = true;
            if (OnBoard(field[0], field[1]) && !held.insert({field[0], field[1]}).second) {
                odd = true;  // two pieces on one square
            }
        }
        const PieceRecord& got = reading.slots[LayoutSlot(whole)];
        FUZZ_CHECK(got.x == field[0] && got.y == field[1] && got.kind == kind &&
                   got.value == value);
    }
    odd = odd || whole < LAYOUT_GROUP_COUNT || !model.Sound() || !model.RestIsBlank() || !king[0] ||
          !king[1];

    // Silent exactly when the file is whole and sound; a complaint is one line.
    FUZZ_CHECK(reading.problems.empty() == !odd);
    FUZZ_CHECK(reading.problems.find_first_of("\r\n") == std::string::npos);

    // The table written out in the file's own format reads back the same, and nothing in that
    // file is malformed or missing.
    std::string again;
    for (int group = 0; group < LAYOUT_GROUP_COUNT; ++group) {
        const PieceRecord& p = reading.slots[LayoutSlot(group)];
        again += std::to_string(p.x) + "," + std::to_string(p.y) + "," + std::to_string(p.kind) +
                 "," + std::to_string(p.value) + ",\n";
    }
    const Reading reread = Read(again);
    for (int slot = 0; slot < PIECE_SLOT_COUNT; ++slot) {
        FUZZ_CHECK(Same(reread.slots[slot], reading.slots[slot]));
    }
    FUZZ_CHECK(reread.problems.find("malformed") == std::string::npos &&
               reread.problems.find("groups") == std::string::npos &&
               reread.problems.find("ignored") == std::string::npos);
    return 0;
}
