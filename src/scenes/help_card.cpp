#include "scenes/help_card.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "media/palette.h"
#include "state/language.h"
#include "state/loop_state.h"

namespace {

// ---- what the cards say ----------------------------------------------------------------------

// One line of a card: a key (or nothing), its Japanese, and the English beside it, which may
// run to more lines and may hold Japanese words of the screen.
struct HelpRow {
    std::string key;
    std::string japanese;
    std::string english;
};

struct HelpSection {
    const char* japanese;  // the heading
    const char* english;
    std::vector<HelpRow> rows;
    int column;  // the column it starts in, or a later one when the column above it is full
};

// The keys of a screen from the game's one list of them: the screen's own (and the extra ones
// after them), or those of every screen.
std::string InEnglishWords(std::string text);

HelpRow KeyRow(const Control& c) {
    if (InEnglish()) return {c.name, "", InEnglishWords(c.english)};
    return {c.name, c.japanese, c.english};
}

std::vector<HelpRow> KeyRows(unsigned screen, bool own, std::span<const Control> extra = {}) {
    std::vector<HelpRow> rows;
    for (const Control& c : Controls()) {
        if ((c.screens & screen) == 0 || (c.screens == ON_EVERY_SCREEN) == own) continue;
        rows.push_back(KeyRow(c));
    }
    for (const Control& c : extra) rows.push_back(KeyRow(c));
    return rows;
}

// The two sections of a screen's keys: its own, and those of every screen (kept apart, so that
// a long key of every screen does not narrow the English of the screen's own).
std::vector<HelpSection> KeySections(unsigned screen, std::span<const Control> extra) {
    const bool english = InEnglish();
    return {{english ? "" : "操作", "Keys", KeyRows(screen, true, extra), 0},
            {english ? "" : "共通", "Keys of every screen", KeyRows(screen, false), 0}};
}

const std::vector<HelpRow> TITLE_WORDS = {
    {"", "開始", "start a match"},
    {"", "終了", "quit the game"},
    {"", "炎の将棋", "shogi of flame: KELMORAV"},
    {"", "炎 王 将", "flame, king, general"},
    {"", "STAFFROAL", "click the middle of the bottom edge: the ending and the staff roll"},
};

// Each kind as it moves; the number is its worth in points, which is also what placing one
// costs.
const std::vector<HelpRow> MATCH_PIECES = {
    {"", "歩", "pawn, 1: one step forward"},
    {"", "香", "lance, 2: any distance forward"},
    {"", "桂", "knight, 3: two forward, one aside; jumps"},
    {"", "銀", "silver, 4: one step forward or diagonally"},
    {"", "金", "gold, 5: one step, but not diagonally back"},
    {"", "飛", "rook, 6: any distance, but not diagonally"},
    {"", "角", "bishop, 6: any distance diagonally"},
    {"", "玉 王", "king, 10: one step any way; never placed"},
    {"", "と杏圭全", "promoted 歩 香 桂 銀: as gold"},
    {"", "龍", "promoted rook: rook, or one diagonal step"},
    {"", "馬", "promoted bishop: bishop, or one straight step"},
};
const std::vector<HelpRow> MATCH_WORDS = {
    {"", "手目", "turn number"},
    {"", "一之方", "first side: right panels, king 玉"},
    {"", "二之方", "second side: left panels, king 王"},
    {"", "消費時間", "time used, h:m:s"},
    {"", "持点", "points to place pieces (点: points)"},
    {"", "戦力", "material on the board"},
    {"", "打", "hand button: opens the placing panel"},
    {"", "位置  点数", "square (col, row); worth"},
    {"", "成  不成", "promote / keep as it is"},
    {"", "対局開始", "the match begins"},
    {"", "一之方勝利", "first side wins"},
    {"", "二之方勝利", "second side wins"},
    {"", "対局没収", "match forfeited"},
};

const std::vector<HelpRow> RESULT_WORDS = {
    {"", "総得点", "score"},
    {"", "段位", "rank earned by the score"},
    {"", "手目  消費時間", "turns; time used"},
    {"", "持点  戦力", "points; material"},
    {"", "CLICK MOUSE KEY", "click to go on"},
};
const std::vector<HelpRow> RESULT_RANKS = {
    {"", "入門", "beginner: up to 100"},  {"", "五級", "5th kyu: up to 1000"},
    {"", "四級", "4th kyu: up to 2000"},  {"", "三級", "3rd kyu: up to 3000"},
    {"", "二級", "2nd kyu: up to 5000"},  {"", "一級", "1st kyu: up to 7000"},
    {"", "初段", "1st dan: up to 9000"},  {"", "二段", "2nd dan: up to 11000"},
    {"", "三段", "3rd dan: up to 15000"}, {"", "四段", "4th dan: up to 20000"},
    {"", "五段", "5th dan: up to 30000"}, {"", "六段", "6th dan: up to 40000"},
    {"", "七段", "7th dan: up to 60000"}, {"", "八段", "8th dan: up to 80000"},
    {"", "名人", "master: above 80000"},
};

const std::vector<HelpRow> ENDING_WORDS = {
    {"", "製作スタッフ", "the staff"},
    {"", "[企画]", "planning"},
    {"", "[プログラム]", "programming"},
    {"", "[グラフィック]", "graphics"},
    {"", "[サウンド]", "sound"},
    {"", "[プロデュース]", "production"},
    {"", "終", "the end: back to the title"},
};

// The cards in English say the same in the words of the English screens: no Japanese word is
// on them, since none is on those screens. Where a key's description names a word of the
// Japanese screen, the English card says what it is instead.
constexpr std::pair<const char*, const char*> ENGLISH_SCREEN_WORDS[] = {
    {"開始", "the start item"},
    {"終了", "the quit item"},
};

std::string InEnglishWords(std::string text) {
    for (const auto& [japanese, english] : ENGLISH_SCREEN_WORDS) {
        for (size_t at = text.find(japanese); at != std::string::npos; at = text.find(japanese)) {
            text.replace(at, std::strlen(japanese), english);
        }
    }
    return text;
}

const std::vector<HelpRow> TITLE_WORDS_ENGLISH = {
    {"Start", "", "start a match"},
    {"Quit", "", "quit the game"},
    {"CREDITS", "", "click the middle of the bottom edge: the ending and the staff roll"},
};
const std::vector<HelpRow> MATCH_PIECES_ENGLISH = {
    {"P", "", "pawn, 1: one step forward"},
    {"L", "", "lance, 2: any distance forward"},
    {"N", "", "knight, 3: two forward, one aside; jumps"},
    {"S", "", "silver, 4: one step forward or diagonally"},
    {"G", "", "gold, 5: one step, but not diagonally back"},
    {"R", "", "rook, 6: any distance, but not diagonally"},
    {"B", "", "bishop, 6: any distance diagonally"},
    {"K", "", "king, 10: one step any way; never placed"},
    {"+P +L +N +S", "", "promoted pawn, lance, knight, silver: as gold"},
    {"+R", "", "dragon, the promoted rook: rook, or one diagonal step"},
    {"+B", "", "horse, the promoted bishop: bishop, or one straight step"},
};
const std::vector<HelpRow> MATCH_WORDS_ENGLISH = {
    {"First", "", "first side: right panels; starts on the upper-right edge"},
    {"Second", "", "second side: left panels; starts on the lower-left edge"},
    {"Time used", "", "h:m:s"},
    {"Points", "", "earned by captures, spent to place pieces"},
    {"Force", "", "material: the worth of the side's pieces on the board"},
    {"H", "", "hand button: opens the placing panel"},
    {"Square  Worth", "", "the info panel: column and row; points"},
    {"+  Keep", "", "promote or keep, in the far three rows"},
};
const std::vector<HelpRow> RESULT_WORDS_ENGLISH = {
    {"Score", "", "from points, turns, material and time"},
    {"Rank", "", "earned by the score"},
    {"CLICK TO GO ON", "", "click to go back to the title"},
};
const std::vector<HelpRow> ENDING_WORDS_ENGLISH = {
    {"Staff", "", "the people who made the game, by their work"},
    {"The End", "", "back to the title"},
};

// The ranks by the names on the English rank pictures, with the Japanese card's bounds (the
// words after the colon of its English).
constexpr const char* RANK_NAMES_ENGLISH[] = {"Beginner", "5 kyu", "4 kyu", "3 kyu", "2 kyu",
                                              "1 kyu",    "1 dan", "2 dan", "3 dan", "4 dan",
                                              "5 dan",    "6 dan", "7 dan", "8 dan", "Master"};

std::vector<HelpRow> RanksInEnglish() {
    std::vector<HelpRow> rows;
    for (size_t i = 0; i < RESULT_RANKS.size() && i < std::size(RANK_NAMES_ENGLISH); ++i) {
        const std::string& english = RESULT_RANKS[i].english;
        rows.push_back({RANK_NAMES_ENGLISH[i], "", english.substr(english.find(": ") + 2)});
    }
    return rows;
}

std::vector<HelpRow> EnglishEndingRows(const MatchEnding& ending) {
    switch (ending.outcome) {
    case 1: return {{"First side wins", "", "the first side took the second side's king"}};
    case 2: return {{"Second side wins", "", "the second side took the first side's king"}};
    case 3:
        return {{"Match forfeited", "",
                 ending.mover == 0 ? "Z was pressed on the first side's turn"
                                   : "Z was pressed on the second side's turn"}};
    default: return {};
    }
}

// How the match ended, as its closing text named it, in the words of the result screen, which
// ranks the two scores and names no winner.
std::vector<HelpRow> EndingRows(const MatchEnding& ending) {
    switch (ending.outcome) {
    case 1: return {{"", "一之方勝利", "一之方 (first side) took 二之方's king and won"}};
    case 2: return {{"", "二之方勝利", "二之方 (second side) took 一之方's king and won"}};
    case 3:
        return {{"", "対局没収",
                 ending.mover == 0 ? "forfeited (Z) on 一之方's turn, the first side's"
                                   : "forfeited (Z) on 二之方's turn, the second side's"}};
    default: return {};
    }
}

std::vector<HelpSection> SectionsOf(HelpCardId card, const MatchEnding& ending,
                                    std::span<const Control> extraKeys) {
    std::vector<HelpSection> sections;
    const auto add = [&sections](std::vector<HelpSection> more) {
        for (HelpSection& section : more) {
            if (!section.rows.empty()) sections.push_back(std::move(section));
        }
    };
    if (InEnglish()) {
        switch (card) {
        case HELP_CARD_TITLE:
            add(KeySections(ON_TITLE, extraKeys));
            add({{"", "Words", TITLE_WORDS_ENGLISH, 1}});
            break;
        case HELP_CARD_MATCH:
            add(KeySections(ON_MATCH, extraKeys));
            add({{"", "Pieces: moves, worth in points", MATCH_PIECES_ENGLISH, 0},
                 {"", "Words", MATCH_WORDS_ENGLISH, 1}});
            break;
        case HELP_CARD_RESULT:
            add({{"", "How this match ended", EnglishEndingRows(ending), 0}});
            add(KeySections(ON_RESULT, extraKeys));
            add({{"", "Words", RESULT_WORDS_ENGLISH, 0}, {"", "Ranks", RanksInEnglish(), 1}});
            break;
        case HELP_CARD_ENDING:
            add(KeySections(ON_ENDING, extraKeys));
            add({{"", "Words", ENDING_WORDS_ENGLISH, 1}});
            break;
        default: break;
        }
        return sections;
    }
    switch (card) {
    case HELP_CARD_TITLE:
        add(KeySections(ON_TITLE, extraKeys));
        add({{"用語", "Words", TITLE_WORDS, 1}});
        break;
    case HELP_CARD_MATCH:
        add(KeySections(ON_MATCH, extraKeys));
        add({{"駒", "Pieces: moves, worth in points", MATCH_PIECES, 0},
             {"用語", "Words", MATCH_WORDS, 1}});
        break;
    case HELP_CARD_RESULT:
        add({{"結果", "How this match ended", EndingRows(ending), 0}});
        add(KeySections(ON_RESULT, extraKeys));
        add({{"用語", "Words", RESULT_WORDS, 0}, {"段位", "Ranks", RESULT_RANKS, 1}});
        break;
    case HELP_CARD_ENDING:
        add(KeySections(ON_ENDING, extraKeys));
        add({{"用語", "Words", ENDING_WORDS, 1}});
        break;
    default: break;
    }
    return sections;
}

// ---- how they are laid out -------------------------------------------------------------------

// Each pixel of a card is one of these roles; the colours are picked per palette.
enum Role : uint8_t {
    ROLE_OUTSIDE,   // the cut corners: the scene shows through untouched
    ROLE_PLATE,     // the card's solid ground
    ROLE_EDGE,      // the dark outer line and the line inside the rim
    ROLE_RIM,       // the gold rim
    ROLE_HEADING,   // headings and keys
    ROLE_JAPANESE,  // the Japanese of each line
    ROLE_ENGLISH,   // the English beside it
    ROLE_COUNT
};

// The card's text is a plain gothic: at these sizes a brush face loses its small strokes, and
// the Japanese gets a face of its own at 13 pixels, where every kanji of the cards keeps its
// strokes apart. English words are set in a sans face; Japanese words inside them (開始, 一之方)
// take the gothic at the Japanese size, on the same baseline.
const char* const GOTHIC_FACE = "BIZ UDゴシック";
const char* const ENGLISH_FACE = "DejaVu Sans";

// A style: the fonts of a text's Latin letters and of its wide (Japanese) characters, how far
// below the line's top each is drawn so that their baselines meet, and the role of its pixels.
struct Style {
    FontSpec latin;
    FontSpec wide;
    int latinDown;
    int wideDown;
    Role role;
};

enum StyleId : uint8_t {
    STYLE_TITLE,
    STYLE_TITLE_ENGLISH,
    STYLE_HEADING,
    STYLE_HEADING_ENGLISH,
    STYLE_KEY,
    STYLE_JAPANESE,
    STYLE_ENGLISH,
    STYLE_COUNT
};

FontSpec Font(int size, const char* face, int weight = 400) {
    FontSpec f;
    f.height = size;
    f.face = face;
    f.weight = weight;
    return f;
}

const Style& StyleOf(StyleId id) {
    // The gothic's cell is its em, its ascent 88% of it; the sans face's ascent is 80% of its
    // cell. The downs put each pair of fonts on one baseline.
    static const Style STYLES[STYLE_COUNT] = {
        {Font(17, GOTHIC_FACE, 700), Font(17, GOTHIC_FACE, 700), 0, 0, ROLE_HEADING},
        {Font(12, ENGLISH_FACE, 700), Font(13, GOTHIC_FACE, 700), 5, 4, ROLE_ENGLISH},
        {Font(15, GOTHIC_FACE, 700), Font(15, GOTHIC_FACE, 700), 0, 0, ROLE_HEADING},
        {Font(12, ENGLISH_FACE, 700), Font(13, GOTHIC_FACE, 700), 3, 2, ROLE_HEADING},
        {Font(12, ENGLISH_FACE, 700), Font(13, GOTHIC_FACE, 700), 1, 0, ROLE_HEADING},
        {Font(13, GOTHIC_FACE), Font(13, GOTHIC_FACE), 0, 0, ROLE_JAPANESE},
        {Font(12, ENGLISH_FACE), Font(13, GOTHIC_FACE), 1, 0, ROLE_ENGLISH},
    };
    return STYLES[id];
}

// The sizes of the card on its 640x480 picture.
constexpr int MARGIN = 14;          // from the picture's edge to the card's
constexpr int PADDING = 10;         // from the card's edge to the text
constexpr int TITLE_HEIGHT = 22;    // the title line
constexpr int HEADING_HEIGHT = 19;  // a section's heading line
constexpr int ROW_HEIGHT = 14;      // one line of text
constexpr int SECTION_GAP = 5;      // after a section
constexpr int COLUMN_GAP = 12;
constexpr int COLUMNS = 2;
constexpr int KEY_GAP = 5;             // after the key column
constexpr int JAPANESE_GAP = 7;        // after the Japanese column
constexpr int HEADING_GAP = 8;         // between a heading's Japanese and its English
constexpr int NARROWEST_ENGLISH = 96;  // below this the English goes under its row's start
constexpr int STACKED_INDENT = 12;

const char* const TITLE_JAPANESE = "説明";
const char* const TITLE_ENGLISH = "Help: the keys of this screen and its words (release F1)";

// A text split where it changes between Latin letters and wide characters: each part is drawn
// in its own font.
std::vector<std::pair<std::string, bool>> Runs(const std::string& text) {
    std::vector<std::pair<std::string, bool>> runs;
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        size_t length = 1;
        if (lead >= 0xF0) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC0) {
            length = 2;
        }
        length = std::min(length, text.size() - at);
        const bool wide = lead >= 0x80;
        if (runs.empty() || runs.back().second != wide) runs.emplace_back(std::string(), wide);
        runs.back().first.append(text, at, length);
        at += length;
    }
    return runs;
}

int StyledWidth(const std::string& text, StyleId id) {
    const Style& style = StyleOf(id);
    int width = 0;
    for (const auto& [run, wide] : Runs(text)) {
        width += GdiTextWidth(run.c_str(), wide ? style.wide : style.latin);
    }
    return width;
}

// The text broken at its spaces into lines no wider than width (a word wider than that keeps
// a line of its own).
std::vector<std::string> Wrapped(const std::string& text, StyleId id, int width) {
    std::vector<std::string> lines;
    std::string line;
    size_t at = 0;
    while (at <= text.size()) {
        const size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        std::string longer = line;
        if (!longer.empty()) longer += ' ';
        longer += word;
        if (!line.empty() && StyledWidth(longer, id) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = std::move(longer);
        }
        at = end + 1;
    }
    lines.push_back(line);
    return lines;
}

// A text placed on the card, in picture pixels.
struct Placed {
    std::string text;
    StyleId style;
    int x;
    int y;
    int width;
    int height;
};

struct Layout {
    Rect card;
    Rect title;
    std::vector<Rect> columns;
    std::vector<Placed> texts;
};

// Lays sections down the columns: a section starts in its own column or, when that is full, in
// the next; a row that no longer fits its column goes on at the top of the next one, and a
// heading goes there with its first row. What does not fit the last column runs past the
// card's bottom, which the card's test reports.
class ColumnFlow {
public:
    ColumnFlow(Layout* layout, int top) : layout_(layout), top_(top), y_(top) {}

    void Section(const HelpSection& section) {
        if (section.column > column_ && section.column < Count()) MoveTo(section.column);
        const RowShape shape = ShapeOf(section);
        if (!section.rows.empty()) {
            Fit(HEADING_HEIGHT + Height(section.rows.front(), shape));
        }
        Heading(section.japanese, section.english);
        for (const HelpRow& row : section.rows) {
            // A section that goes on in the next column says so at its top.
            if (Fit(Height(row, shape))) {
                Heading(section.japanese, std::string(section.english) + " (continued)");
            }
            Row(row, shape);
        }
        y_ += SECTION_GAP;
    }

private:
    // Where the parts of a section's rows stand, from the column's left: the Japanese after the
    // widest key, the English after the widest Japanese, or under the row's start when that
    // would leave the English too narrow.
    struct RowShape {
        int japanese;
        int english;
        int englishWidth;
        bool stacked;
    };

    RowShape ShapeOf(const HelpSection& section) const {
        int keys = 0;
        int words = 0;
        for (const HelpRow& row : section.rows) {
            keys = std::max(keys, StyledWidth(row.key, STYLE_KEY));
            words = std::max(words, StyledWidth(row.japanese, STYLE_JAPANESE));
        }
        RowShape shape{};
        shape.japanese = keys == 0 ? 0 : keys + KEY_GAP;
        shape.english = shape.japanese + words + JAPANESE_GAP;
        const int width = Column().right - Column().left;
        shape.stacked = width - shape.english < NARROWEST_ENGLISH;
        if (shape.stacked) shape.english = STACKED_INDENT;
        shape.englishWidth = width - shape.english;
        return shape;
    }

    static int Height(const HelpRow& row, const RowShape& shape) {
        const int lines =
            static_cast<int>(Wrapped(row.english, STYLE_ENGLISH, shape.englishWidth).size());
        return ROW_HEIGHT * (lines + (shape.stacked ? 1 : 0));
    }

    void Heading(const std::string& japanese, const std::string& english) {
        const int x = Column().left;
        Put(japanese, STYLE_HEADING, x, y_, HEADING_HEIGHT);
        const int englishX =
            japanese.empty() ? x : x + StyledWidth(japanese, STYLE_HEADING) + HEADING_GAP;
        Put(english, STYLE_HEADING_ENGLISH, englishX, y_, HEADING_HEIGHT);
        y_ += HEADING_HEIGHT;
    }

    void Row(const HelpRow& row, const RowShape& shape) {
        const int x = Column().left;
        if (!row.key.empty()) Put(row.key, STYLE_KEY, x, y_, ROW_HEIGHT);
        Put(row.japanese, STYLE_JAPANESE, x + shape.japanese, y_, ROW_HEIGHT);
        int y = shape.stacked ? y_ + ROW_HEIGHT : y_;
        for (const std::string& line : Wrapped(row.english, STYLE_ENGLISH, shape.englishWidth)) {
            Put(line, STYLE_ENGLISH, x + shape.english, y, ROW_HEIGHT);
            y += ROW_HEIGHT;
        }
        y_ = y;
    }

    // Goes on in the next column when height no longer fits below y in this one; true when it
    // did.
    bool Fit(int height) {
        if (y_ > top_ && y_ + height > Column().bottom && column_ + 1 < Count()) {
            MoveTo(column_ + 1);
            return true;
        }
        return false;
    }

    void MoveTo(int column) {
        column_ = column;
        y_ = top_;
    }

    void Put(const std::string& text, StyleId style, int x, int y, int height) {
        if (text.empty()) return;
        layout_->texts.push_back({text, style, x, y, StyledWidth(text, style), height});
    }

    int Count() const { return static_cast<int>(layout_->columns.size()); }
    const Rect& Column() const { return layout_->columns[static_cast<size_t>(column_)]; }

    Layout* layout_;
    int top_;
    int y_;
    int column_ = 0;
};

Layout LayOut(HelpCardId card, int width, int height, const MatchEnding& ending,
              std::span<const Control> extraKeys) {
    Layout out;
    out.card = Rect{MARGIN, MARGIN, width - MARGIN, height - MARGIN};
    const Rect inner{out.card.left + PADDING, out.card.top + PADDING, out.card.right - PADDING,
                     out.card.bottom - PADDING};
    out.title = Rect{inner.left, inner.top, inner.right, inner.top + TITLE_HEIGHT};
    int english = inner.left;
    if (!InEnglish()) {
        out.texts.push_back({TITLE_JAPANESE, STYLE_TITLE, inner.left, inner.top,
                             StyledWidth(TITLE_JAPANESE, STYLE_TITLE), TITLE_HEIGHT});
        english += out.texts.back().width + HEADING_GAP * 2;
    }
    out.texts.push_back({TITLE_ENGLISH, STYLE_TITLE_ENGLISH, english, inner.top,
                         StyledWidth(TITLE_ENGLISH, STYLE_TITLE_ENGLISH), TITLE_HEIGHT});
    const int top = out.title.bottom;
    const int columnWidth = (inner.right - inner.left - COLUMN_GAP * (COLUMNS - 1)) / COLUMNS;
    for (int c = 0; c < COLUMNS; ++c) {
        const int left = inner.left + c * (columnWidth + COLUMN_GAP);
        out.columns.push_back(Rect{left, top, left + columnWidth, inner.bottom});
    }
    ColumnFlow flow(&out, top);
    for (const HelpSection& section : SectionsOf(card, ending, extraKeys)) flow.Section(section);
    // A card with little to say ends below its last line and leaves the rest of the scene be.
    int used = top;
    for (const Placed& p : out.texts) used = std::max(used, p.y + p.height);
    out.card.bottom = std::min(out.card.bottom, used + PADDING);
    for (Rect& column : out.columns) column.bottom = std::min(column.bottom, used);
    return out;
}

// ---- how they are drawn ----------------------------------------------------------------------

struct CardMask {
    Rect rect;                  // where the card lies on the picture
    std::vector<uint8_t> role;  // one role a pixel, rows of rect's width
};

// Draws a placed text into the mask (whose top-left is the card's), run by run.
void DrawPlaced(Surface& mask, const Rect& card, const Placed& placed) {
    const Style& style = StyleOf(placed.style);
    int x = placed.x - card.left;
    const int y = placed.y - card.top;
    for (const auto& [run, wide] : Runs(placed.text)) {
        const FontSpec& font = wide ? style.wide : style.latin;
        const int down = wide ? style.wideDown : style.latinDown;
        GdiDrawTextIndex(&mask, run.c_str(), Rect{x, y + down, mask.width, mask.height}, font,
                         style.role, DT_LEFT);
        x += GdiTextWidth(run.c_str(), font);
    }
}

CardMask BuildMask(HelpCardId card, int width, int height, const MatchEnding& ending) {
    const Layout layout = LayOut(card, width, height, ending, {});
    CardMask out;
    out.rect = layout.card;
    Surface mask;
    mask.width = out.rect.right - out.rect.left;
    mask.height = out.rect.bottom - out.rect.top;
    mask.pitch = mask.width;
    mask.pixels.assign(static_cast<size_t>(mask.pitch) * mask.height, ROLE_PLATE);
    DrawCardRim(mask, {ROLE_OUTSIDE, ROLE_EDGE, ROLE_RIM, ROLE_PLATE});
    for (const Placed& placed : layout.texts) DrawPlaced(mask, layout.card, placed);
    out.role = std::move(mask.pixels);
    return out;
}

const CardMask& MaskFor(HelpCardId card, int width, int height, const MatchEnding& ending) {
    // The result card differs with the ending; the others have one mask a picture size.
    const bool ends = card == HELP_CARD_RESULT;
    using Key = std::tuple<int, int, int, int, int, int>;
    static std::map<Key, CardMask> cache;
    const Key key{card,
                  width,
                  height,
                  ends ? ending.outcome : 0,
                  ends ? ending.mover : 0,
                  static_cast<int>(GameLanguage)};
    auto found = cache.find(key);
    if (found == cache.end()) {
        found = cache.emplace(key, BuildMask(card, width, height, ending)).first;
    }
    return found->second;
}

// ---- the colours -----------------------------------------------------------------------------

// The colours a card is drawn in: wanted colours, each taken as the nearest of the palette.
constexpr Rgb ROLE_COLOURS[ROLE_COUNT] = {
    {0, 0, 0},        // outside (not drawn)
    {12, 12, 26},     // plate: night ink
    {0, 0, 0},        // edge: ink black
    {214, 168, 64},   // rim: gold leaf
    {255, 222, 130},  // headings and keys: pale gold
    {255, 240, 210},  // Japanese: washi white
    {236, 236, 236},  // English: white
};

// The palette's index for each role, worked out again only when the palette changes (in a
// fade, every presented frame). The card is made of the installed colours, so a fade dims it
// with the scene: a 256-colour picture has no entries to spare for a card that ignores the
// palette, and presenting other colours would stop the fade the scene is showing. Picked afresh
// in every step, the card keeps the best contrast the fading palette still has and reads until
// the last few steps, when the scene itself is dark; every fade ends in a scene whose palette
// brings the card back at full strength.
struct CardColours {
    PaletteEntry palette[256] = {};
    bool valid = false;
    uint8_t role[ROLE_COUNT] = {};
};

const CardColours& ColoursFor(const PaletteEntry palette[256]) {
    static CardColours colours;
    if (colours.valid && std::memcmp(colours.palette, palette, sizeof colours.palette) == 0) {
        return colours;
    }
    std::memcpy(colours.palette, palette, sizeof colours.palette);
    colours.valid = true;
    for (int r = 0; r < ROLE_COUNT; ++r) colours.role[r] = NearestIndexIn(palette, ROLE_COLOURS[r]);
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

HelpCardLayout LayOutHelpCard(HelpCardId card, int width, int height, const MatchEnding& ending,
                              std::span<const Control> extraKeys) {
    const Layout layout = LayOut(card, width, height, ending, extraKeys);
    HelpCardLayout out;
    out.card = layout.card;
    out.title = layout.title;
    out.columns = layout.columns;
    for (const Placed& p : layout.texts) {
        out.texts.push_back({p.text, Rect{p.x, p.y, p.x + p.width, p.y + p.height}});
    }
    return out;
}

void ComposeHelpCard(Surface* picture, const PaletteEntry palette[256]) {
    const HelpCardId card = HelpCardOf(Scene);
    if (picture == nullptr || card == HELP_CARD_NONE || picture->width < 640 ||
        picture->height < 480 ||
        picture->pixels.size() < static_cast<size_t>(picture->pitch) * picture->height) {
        return;
    }
    const CardMask& mask = MaskFor(card, picture->width, picture->height, LastMatchEnding);
    const CardColours& colours = ColoursFor(palette);
    const int width = mask.rect.right - mask.rect.left;
    for (int y = mask.rect.top; y < mask.rect.bottom; ++y) {
        const uint8_t* roles = &mask.role[static_cast<size_t>(y - mask.rect.top) * width];
        uint8_t* row = &picture->pixels[static_cast<size_t>(y) * picture->pitch + mask.rect.left];
        for (int x = 0; x < width; ++x) {
            if (roles[x] != ROLE_OUTSIDE) row[x] = colours.role[roles[x]];
        }
    }
}

void DrawCardRim(Surface& mask, const CardRimRoles& roles) {
    const int w = mask.width;
    const int h = mask.height;
    constexpr int CUT = 4;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int dx = std::min(x, w - 1 - x);
            const int dy = std::min(y, h - 1 - y);
            const int d = std::min(std::min(dx, dy), dx + dy - CUT);
            uint8_t role = roles.inside;
            if (d < 0) {
                role = roles.outside;
            } else if (d == 0 || d == 3) {
                role = roles.edge;
            } else if (d <= 2) {
                role = roles.rim;
            }
            mask.pixels[static_cast<size_t>(y) * mask.pitch + x] = role;
        }
    }
}
