#pragma once
// Every rectangle the game draws from the four picture sheets, in one table. The sheet writers
// paint into these cells and the data tests check that each one holds opaque pixels, so a cell
// the game uses can never be left empty. Header-only so that the tests can include it.

#include <array>
#include <cstddef>

enum ArtSheet { SHEET_ETC, SHEET_COLOR, SHEET_RANK, SHEET_TITLE, ART_SHEET_COUNT };

struct ArtSheetInfo {
    const char* file;  // name under DATA/BMP
    int width;
    int height;
};

constexpr ArtSheetInfo ART_SHEETS[ART_SHEET_COUNT] = {
    {"ETC.bmp", 320, 496},
    {"COLOR.bmp", 416, 96},
    {"RANK.bmp", 640, 192},
    {"TITLE.bmp", 600, 280},
};

struct ArtCell {
    ArtSheet sheet;
    const char* name;
    int x, y, w, h;
};

// clang-format off
constexpr ArtCell ART_CELLS[] = {
    // --- ETC.bmp: board, markers, digits, labels, banners -------------------------------
    {SHEET_ETC, "reach marker", 0, 0, 64, 32},
    {SHEET_ETC, "reach mask", 64, 0, 64, 32},
    {SHEET_ETC, "turn banner 0", 160, 0, 64, 32},
    {SHEET_ETC, "turn banner 1", 224, 0, 64, 32},
    {SHEET_ETC, "cursor square", 64, 32, 64, 32},
    {SHEET_ETC, "digit2 0", 160, 32, 16, 16}, {SHEET_ETC, "digit2 1", 176, 32, 16, 16},
    {SHEET_ETC, "digit2 2", 192, 32, 16, 16}, {SHEET_ETC, "digit2 3", 208, 32, 16, 16},
    {SHEET_ETC, "digit2 4", 224, 32, 16, 16}, {SHEET_ETC, "digit2 5", 240, 32, 16, 16},
    {SHEET_ETC, "digit2 6", 256, 32, 16, 16}, {SHEET_ETC, "digit2 7", 272, 32, 16, 16},
    {SHEET_ETC, "digit2 8", 288, 32, 16, 16}, {SHEET_ETC, "digit2 9", 304, 32, 16, 16},
    {SHEET_ETC, "digit1 0", 160, 48, 16, 16}, {SHEET_ETC, "digit1 1", 176, 48, 16, 16},
    {SHEET_ETC, "digit1 2", 192, 48, 16, 16}, {SHEET_ETC, "digit1 3", 208, 48, 16, 16},
    {SHEET_ETC, "digit1 4", 224, 48, 16, 16}, {SHEET_ETC, "digit1 5", 240, 48, 16, 16},
    {SHEET_ETC, "digit1 6", 256, 48, 16, 16}, {SHEET_ETC, "digit1 7", 272, 48, 16, 16},
    {SHEET_ETC, "digit1 8", 288, 48, 16, 16}, {SHEET_ETC, "digit1 9", 304, 48, 16, 16},
    {SHEET_ETC, "plate", 0, 64, 160, 64},
    {SHEET_ETC, "clock label", 160, 64, 80, 20},
    {SHEET_ETC, "points label", 240, 64, 40, 20},
    {SHEET_ETC, "material label", 280, 64, 40, 20},
    {SHEET_ETC, "square label", 160, 84, 40, 20},
    {SHEET_ETC, "value label", 200, 84, 40, 20},
    {SHEET_ETC, "unit label", 240, 84, 40, 20},
    {SHEET_ETC, "turn label", 280, 84, 40, 20},
    {SHEET_ETC, "score label", 160, 104, 60, 20},
    {SHEET_ETC, "rank label", 220, 104, 40, 20},
    {SHEET_ETC, "separator", 260, 104, 16, 16},
    {SHEET_ETC, "icon pawn", 0, 128, 32, 32}, {SHEET_ETC, "icon lance", 32, 128, 32, 32},
    {SHEET_ETC, "icon knight", 64, 128, 32, 32}, {SHEET_ETC, "icon silver", 96, 128, 32, 32},
    {SHEET_ETC, "icon gold", 128, 128, 32, 32}, {SHEET_ETC, "icon rook", 160, 128, 32, 32},
    {SHEET_ETC, "icon bishop", 192, 128, 32, 32}, {SHEET_ETC, "icon king", 224, 128, 32, 32},
    {SHEET_ETC, "promote", 256, 128, 32, 32},
    {SHEET_ETC, "keep", 288, 128, 32, 32},
    {SHEET_ETC, "tile 0", 0, 160, 64, 48}, {SHEET_ETC, "tile 1", 64, 160, 64, 48},
    {SHEET_ETC, "tile 2", 128, 160, 64, 48}, {SHEET_ETC, "tile 3", 192, 160, 64, 48},
    {SHEET_ETC, "tile 4", 256, 160, 64, 48}, {SHEET_ETC, "tile 5", 0, 208, 64, 48},
    {SHEET_ETC, "tile 6", 64, 208, 64, 48}, {SHEET_ETC, "tile 7", 128, 208, 64, 48},
    {SHEET_ETC, "tile 8", 192, 208, 64, 48}, {SHEET_ETC, "tile 9", 256, 208, 64, 48},
    {SHEET_ETC, "banner A", 0, 256, 128, 240},
    {SHEET_ETC, "banner B", 128, 256, 128, 240},
    // --- COLOR.bmp: one side's sprites, recoloured per side ---------------------------------
    {SHEET_COLOR, "mote 0", 32, 0, 32, 32}, {SHEET_COLOR, "mote 1", 64, 0, 32, 32},
    {SHEET_COLOR, "mote 2", 96, 0, 32, 32}, {SHEET_COLOR, "mote 3", 128, 0, 32, 32},
    {SHEET_COLOR, "left arrow", 0, 32, 16, 16},
    {SHEET_COLOR, "right arrow", 16, 32, 16, 16},
    {SHEET_COLOR, "piece 0", 32, 32, 32, 32},
    {SHEET_COLOR, "piece 1", 64, 32, 32, 32},
    {SHEET_COLOR, "pad tile", 96, 32, 32, 32},
    {SHEET_COLOR, "tall 1", 160, 0, 64, 64},
    {SHEET_COLOR, "tall 0", 288, 0, 64, 64},
    {SHEET_COLOR, "portrait", 352, 0, 64, 64},
    {SHEET_COLOR, "orbit", 32, 64, 32, 32},
    {SHEET_COLOR, "hand button", 64, 64, 32, 32},
    {SHEET_COLOR, "cursor 0", 160, 64, 32, 32}, {SHEET_COLOR, "cursor 1", 192, 64, 32, 32},
    {SHEET_COLOR, "cursor 2", 224, 64, 32, 32}, {SHEET_COLOR, "cursor 3", 256, 64, 32, 32},
    {SHEET_COLOR, "flame 0", 288, 64, 32, 32}, {SHEET_COLOR, "flame 1", 320, 64, 32, 32},
    {SHEET_COLOR, "flame 2", 352, 64, 32, 32}, {SHEET_COLOR, "flame 3", 384, 64, 32, 32},
    // --- RANK.bmp: fifteen rank pictures, rank 0 top left -----------------------------------
    {SHEET_RANK, "rank 0", 0, 0, 128, 64}, {SHEET_RANK, "rank 1", 128, 0, 128, 64},
    {SHEET_RANK, "rank 2", 256, 0, 128, 64}, {SHEET_RANK, "rank 3", 384, 0, 128, 64},
    {SHEET_RANK, "rank 4", 512, 0, 128, 64}, {SHEET_RANK, "rank 5", 0, 64, 128, 64},
    {SHEET_RANK, "rank 6", 128, 64, 128, 64}, {SHEET_RANK, "rank 7", 256, 64, 128, 64},
    {SHEET_RANK, "rank 8", 384, 64, 128, 64}, {SHEET_RANK, "rank 9", 512, 64, 128, 64},
    {SHEET_RANK, "rank 10", 0, 128, 128, 64}, {SHEET_RANK, "rank 11", 128, 128, 128, 64},
    {SHEET_RANK, "rank 12", 256, 128, 128, 64}, {SHEET_RANK, "rank 13", 384, 128, 128, 64},
    {SHEET_RANK, "rank 14", 512, 128, 128, 64},
    // --- TITLE.bmp: burning pictures, items, pointer, logo, caption ------------------------
    {SHEET_TITLE, "picture 1", 0, 0, 200, 200},
    {SHEET_TITLE, "picture 2", 200, 0, 200, 200},
    {SHEET_TITLE, "picture 3", 400, 0, 200, 200},
    {SHEET_TITLE, "start item", 0, 200, 100, 50},
    {SHEET_TITLE, "quit item", 300, 200, 100, 50},
    {SHEET_TITLE, "pointer 0", 400, 200, 32, 32}, {SHEET_TITLE, "pointer 1", 432, 200, 32, 32},
    {SHEET_TITLE, "pointer 2", 464, 200, 32, 32}, {SHEET_TITLE, "pointer 3", 496, 200, 32, 32},
    {SHEET_TITLE, "logo", 0, 250, 256, 30},
    {SHEET_TITLE, "caption", 400, 240, 162, 16},
};
// clang-format on

constexpr size_t ART_CELL_COUNT = sizeof(ART_CELLS) / sizeof(ART_CELLS[0]);

// The first cell of a sheet with this name, or nullptr.
inline const ArtCell* FindArtCell(ArtSheet sheet, const char* name) {
    for (const ArtCell& c : ART_CELLS) {
        if (c.sheet != sheet) continue;
        const char* a = c.name;
        const char* b = name;
        while (*a && *a == *b) {
            ++a;
            ++b;
        }
        if (*a == 0 && *b == 0) return &c;
    }
    return nullptr;
}
