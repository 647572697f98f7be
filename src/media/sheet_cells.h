#pragma once
// Every named cell of the four picture sheets, in one table: the game draws from these cells,
// the data generator paints into them, and the data tests check that each one holds opaque
// pixels, so a cell the game uses can never be left empty or drawn from the wrong place.
// Header-only and constexpr, so the game's cells are compile-time rectangles.

#include <array>
#include <cstddef>

#include "platform/core/platform.h"

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

// Sizes of the families of cells that the game picks from by number.
constexpr int DIGIT_CELL_COUNT = 10;   // digits 0..9 of one style
constexpr int ICON_CELL_COUNT = 8;     // the kinds pawn .. king
constexpr int TILE_CELL_COUNT = 10;    // board tile styles
constexpr int FRAME_CELL_COUNT = 4;    // frames of the motes, cursors, flames and title pointer
constexpr int RANK_CELL_COUNT = 15;    // rank pictures, rank 0 first
constexpr int PICTURE_CELL_COUNT = 3;  // the title's burning pictures
// The kind labels that the L key lays on the tokens: 19 glyphs (the eight kinds with both kings,
// their promoted forms in red, and a neutral mark for a kind byte that names no kind), each in
// two inks, one for pale tokens and one for deep ones.
constexpr int KIND_LABEL_GLYPH_COUNT = 19;
constexpr int KIND_LABEL_INK_COUNT = 2;
constexpr int KIND_LABEL_CELL_COUNT = KIND_LABEL_GLYPH_COUNT * KIND_LABEL_INK_COUNT;
// The board coordinates that the N key shows along the board's near edges: the numerals 1..9.
constexpr int COORDINATE_CELL_COUNT = 9;

// The cells by name; a family is its first cell plus an index.
enum SheetCellId : int {
    // ETC.bmp: board, markers, digits, labels, banners.
    CELL_REACH_MARKER,
    CELL_REACH_MASK,
    CELL_TURN_BANNER_0,  // + side
    CELL_TURN_BANNER_1,
    CELL_CURSOR_SQUARE,
    CELL_DIGIT2_0,                                     // + digit: the digits of style 2
    CELL_DIGIT1_0 = CELL_DIGIT2_0 + DIGIT_CELL_COUNT,  // + digit: the digits of style 1
    CELL_PLATE = CELL_DIGIT1_0 + DIGIT_CELL_COUNT,
    CELL_CLOCK_LABEL,
    CELL_POINTS_LABEL,
    CELL_MATERIAL_LABEL,
    CELL_SQUARE_LABEL,
    CELL_VALUE_LABEL,
    CELL_UNIT_LABEL,
    CELL_TURN_LABEL,
    CELL_SCORE_LABEL,
    CELL_RANK_LABEL,
    CELL_SEPARATOR,
    CELL_ICON_0,  // + kind - 1
    CELL_PROMOTE = CELL_ICON_0 + ICON_CELL_COUNT,
    CELL_KEEP,
    CELL_TILE_0,  // + tile style
    CELL_BANNER_A = CELL_TILE_0 + TILE_CELL_COUNT,
    CELL_BANNER_B,
    CELL_KIND_LABEL_0,  // + ink * KIND_LABEL_GLYPH_COUNT + glyph
    CELL_LAST_MOVE = CELL_KIND_LABEL_0 + KIND_LABEL_CELL_COUNT,
    CELL_COORDINATE_1,  // + number - 1
    // COLOR.bmp: one side's sprites, recoloured per side.
    CELL_MOTE_0 = CELL_COORDINATE_1 + COORDINATE_CELL_COUNT,  // + frame
    CELL_LEFT_ARROW = CELL_MOTE_0 + FRAME_CELL_COUNT,
    CELL_RIGHT_ARROW,
    CELL_PIECE_0,  // + side
    CELL_PIECE_1,
    CELL_PAD_TILE,
    CELL_TALL_1,
    CELL_TALL_0,
    CELL_PORTRAIT,
    CELL_ORBIT,
    CELL_HAND_BUTTON,
    CELL_CURSOR_0,                                    // + frame
    CELL_FLAME_0 = CELL_CURSOR_0 + FRAME_CELL_COUNT,  // + frame
    // RANK.bmp: fifteen rank pictures, rank 0 top left.
    CELL_RANK_0 = CELL_FLAME_0 + FRAME_CELL_COUNT,  // + rank
    // TITLE.bmp: burning pictures, items, pointer, logo, caption.
    CELL_PICTURE_1 = CELL_RANK_0 + RANK_CELL_COUNT,  // + picture - 1
    CELL_PICTURE_2,
    CELL_PICTURE_3,
    CELL_START_ITEM,
    CELL_QUIT_ITEM,
    CELL_POINTER_0,  // + frame
    CELL_LOGO = CELL_POINTER_0 + FRAME_CELL_COUNT,
    CELL_CAPTION,
    SHEET_CELL_COUNT
};

struct ArtCell {
    int id;  // its SheetCellId, which is also its place in ART_CELLS
    ArtSheet sheet;
    const char* name;
    int x, y, w, h;
};

// clang-format off
constexpr ArtCell ART_CELLS[SHEET_CELL_COUNT] = {
    // --- ETC.bmp ---------------------------------------------------------------------------
    {CELL_REACH_MARKER, SHEET_ETC, "reach marker", 0, 0, 64, 32},
    {CELL_REACH_MASK, SHEET_ETC, "reach mask", 64, 0, 64, 32},
    {CELL_TURN_BANNER_0, SHEET_ETC, "turn banner 0", 160, 0, 64, 32},
    {CELL_TURN_BANNER_1, SHEET_ETC, "turn banner 1", 224, 0, 64, 32},
    {CELL_CURSOR_SQUARE, SHEET_ETC, "cursor square", 64, 32, 64, 32},
    {CELL_DIGIT2_0 + 0, SHEET_ETC, "digit2 0", 160, 32, 16, 16},
    {CELL_DIGIT2_0 + 1, SHEET_ETC, "digit2 1", 176, 32, 16, 16},
    {CELL_DIGIT2_0 + 2, SHEET_ETC, "digit2 2", 192, 32, 16, 16},
    {CELL_DIGIT2_0 + 3, SHEET_ETC, "digit2 3", 208, 32, 16, 16},
    {CELL_DIGIT2_0 + 4, SHEET_ETC, "digit2 4", 224, 32, 16, 16},
    {CELL_DIGIT2_0 + 5, SHEET_ETC, "digit2 5", 240, 32, 16, 16},
    {CELL_DIGIT2_0 + 6, SHEET_ETC, "digit2 6", 256, 32, 16, 16},
    {CELL_DIGIT2_0 + 7, SHEET_ETC, "digit2 7", 272, 32, 16, 16},
    {CELL_DIGIT2_0 + 8, SHEET_ETC, "digit2 8", 288, 32, 16, 16},
    {CELL_DIGIT2_0 + 9, SHEET_ETC, "digit2 9", 304, 32, 16, 16},
    {CELL_DIGIT1_0 + 0, SHEET_ETC, "digit1 0", 160, 48, 16, 16},
    {CELL_DIGIT1_0 + 1, SHEET_ETC, "digit1 1", 176, 48, 16, 16},
    {CELL_DIGIT1_0 + 2, SHEET_ETC, "digit1 2", 192, 48, 16, 16},
    {CELL_DIGIT1_0 + 3, SHEET_ETC, "digit1 3", 208, 48, 16, 16},
    {CELL_DIGIT1_0 + 4, SHEET_ETC, "digit1 4", 224, 48, 16, 16},
    {CELL_DIGIT1_0 + 5, SHEET_ETC, "digit1 5", 240, 48, 16, 16},
    {CELL_DIGIT1_0 + 6, SHEET_ETC, "digit1 6", 256, 48, 16, 16},
    {CELL_DIGIT1_0 + 7, SHEET_ETC, "digit1 7", 272, 48, 16, 16},
    {CELL_DIGIT1_0 + 8, SHEET_ETC, "digit1 8", 288, 48, 16, 16},
    {CELL_DIGIT1_0 + 9, SHEET_ETC, "digit1 9", 304, 48, 16, 16},
    {CELL_PLATE, SHEET_ETC, "plate", 0, 64, 160, 64},
    {CELL_CLOCK_LABEL, SHEET_ETC, "clock label", 160, 64, 80, 20},
    {CELL_POINTS_LABEL, SHEET_ETC, "points label", 240, 64, 40, 20},
    {CELL_MATERIAL_LABEL, SHEET_ETC, "material label", 280, 64, 40, 20},
    {CELL_SQUARE_LABEL, SHEET_ETC, "square label", 160, 84, 40, 20},
    {CELL_VALUE_LABEL, SHEET_ETC, "value label", 200, 84, 40, 20},
    {CELL_UNIT_LABEL, SHEET_ETC, "unit label", 240, 84, 40, 20},
    {CELL_TURN_LABEL, SHEET_ETC, "turn label", 280, 84, 40, 20},
    {CELL_SCORE_LABEL, SHEET_ETC, "score label", 160, 104, 60, 20},
    {CELL_RANK_LABEL, SHEET_ETC, "rank label", 220, 104, 40, 20},
    {CELL_SEPARATOR, SHEET_ETC, "separator", 260, 104, 16, 16},
    {CELL_ICON_0 + 0, SHEET_ETC, "icon pawn", 0, 128, 32, 32},
    {CELL_ICON_0 + 1, SHEET_ETC, "icon lance", 32, 128, 32, 32},
    {CELL_ICON_0 + 2, SHEET_ETC, "icon knight", 64, 128, 32, 32},
    {CELL_ICON_0 + 3, SHEET_ETC, "icon silver", 96, 128, 32, 32},
    {CELL_ICON_0 + 4, SHEET_ETC, "icon gold", 128, 128, 32, 32},
    {CELL_ICON_0 + 5, SHEET_ETC, "icon rook", 160, 128, 32, 32},
    {CELL_ICON_0 + 6, SHEET_ETC, "icon bishop", 192, 128, 32, 32},
    {CELL_ICON_0 + 7, SHEET_ETC, "icon king", 224, 128, 32, 32},
    {CELL_PROMOTE, SHEET_ETC, "promote", 256, 128, 32, 32},
    {CELL_KEEP, SHEET_ETC, "keep", 288, 128, 32, 32},
    {CELL_TILE_0 + 0, SHEET_ETC, "tile 0", 0, 160, 64, 48},
    {CELL_TILE_0 + 1, SHEET_ETC, "tile 1", 64, 160, 64, 48},
    {CELL_TILE_0 + 2, SHEET_ETC, "tile 2", 128, 160, 64, 48},
    {CELL_TILE_0 + 3, SHEET_ETC, "tile 3", 192, 160, 64, 48},
    {CELL_TILE_0 + 4, SHEET_ETC, "tile 4", 256, 160, 64, 48},
    {CELL_TILE_0 + 5, SHEET_ETC, "tile 5", 0, 208, 64, 48},
    {CELL_TILE_0 + 6, SHEET_ETC, "tile 6", 64, 208, 64, 48},
    {CELL_TILE_0 + 7, SHEET_ETC, "tile 7", 128, 208, 64, 48},
    {CELL_TILE_0 + 8, SHEET_ETC, "tile 8", 192, 208, 64, 48},
    {CELL_TILE_0 + 9, SHEET_ETC, "tile 9", 256, 208, 64, 48},
    {CELL_BANNER_A, SHEET_ETC, "banner A", 0, 256, 128, 240},
    {CELL_BANNER_B, SHEET_ETC, "banner B", 128, 256, 128, 240},
    {CELL_KIND_LABEL_0 + 0, SHEET_ETC, "label pale pawn", 256, 256, 16, 16},
    {CELL_KIND_LABEL_0 + 1, SHEET_ETC, "label pale lance", 272, 256, 16, 16},
    {CELL_KIND_LABEL_0 + 2, SHEET_ETC, "label pale knight", 288, 256, 16, 16},
    {CELL_KIND_LABEL_0 + 3, SHEET_ETC, "label pale silver", 304, 256, 16, 16},
    {CELL_KIND_LABEL_0 + 4, SHEET_ETC, "label pale gold", 256, 272, 16, 16},
    {CELL_KIND_LABEL_0 + 5, SHEET_ETC, "label pale rook", 272, 272, 16, 16},
    {CELL_KIND_LABEL_0 + 6, SHEET_ETC, "label pale bishop", 288, 272, 16, 16},
    {CELL_KIND_LABEL_0 + 7, SHEET_ETC, "label pale king", 304, 272, 16, 16},
    {CELL_KIND_LABEL_0 + 8, SHEET_ETC, "label pale jewel", 256, 288, 16, 16},
    {CELL_KIND_LABEL_0 + 9, SHEET_ETC, "label pale tokin", 272, 288, 16, 16},
    {CELL_KIND_LABEL_0 + 10, SHEET_ETC, "label pale narikyo", 288, 288, 16, 16},
    {CELL_KIND_LABEL_0 + 11, SHEET_ETC, "label pale narikei", 304, 288, 16, 16},
    {CELL_KIND_LABEL_0 + 12, SHEET_ETC, "label pale narigin", 256, 304, 16, 16},
    {CELL_KIND_LABEL_0 + 13, SHEET_ETC, "label pale gold red", 272, 304, 16, 16},
    {CELL_KIND_LABEL_0 + 14, SHEET_ETC, "label pale dragon", 288, 304, 16, 16},
    {CELL_KIND_LABEL_0 + 15, SHEET_ETC, "label pale horse", 304, 304, 16, 16},
    {CELL_KIND_LABEL_0 + 16, SHEET_ETC, "label pale king red", 256, 320, 16, 16},
    {CELL_KIND_LABEL_0 + 17, SHEET_ETC, "label pale jewel red", 272, 320, 16, 16},
    {CELL_KIND_LABEL_0 + 18, SHEET_ETC, "label pale neutral", 288, 320, 16, 16},
    {CELL_KIND_LABEL_0 + 19, SHEET_ETC, "label deep pawn", 304, 320, 16, 16},
    {CELL_KIND_LABEL_0 + 20, SHEET_ETC, "label deep lance", 256, 336, 16, 16},
    {CELL_KIND_LABEL_0 + 21, SHEET_ETC, "label deep knight", 272, 336, 16, 16},
    {CELL_KIND_LABEL_0 + 22, SHEET_ETC, "label deep silver", 288, 336, 16, 16},
    {CELL_KIND_LABEL_0 + 23, SHEET_ETC, "label deep gold", 304, 336, 16, 16},
    {CELL_KIND_LABEL_0 + 24, SHEET_ETC, "label deep rook", 256, 352, 16, 16},
    {CELL_KIND_LABEL_0 + 25, SHEET_ETC, "label deep bishop", 272, 352, 16, 16},
    {CELL_KIND_LABEL_0 + 26, SHEET_ETC, "label deep king", 288, 352, 16, 16},
    {CELL_KIND_LABEL_0 + 27, SHEET_ETC, "label deep jewel", 304, 352, 16, 16},
    {CELL_KIND_LABEL_0 + 28, SHEET_ETC, "label deep tokin", 256, 368, 16, 16},
    {CELL_KIND_LABEL_0 + 29, SHEET_ETC, "label deep narikyo", 272, 368, 16, 16},
    {CELL_KIND_LABEL_0 + 30, SHEET_ETC, "label deep narikei", 288, 368, 16, 16},
    {CELL_KIND_LABEL_0 + 31, SHEET_ETC, "label deep narigin", 304, 368, 16, 16},
    {CELL_KIND_LABEL_0 + 32, SHEET_ETC, "label deep gold red", 256, 384, 16, 16},
    {CELL_KIND_LABEL_0 + 33, SHEET_ETC, "label deep dragon", 272, 384, 16, 16},
    {CELL_KIND_LABEL_0 + 34, SHEET_ETC, "label deep horse", 288, 384, 16, 16},
    {CELL_KIND_LABEL_0 + 35, SHEET_ETC, "label deep king red", 304, 384, 16, 16},
    {CELL_KIND_LABEL_0 + 36, SHEET_ETC, "label deep jewel red", 256, 400, 16, 16},
    {CELL_KIND_LABEL_0 + 37, SHEET_ETC, "label deep neutral", 272, 400, 16, 16},
    {CELL_LAST_MOVE, SHEET_ETC, "last move", 0, 32, 64, 32},
    {CELL_COORDINATE_1 + 0, SHEET_ETC, "coordinate 1", 256, 416, 12, 12},
    {CELL_COORDINATE_1 + 1, SHEET_ETC, "coordinate 2", 268, 416, 12, 12},
    {CELL_COORDINATE_1 + 2, SHEET_ETC, "coordinate 3", 280, 416, 12, 12},
    {CELL_COORDINATE_1 + 3, SHEET_ETC, "coordinate 4", 292, 416, 12, 12},
    {CELL_COORDINATE_1 + 4, SHEET_ETC, "coordinate 5", 304, 416, 12, 12},
    {CELL_COORDINATE_1 + 5, SHEET_ETC, "coordinate 6", 256, 428, 12, 12},
    {CELL_COORDINATE_1 + 6, SHEET_ETC, "coordinate 7", 268, 428, 12, 12},
    {CELL_COORDINATE_1 + 7, SHEET_ETC, "coordinate 8", 280, 428, 12, 12},
    {CELL_COORDINATE_1 + 8, SHEET_ETC, "coordinate 9", 292, 428, 12, 12},
    // --- COLOR.bmp -------------------------------------------------------------------------
    {CELL_MOTE_0 + 0, SHEET_COLOR, "mote 0", 32, 0, 32, 32},
    {CELL_MOTE_0 + 1, SHEET_COLOR, "mote 1", 64, 0, 32, 32},
    {CELL_MOTE_0 + 2, SHEET_COLOR, "mote 2", 96, 0, 32, 32},
    {CELL_MOTE_0 + 3, SHEET_COLOR, "mote 3", 128, 0, 32, 32},
    {CELL_LEFT_ARROW, SHEET_COLOR, "left arrow", 0, 32, 16, 16},
    {CELL_RIGHT_ARROW, SHEET_COLOR, "right arrow", 16, 32, 16, 16},
    {CELL_PIECE_0, SHEET_COLOR, "piece 0", 32, 32, 32, 32},
    {CELL_PIECE_1, SHEET_COLOR, "piece 1", 64, 32, 32, 32},
    {CELL_PAD_TILE, SHEET_COLOR, "pad tile", 96, 32, 32, 32},
    {CELL_TALL_1, SHEET_COLOR, "tall 1", 160, 0, 64, 64},
    {CELL_TALL_0, SHEET_COLOR, "tall 0", 288, 0, 64, 64},
    {CELL_PORTRAIT, SHEET_COLOR, "portrait", 352, 0, 64, 64},
    {CELL_ORBIT, SHEET_COLOR, "orbit", 32, 64, 32, 32},
    {CELL_HAND_BUTTON, SHEET_COLOR, "hand button", 64, 64, 32, 32},
    {CELL_CURSOR_0 + 0, SHEET_COLOR, "cursor 0", 160, 64, 32, 32},
    {CELL_CURSOR_0 + 1, SHEET_COLOR, "cursor 1", 192, 64, 32, 32},
    {CELL_CURSOR_0 + 2, SHEET_COLOR, "cursor 2", 224, 64, 32, 32},
    {CELL_CURSOR_0 + 3, SHEET_COLOR, "cursor 3", 256, 64, 32, 32},
    {CELL_FLAME_0 + 0, SHEET_COLOR, "flame 0", 288, 64, 32, 32},
    {CELL_FLAME_0 + 1, SHEET_COLOR, "flame 1", 320, 64, 32, 32},
    {CELL_FLAME_0 + 2, SHEET_COLOR, "flame 2", 352, 64, 32, 32},
    {CELL_FLAME_0 + 3, SHEET_COLOR, "flame 3", 384, 64, 32, 32},
    // --- RANK.bmp --------------------------------------------------------------------------
    {CELL_RANK_0 + 0, SHEET_RANK, "rank 0", 0, 0, 128, 64},
    {CELL_RANK_0 + 1, SHEET_RANK, "rank 1", 128, 0, 128, 64},
    {CELL_RANK_0 + 2, SHEET_RANK, "rank 2", 256, 0, 128, 64},
    {CELL_RANK_0 + 3, SHEET_RANK, "rank 3", 384, 0, 128, 64},
    {CELL_RANK_0 + 4, SHEET_RANK, "rank 4", 512, 0, 128, 64},
    {CELL_RANK_0 + 5, SHEET_RANK, "rank 5", 0, 64, 128, 64},
    {CELL_RANK_0 + 6, SHEET_RANK, "rank 6", 128, 64, 128, 64},
    {CELL_RANK_0 + 7, SHEET_RANK, "rank 7", 256, 64, 128, 64},
    {CELL_RANK_0 + 8, SHEET_RANK, "rank 8", 384, 64, 128, 64},
    {CELL_RANK_0 + 9, SHEET_RANK, "rank 9", 512, 64, 128, 64},
    {CELL_RANK_0 + 10, SHEET_RANK, "rank 10", 0, 128, 128, 64},
    {CELL_RANK_0 + 11, SHEET_RANK, "rank 11", 128, 128, 128, 64},
    {CELL_RANK_0 + 12, SHEET_RANK, "rank 12", 256, 128, 128, 64},
    {CELL_RANK_0 + 13, SHEET_RANK, "rank 13", 384, 128, 128, 64},
    {CELL_RANK_0 + 14, SHEET_RANK, "rank 14", 512, 128, 128, 64},
    // --- TITLE.bmp -------------------------------------------------------------------------
    {CELL_PICTURE_1, SHEET_TITLE, "picture 1", 0, 0, 200, 200},
    {CELL_PICTURE_2, SHEET_TITLE, "picture 2", 200, 0, 200, 200},
    {CELL_PICTURE_3, SHEET_TITLE, "picture 3", 400, 0, 200, 200},
    {CELL_START_ITEM, SHEET_TITLE, "start item", 0, 200, 100, 50},
    {CELL_QUIT_ITEM, SHEET_TITLE, "quit item", 300, 200, 100, 50},
    {CELL_POINTER_0 + 0, SHEET_TITLE, "pointer 0", 400, 200, 32, 32},
    {CELL_POINTER_0 + 1, SHEET_TITLE, "pointer 1", 432, 200, 32, 32},
    {CELL_POINTER_0 + 2, SHEET_TITLE, "pointer 2", 464, 200, 32, 32},
    {CELL_POINTER_0 + 3, SHEET_TITLE, "pointer 3", 496, 200, 32, 32},
    {CELL_LOGO, SHEET_TITLE, "logo", 0, 250, 256, 30},
    {CELL_CAPTION, SHEET_TITLE, "caption", 400, 240, 162, 16},
};
// clang-format on

constexpr size_t ART_CELL_COUNT = sizeof(ART_CELLS) / sizeof(ART_CELLS[0]);

namespace sheet_cells_detail {
// Every row stands at the place its id names, so ART_CELLS[id] is the cell of that id.
consteval bool RowsInIdOrder() {
    for (size_t i = 0; i < ART_CELL_COUNT; ++i) {
        if (ART_CELLS[i].id != static_cast<int>(i)) return false;
    }
    return true;
}
static_assert(RowsInIdOrder(), "ART_CELLS rows must follow SheetCellId");

consteval std::array<Rect, SHEET_CELL_COUNT> CellRects() {
    std::array<Rect, SHEET_CELL_COUNT> rects{};
    for (size_t i = 0; i < ART_CELL_COUNT; ++i) {
        const ArtCell& c = ART_CELLS[i];
        rects[i] = Rect{c.x, c.y, c.x + c.w, c.y + c.h};
    }
    return rects;
}
inline constexpr std::array<Rect, SHEET_CELL_COUNT> CELL_RECTS = CellRects();
inline constexpr Rect NO_CELL{};
}  // namespace sheet_cells_detail

// The rectangle of a cell, (left, top)-(right, bottom) with right and bottom exclusive. The
// rectangles live for the whole program, so their addresses may be handed to the blits.
constexpr const Rect& CellRect(int id) { return sheet_cells_detail::CELL_RECTS[id]; }

// Cell `index` of the family of `count` cells that starts at `first`; an empty rectangle, which
// every blit refuses, for an index outside the family.
constexpr const Rect& FamilyCellRect(int first, int index, int count) {
    if (index < 0 || index >= count) return sheet_cells_detail::NO_CELL;
    return CellRect(first + index);
}

// The first cell of a sheet with this name, or nullptr.
constexpr const ArtCell* FindArtCell(ArtSheet sheet, const char* name) {
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
