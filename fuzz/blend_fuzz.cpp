// libFuzzer target: the blend-file reader on arbitrary file contents, for a table of 256
// entries (the game reads its 65536 the same way). Each input is read twice, into
// tables filled with two different patterns, which shows which entries the reader wrote: they
// must be a run from the first entry, the fields that are well formed from the start of the file
// must land exactly, and the reader must count those fields as well formed and no others.
#include <stdio.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "media/blend.h"

namespace {

constexpr int FIELDS = 256;

struct Reading {
    std::vector<uint8_t> table;
    int wellFormed = 0;
};

Reading Read(const std::string& text, uint8_t fill) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back(0);  // fmemopen wants a buffer even for an empty file
    FILE* file = fmemopen(copy.data(), text.size(), "r");
    FUZZ_CHECK(file != nullptr);
    Reading reading;
    reading.table.resize(FIELDS);  // exactly the entries asked for: AddressSanitizer guards the end
    for (int i = 0; i < FIELDS; ++i) reading.table[i] = static_cast<uint8_t>(fill + i);
    reading.wellFormed = ReadBlendFields(file, reading.table.data(), FIELDS);
    fclose(file);
    return reading;
}

// One field as the format has it: white space, then a sign and digits of at most three
// characters, then a comma at once. Gives its value, or -1 with pos anywhere.
int WellFormedField(const std::string& text, size_t* pos) {
    size_t p = *pos;
    while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p]))) ++p;
    bool negative = false;
    size_t width = 0;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) {
        negative = text[p] == '-';
        ++p, ++width;
    }
    int value = 0;
    size_t digits = 0;
    for (; width < 3 && p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p, ++width) {
        value = value * 10 + (text[p] - '0');
        ++digits;
    }
    if (digits == 0 || p >= text.size() || text[p] != ',') return -1;
    *pos = p + 1;
    return (negative ? -value : value) & 0xFF;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Reading a = Read(text, 0);
    const Reading b = Read(text, 128);  // differs from a's fill in every entry
    FUZZ_CHECK(a.wellFormed == b.wellFormed);

    // An entry was written when both reads agree on it; the written entries form a run from
    // the first, since a field without a number stops the read.
    int written = 0;
    while (written < FIELDS && a.table[written] == b.table[written]) ++written;
    for (int i = written; i < FIELDS; ++i) FUZZ_CHECK(a.table[i] != b.table[i]);

    size_t pos = 0;
    int wellFormed = 0;
    for (int value; wellFormed < FIELDS && (value = WellFormedField(text, &pos)) >= 0;
         ++wellFormed) {
        FUZZ_CHECK(wellFormed < written && a.table[wellFormed] == value);
    }
    FUZZ_CHECK(a.wellFormed == wellFormed);
    return 0;
}
