#include "scenes/help_card.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "media/draw.h"
#include "state/controls.h"
#include "state/loop_state.h"

namespace {

// ---- what the cards say ----------------------------------------------------------------------

// One line of a card: a key (or nothing), its Japanese, and the English beside it. An English
// text may run to a second line.
struct HelpRow {
    const char* key;
    const char* japanese;
    const char* english;
};

struct HelpSection {
    const char* japanese;  // the heading
    const char* english;
    std::span<const HelpRow> rows;
    int japaneseWidth;  // the Japanese column at the large size, after the key column if any
};

// A card: its sections in one or two columns.
struct HelpCardText {
    std::span<const HelpSection> left;
    std::span<const HelpSection> right;
};

constexpr HelpRow TITLE_WORDS[] = {
    {"", "開始", "start a match"},
    {"", "終了", "quit the game"},
    {"", "炎の将棋", "shogi of flame: KELMORAV"},
    {"", "炎 王 将", "flame, king, general"},
    {"", "STAFFROAL", "click the middle of the\nbottom edge: the ending\nand the staff roll"},
};
// The keys of a screen, from the game's one list of them: the screen's own first, then those
// of every screen.
std::vector<HelpRow> KeyRows(unsigned screen) {
    std::vector<HelpRow> rows;
    for (const bool own : {true, false}) {
        for (const Control& c : Controls()) {
            if ((c.screens & screen) == 0 || (c.screens == ON_EVERY_SCREEN) == own) continue;
            rows.push_back({c.name, c.japanese, c.english});
        }
    }
    return rows;
}

const std::vector<HelpRow> TITLE_KEYS = KeyRows(ON_TITLE);
const std::vector<HelpRow> MATCH_KEYS = KeyRows(ON_MATCH);
const std::vector<HelpRow> RESULT_KEYS = KeyRows(ON_RESULT);
const std::vector<HelpRow> ENDING_KEYS = KeyRows(ON_ENDING);

const HelpSection TITLE_LEFT[] = {{"操作", "Keys", TITLE_KEYS, 48}};
constexpr HelpSection TITLE_RIGHT[] = {{"用語", "Words", TITLE_WORDS, 84}};

constexpr HelpRow MATCH_PIECES[] = {
    {"", "歩 香 桂 銀", "pawn, lance, knight, silver"},
    {"", "金 飛 角", "gold, rook, bishop"},
    {"", "玉 王", "king of 一之方 / of 二之方"},
    {"", "と 杏 圭 全", "promoted pawn, lance,\nknight, silver: move as gold"},
    {"", "龍 馬", "promoted rook, bishop"},
};
constexpr HelpRow MATCH_WORDS[] = {
    {"", "手目", "turn number"},
    {"", "一之方", "first side (right panels)"},
    {"", "二之方", "second side (left panels)"},
    {"", "消費時間", "time used, h:m:s"},
    {"", "持点", "points to place pieces"},
    {"", "戦力", "material on the board"},
    {"", "点", "points (unit)"},
    {"", "打", "hand button: opens the\nplacing panel (needs points)"},
    {"", "歩1 香2 桂3 銀4", "placing costs, in points"},
    {"", "金5 飛6 角6", "(a king cannot be placed)"},
    {"", "位置  点数", "square (col, row); worth"},
    {"", "成  不成", "promote / keep as it is"},
    {"", "対局開始", "the match begins"},
    {"", "一之方勝利", "first side wins"},
    {"", "二之方勝利", "second side wins"},
    {"", "対局没収", "match forfeited"},
};
const HelpSection MATCH_LEFT[] = {{"操作", "Keys", MATCH_KEYS, 64},
                                  {"駒", "Pieces", MATCH_PIECES, 84}};
constexpr HelpSection MATCH_RIGHT[] = {{"用語", "Words", MATCH_WORDS, 112}};

constexpr HelpRow RESULT_WORDS[] = {
    {"", "総得点", "score"},
    {"", "段位", "rank earned by the score"},
    {"", "手目  消費時間", "turns; time used"},
    {"", "持点  戦力", "points; material"},
    {"", "CLICK MOUSE KEY", "click to go on"},
};
constexpr HelpRow RESULT_RANKS[] = {
    {"", "入門", "beginner: up to 100"},  {"", "五級", "5th kyu: up to 1000"},
    {"", "四級", "4th kyu: up to 2000"},  {"", "三級", "3rd kyu: up to 3000"},
    {"", "二級", "2nd kyu: up to 5000"},  {"", "一級", "1st kyu: up to 7000"},
    {"", "初段", "1st dan: up to 9000"},  {"", "二段", "2nd dan: up to 11000"},
    {"", "三段", "3rd dan: up to 15000"}, {"", "四段", "4th dan: up to 20000"},
    {"", "五段", "5th dan: up to 30000"}, {"", "六段", "6th dan: up to 40000"},
    {"", "七段", "7th dan: up to 60000"}, {"", "八段", "8th dan: up to 80000"},
    {"", "名人", "master: above 80000"},
};
const HelpSection RESULT_LEFT[] = {{"操作", "Keys", RESULT_KEYS, 48},
                                   {"用語", "Words", RESULT_WORDS, 124}};
constexpr HelpSection RESULT_RIGHT[] = {{"段位", "Ranks", RESULT_RANKS, 48}};

constexpr HelpRow ENDING_WORDS[] = {
    {"", "製作スタッフ", "the staff"},
    {"", "[企画]", "planning"},
    {"", "[プログラム]", "programming"},
    {"", "[グラフィック]", "graphics"},
    {"", "[サウンド]", "sound"},
    {"", "[プロデュース]", "production"},
    {"", "終", "the end: back to the title"},
};
const HelpSection ENDING_LEFT[] = {{"操作", "Keys", ENDING_KEYS, 48},
                                   {"用語", "Words", ENDING_WORDS, 124}};

HelpCardText TextOf(HelpCardId card) {
    switch (card) {
    case HELP_CARD_TITLE: return {TITLE_LEFT, TITLE_RIGHT};
    case HELP_CARD_MATCH: return {MATCH_LEFT, MATCH_RIGHT};
    case HELP_CARD_RESULT: return {RESULT_LEFT, RESULT_RIGHT};
    case HELP_CARD_ENDING: return {ENDING_LEFT, {}};
    default: return {};
    }
}

// ---- how they are laid out -------------------------------------------------------------------

// Each pixel of a card is one of these roles; the colours are picked per palette.
enum Role : uint8_t {
    ROLE_OUTSIDE,   // the cut corners: the scene shows through untouched
    ROLE_BACKDROP,  // the scene, dimmed
    ROLE_EDGE,      // the dark outer line and the line inside the rim
    ROLE_RIM,       // the gold rim
    ROLE_HEADING,   // headings and keys
    ROLE_JAPANESE,  // the Japanese of each line
    ROLE_ENGLISH,   // the English beside it
    ROLE_COUNT
};

// Sizes of one layout: the 640x480 screens and the ending's 320x240.
struct Metrics {
    int margin;         // from the screen's edge to the card's
    int padding;        // from the card's edge to the text
    int titleHeight;    // the card's title line
    int headingHeight;  // a section's heading line
    int rowHeight;      // one line of text
    int japaneseSize;   // cell heights of the fonts
    int englishSize;
    int percent;  // the Japanese columns, in percent of their large widths
    int columnGap;
};

constexpr Metrics LARGE = {14, 12, 26, 20, 15, 14, 12, 100, 16};
constexpr Metrics SMALL = {4, 6, 16, 14, 11, 11, 9, 80, 0};

const char* const TITLE_JAPANESE = "説明";
const char* const TITLE_ENGLISH = "Help: the keys of this screen and its words (release F1)";
const char* const ENGLISH_FACE = "DejaVu Sans";

struct CardMask {
    Rect rect;                  // where the card lies on the picture
    std::vector<uint8_t> role;  // one role a pixel, rows of rect's width
};

FontSpec Font(int size, const char* face, int weight = TEXT_WEIGHT_NORMAL) {
    FontSpec f;
    f.height = size;
    f.face = face;
    f.weight = weight;
    return f;
}

// The rim in the game's plaque style: cut corners, a dark line, a gold rim and a dark line again.
void DrawRim(Surface& mask) {
    const int w = mask.width;
    const int h = mask.height;
    constexpr int CUT = 4;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int dx = std::min(x, w - 1 - x);
            const int dy = std::min(y, h - 1 - y);
            const int d = std::min(std::min(dx, dy), dx + dy - CUT);
            uint8_t role = ROLE_BACKDROP;
            if (d < 0) {
                role = ROLE_OUTSIDE;
            } else if (d == 0 || d == 3) {
                role = ROLE_EDGE;
            } else if (d <= 2) {
                role = ROLE_RIM;
            }
            mask.pixels[static_cast<size_t>(y) * mask.pitch + x] = role;
        }
    }
}

void Text(Surface& mask, const char* text, int x, int y, int right, const FontSpec& font,
          Role role) {
    GdiDrawTextIndex(&mask, text, Rect{x, y, right, mask.height}, font, role, DT_LEFT);
}

int LineCount(const std::string& text) {
    int lines = 1;
    for (const char c : text) lines += c == '\n' ? 1 : 0;
    return lines;
}

// The text broken at its spaces into lines no wider than width (a word wider than that keeps a
// line of its own); line breaks already in it stay.
std::string Wrapped(const char* text, const FontSpec& font, int width) {
    std::string out;
    std::string line;
    const std::string all = text;
    size_t at = 0;
    while (at <= all.size()) {
        const size_t end = std::min(all.find_first_of(" \n", at), all.size());
        const std::string word = all.substr(at, end - at);
        std::string longer = line;
        if (!longer.empty()) {
            longer += ' ';
        }
        longer += word;
        if (!line.empty() && GdiTextWidth(longer.c_str(), font) > width) {
            out += line + "\n";
            line = word;
        } else {
            line = longer;
        }
        if (end < all.size() && all[end] == '\n') {
            out += line + "\n";
            line.clear();
        }
        at = end + 1;
    }
    return out + line;
}

// The widest key of a section's rows, and a gap after it.
int KeyColumnWidth(std::span<const HelpRow> rows, const FontSpec& font) {
    int widest = 0;
    for (const HelpRow& row : rows) widest = std::max(widest, GdiTextWidth(row.key, font));
    return widest == 0 ? 0 : widest + 8;
}

// Draws a column's sections from (x, y) down; returns nothing, the card is sized to hold them.
void DrawColumn(Surface& mask, std::span<const HelpSection> sections, int x, int y, int right,
                const Metrics& m) {
    const FontSpec heading = Font(m.headingHeight - 4, TextFace);
    const FontSpec japanese = Font(m.japaneseSize, "");
    const FontSpec english = Font(m.englishSize, ENGLISH_FACE);
    const FontSpec key = Font(m.englishSize, ENGLISH_FACE, TEXT_WEIGHT_BOLD);
    for (const HelpSection& section : sections) {
        Text(mask, section.japanese, x, y, right, heading, ROLE_HEADING);
        Text(mask, section.english, x + m.japaneseSize * 3, y + 3, right, key, ROLE_HEADING);
        y += m.headingHeight;
        const int jx = x + KeyColumnWidth(section.rows, key);
        const int ex = jx + section.japaneseWidth * m.percent / 100;
        for (const HelpRow& row : section.rows) {
            const bool hasKey = row.key[0] != 0;
            if (hasKey) Text(mask, row.key, x, y + 1, jx, key, ROLE_HEADING);
            Text(mask, row.japanese, jx, y, ex - 4, japanese, ROLE_JAPANESE);
            const std::string lines = Wrapped(row.english, english, right - ex);
            Text(mask, lines.c_str(), ex, y + 1, right, english, ROLE_ENGLISH);
            y += m.rowHeight * LineCount(lines);
        }
        y += m.rowHeight / 2;
    }
}

CardMask BuildMask(HelpCardId card, int width, int height) {
    const Metrics& m = width >= 640 ? LARGE : SMALL;
    const HelpCardText text = TextOf(card);
    CardMask out;
    out.rect = Rect{m.margin, m.margin, width - m.margin, height - m.margin};
    Surface mask;
    mask.width = out.rect.right - out.rect.left;
    mask.height = out.rect.bottom - out.rect.top;
    mask.pitch = mask.width;
    mask.pixels.assign(static_cast<size_t>(mask.pitch) * mask.height, ROLE_BACKDROP);
    DrawRim(mask);
    const int inner = m.padding;
    Text(mask, TITLE_JAPANESE, inner, inner - 2, mask.width - inner,
         Font(m.titleHeight - 2, TextFace), ROLE_HEADING);
    Text(mask, TITLE_ENGLISH, inner + m.titleHeight * 2, inner + m.titleHeight / 2 - 7,
         mask.width - inner, Font(m.englishSize, ENGLISH_FACE, TEXT_WEIGHT_BOLD), ROLE_ENGLISH);
    const int top = inner + m.titleHeight + 4;
    const bool twoColumns = !text.right.empty();
    const int middle = twoColumns ? mask.width / 2 : mask.width - inner;
    DrawColumn(mask, text.left, inner, top, middle - m.columnGap / 2, m);
    if (twoColumns)
        DrawColumn(mask, text.right, middle + m.columnGap / 2, top, mask.width - inner, m);
    out.role = std::move(mask.pixels);
    return out;
}

const CardMask& MaskFor(HelpCardId card, int width, int height) {
    static std::map<std::pair<int, int>, CardMask> cache;
    const std::pair<int, int> key = {card, width};
    auto found = cache.find(key);
    if (found == cache.end()) found = cache.emplace(key, BuildMask(card, width, height)).first;
    return found->second;
}

// ---- the colours -----------------------------------------------------------------------------

// The colours a card is drawn in: wanted colours, each taken as the nearest of the palette.
constexpr Rgb ROLE_COLOURS[ROLE_COUNT] = {
    {0, 0, 0},        // outside (not drawn)
    {0, 0, 0},        // backdrop (per pixel, below)
    {0, 0, 0},        // edge: ink black
    {214, 168, 64},   // rim: gold leaf
    {255, 222, 130},  // headings and keys: pale gold
    {255, 240, 210},  // Japanese: washi white
    {236, 236, 236},  // English: white
};
// The backdrop keeps 12% of the scene's colour, a little towards night ink.
constexpr int BACKDROP_KEEP_PERCENT = 12;
constexpr Rgb BACKDROP_INK = {10, 10, 22};

uint8_t Nearest(const PaletteEntry palette[256], int r, int g, int b) {
    int best = 1 << 30;
    int bestIndex = 0;
    for (int k = 0; k < 256; ++k) {
        const int d = std::abs(palette[k].red - r) + std::abs(palette[k].green - g) +
                      std::abs(palette[k].blue - b);
        if (d < best) {
            best = d;
            bestIndex = k;
        }
    }
    return static_cast<uint8_t>(bestIndex);
}

// The palette's indexes for each role and the dimmed index of each colour, worked out again
// only when the palette changes (in a fade, every presented frame). The card is made of the
// installed colours, so a fade dims it with the scene: a 256-colour picture has no entries to
// spare for a card that ignores the palette, and presenting other colours would stop the fade
// the scene is showing. Picked afresh in every step, the card keeps the best contrast the fading
// palette still has and reads until the last few steps, when the scene itself is dark; every
// fade ends in a scene whose palette brings the card back at full strength.
struct CardColours {
    PaletteEntry palette[256] = {};
    bool valid = false;
    uint8_t role[ROLE_COUNT] = {};
    uint8_t dimmed[256] = {};
};

const CardColours& ColoursFor(const PaletteEntry palette[256]) {
    static CardColours colours;
    if (colours.valid && std::memcmp(colours.palette, palette, sizeof colours.palette) == 0) {
        return colours;
    }
    std::memcpy(colours.palette, palette, sizeof colours.palette);
    colours.valid = true;
    for (int r = 0; r < ROLE_COUNT; ++r) {
        colours.role[r] =
            Nearest(palette, ROLE_COLOURS[r].red, ROLE_COLOURS[r].green, ROLE_COLOURS[r].blue);
    }
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& c = palette[i];
        colours.dimmed[i] = Nearest(palette, c.red * BACKDROP_KEEP_PERCENT / 100 + BACKDROP_INK.red,
                                    c.green * BACKDROP_KEEP_PERCENT / 100 + BACKDROP_INK.green,
                                    c.blue * BACKDROP_KEEP_PERCENT / 100 + BACKDROP_INK.blue);
    }
    return colours;
}

}  // namespace

HelpCardId HelpCardOf(int scene) {
    switch (scene) {
    case SCENE_TITLE_LOAD:
    case SCENE_TITLE: return HELP_CARD_TITLE;
    case SCENE_MATCH_LOAD:
    case SCENE_MATCH: return HELP_CARD_MATCH;
    case SCENE_RESULT: return HELP_CARD_RESULT;
    case SCENE_MELT:
    case SCENE_ENDING_FIRE:
    case SCENE_CREDITS:
    case SCENE_ENDING_CLOSE: return HELP_CARD_ENDING;
    default: return HELP_CARD_NONE;
    }
}

void ComposeHelpCard(Surface* picture, const PaletteEntry palette[256]) {
    const HelpCardId card = HelpCardOf(Scene);
    if (picture == nullptr || card == HELP_CARD_NONE || picture->width < 320 ||
        picture->height < 240 ||
        picture->pixels.size() < static_cast<size_t>(picture->pitch) * picture->height) {
        return;
    }
    const CardMask& mask = MaskFor(card, picture->width, picture->height);
    const CardColours& colours = ColoursFor(palette);
    const int width = mask.rect.right - mask.rect.left;
    for (int y = mask.rect.top; y < mask.rect.bottom; ++y) {
        const uint8_t* roles = &mask.role[static_cast<size_t>(y - mask.rect.top) * width];
        uint8_t* row = &picture->pixels[static_cast<size_t>(y) * picture->pitch + mask.rect.left];
        for (int x = 0; x < width; ++x) {
            const uint8_t role = roles[x];
            if (role == ROLE_OUTSIDE) continue;
            row[x] = role == ROLE_BACKDROP ? colours.dimmed[row[x]] : colours.role[role];
        }
    }
}
