#pragma once
// Every word the picture sheets carry, with the cell it is painted in, as the Japanese sheets
// (DATA/BMP) and the English ones (DATA/BMP/EN) write it. The sheet writers take their words
// from here, so this is the whole list: a cell of the four sheets that no row names carries no
// word and is painted the same in both languages, pixel for pixel. Header-only and constexpr,
// so tests and tools can read the list without the generator.

#include <array>
#include <cstddef>

#include "media/sheet_cells.h"

// The two sets of sheets the generator writes.
enum SheetLanguage { SHEETS_JAPANESE, SHEETS_ENGLISH };

// What the English sheet makes of a word of the Japanese one.
enum WordTreatment {
    WORD_TRANSLATED,   // English text in the place and the style of the Japanese
    WORD_MARK,         // a drawn mark that carries no word (en says what it is)
    WORD_KEPT_AS_ART,  // a picture the player need not read, kept as on the Japanese sheet
};

struct SheetWord {
    int cell;          // SheetCellId of the cell it is painted in
    const char* part;  // which of the cell's words: "word", "subtitle", "seal"
    const char* ja;    // UTF-8, as the Japanese sheet paints it
    const char* en;    // as the English sheet paints it (for a mark, what the mark is)
    WordTreatment treatment;
};

namespace sheet_words_detail {

struct Pair {
    const char* ja;
    const char* en;
};

// The kind labels of the L key, in the order of their glyph cells (see sheet_cells.h): the
// eight kinds with the king of each side (二之方's 王, 一之方's 玉), their promoted forms in red
// (gold and the kings, which a layout may mark promoted, keep their own letter), and the
// neutral mark, which is no word and is left out. In English the kinds take the letters western
// players write them with, a promoted kind a "+" before its letter.
constexpr Pair KIND_LABELS[KIND_LABEL_GLYPH_COUNT - 1] = {
    {"歩", "P"},  {"香", "L"}, {"桂", "N"},  {"銀", "S"},  {"金", "G"},  {"飛", "R"},
    {"角", "B"},  {"王", "K"}, {"玉", "K"},  {"と", "+P"}, {"杏", "+L"}, {"圭", "+N"},
    {"全", "+S"}, {"金", "G"}, {"龍", "+R"}, {"馬", "+B"}, {"王", "K"},  {"玉", "K"},
};

// The kind icons of the placing panel and the info panel, pawn .. king.
constexpr Pair ICONS[ICON_CELL_COUNT] = {{"歩", "P"}, {"香", "L"}, {"桂", "N"}, {"銀", "S"},
                                         {"金", "G"}, {"飛", "R"}, {"角", "B"}, {"王", "K"}};

// The rank plaques, rank 0 first.
constexpr Pair RANKS[RANK_CELL_COUNT] = {
    {"入門", "Beginner"}, {"五級", "5 kyu"}, {"四級", "4 kyu"},  {"三級", "3 kyu"},
    {"二級", "2 kyu"},    {"一級", "1 kyu"}, {"初段", "1 dan"},  {"二段", "2 dan"},
    {"三段", "3 dan"},    {"四段", "4 dan"}, {"五段", "5 dan"},  {"六段", "6 dan"},
    {"七段", "7 dan"},    {"八段", "8 dan"}, {"名人", "Master"},
};

// Every other word, one row each.
constexpr SheetWord SINGLE_WORDS[] = {
    // ETC.bmp
    {CELL_TURN_BANNER_0, "word", "一之方", "First", WORD_TRANSLATED},
    {CELL_TURN_BANNER_1, "word", "二之方", "Second", WORD_TRANSLATED},
    {CELL_PLATE, "subtitle", "炎将棋", "Flame Shogi", WORD_TRANSLATED},
    {CELL_PLATE, "seal", "王", "K", WORD_TRANSLATED},
    {CELL_CLOCK_LABEL, "word", "消費時間", "Time used", WORD_TRANSLATED},
    {CELL_POINTS_LABEL, "word", "持点", "Points", WORD_TRANSLATED},
    {CELL_MATERIAL_LABEL, "word", "戦力", "Force", WORD_TRANSLATED},
    {CELL_SQUARE_LABEL, "word", "位置", "Square", WORD_TRANSLATED},
    {CELL_VALUE_LABEL, "word", "点数", "Worth", WORD_TRANSLATED},
    {CELL_UNIT_LABEL, "word", "点", "pts", WORD_TRANSLATED},
    {CELL_TURN_LABEL, "word", "手目", "Turn", WORD_TRANSLATED},
    {CELL_SCORE_LABEL, "word", "総得点", "Score", WORD_TRANSLATED},
    {CELL_RANK_LABEL, "word", "段位", "Rank", WORD_TRANSLATED},
    {CELL_PROMOTE, "word", "成", "+", WORD_TRANSLATED},
    {CELL_KEEP, "word", "不成", "Keep", WORD_TRANSLATED},
    {CELL_BANNER_A, "word", "対局", "MATCH", WORD_TRANSLATED},
    {CELL_BANNER_A, "seal", "印", "K", WORD_TRANSLATED},
    {CELL_BANNER_B, "word", "開始", "BEGINS", WORD_TRANSLATED},
    {CELL_BANNER_B, "seal", "印", "K", WORD_TRANSLATED},
    // COLOR.bmp
    {CELL_HAND_BUTTON, "word", "打", "H", WORD_TRANSLATED},
    {CELL_PORTRAIT, "word", "将", "flame crest", WORD_MARK},
    // TITLE.bmp
    {CELL_PICTURE_1, "word", "炎", "炎", WORD_KEPT_AS_ART},
    {CELL_PICTURE_2, "word", "王", "王", WORD_KEPT_AS_ART},
    {CELL_PICTURE_3, "word", "将", "将", WORD_KEPT_AS_ART},
    {CELL_START_ITEM, "word", "開始", "Start", WORD_TRANSLATED},
    {CELL_QUIT_ITEM, "word", "終了", "Quit", WORD_TRANSLATED},
    {CELL_CAPTION, "word", "炎の将棋  KELMORAV", "Flame Shogi  KELMORAV", WORD_TRANSLATED},
};

constexpr size_t LABEL_ROWS = std::size(KIND_LABELS) * KIND_LABEL_INK_COUNT;
constexpr size_t WORD_COUNT =
    std::size(SINGLE_WORDS) + std::size(ICONS) + std::size(RANKS) + LABEL_ROWS;

consteval std::array<SheetWord, WORD_COUNT> AllWords() {
    std::array<SheetWord, WORD_COUNT> rows{};
    size_t n = 0;
    for (const SheetWord& w : SINGLE_WORDS) rows[n++] = w;
    for (int k = 0; k < ICON_CELL_COUNT; ++k)
        rows[n++] = {CELL_ICON_0 + k, "word", ICONS[k].ja, ICONS[k].en, WORD_TRANSLATED};
    for (int ink = 0; ink < KIND_LABEL_INK_COUNT; ++ink)
        for (size_t g = 0; g < std::size(KIND_LABELS); ++g)
            rows[n++] = {CELL_KIND_LABEL_0 + ink * KIND_LABEL_GLYPH_COUNT + static_cast<int>(g),
                         "word", KIND_LABELS[g].ja, KIND_LABELS[g].en, WORD_TRANSLATED};
    for (int r = 0; r < RANK_CELL_COUNT; ++r)
        rows[n++] = {CELL_RANK_0 + r, "word", RANKS[r].ja, RANKS[r].en, WORD_TRANSLATED};
    return rows;
}

}  // namespace sheet_words_detail

inline constexpr std::array<SheetWord, sheet_words_detail::WORD_COUNT> SHEET_WORDS =
    sheet_words_detail::AllWords();

namespace sheet_words_detail {
// No Japanese is left on an English sheet but the pictures kept as art: every other English
// text is plain ASCII.
consteval bool EnglishIsLatin() {
    for (const SheetWord& w : SHEET_WORDS) {
        if (w.treatment == WORD_KEPT_AS_ART) continue;
        if (w.en[0] == 0) return false;
        for (const char* c = w.en; *c != 0; ++c)
            if (static_cast<unsigned char>(*c) >= 0x80) return false;
    }
    return true;
}
static_assert(EnglishIsLatin(), "an English word of the sheets is missing or not in Latin letters");
}  // namespace sheet_words_detail

// The row of a cell's word, or nullptr when the cell carries no such word.
constexpr const SheetWord* FindSheetWord(int cell, const char* part) {
    for (const SheetWord& w : SHEET_WORDS)
        if (w.cell == cell) {
            const char* a = w.part;
            const char* b = part;
            while (*a != 0 && *a == *b) {
                ++a;
                ++b;
            }
            if (*a == 0 && *b == 0) return &w;
        }
    return nullptr;
}

// The text a cell's word is painted with in a language; "" when the cell carries no such word.
constexpr const char* SheetText(int cell, const char* part, SheetLanguage language) {
    const SheetWord* w = FindSheetWord(cell, part);
    if (w == nullptr) return "";
    return language == SHEETS_ENGLISH ? w->en : w->ja;
}

// Whether any word is painted in this cell.
constexpr bool CellCarriesWords(int cell) {
    for (const SheetWord& w : SHEET_WORDS)
        if (w.cell == cell) return true;
    return false;
}
