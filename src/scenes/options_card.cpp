#include "scenes/options_card.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "media/draw.h"
#include "media/palette.h"
#include "scenes/help_card.h"
#include "scenes/option_rows.h"
#include "state/language.h"
#include "state/loop_state.h"

namespace {

// Each pixel of the card is one of these roles; the colours are picked per palette, as the help
// card picks its own, so the two cards look alike.
enum Role : uint8_t {
    ROLE_OUTSIDE,   // the cut corners: the scene shows through untouched
    ROLE_BACKDROP,  // the scene, dimmed
    ROLE_EDGE,      // dark lines
    ROLE_RIM,       // gold: the rim, the chosen row's frame, the arrows, the volume bar
    ROLE_HEADING,   // the title and the row names' English
    ROLE_JAPANESE,  // the Japanese of each line
    ROLE_ENGLISH,   // the English beside it
    ROLE_COUNT
};

constexpr Rgb ROLE_COLOURS[ROLE_COUNT] = {
    {0, 0, 0},        // outside (not drawn)
    {0, 0, 0},        // backdrop (per pixel, below)
    {0, 0, 0},        // edge: ink black
    {214, 168, 64},   // rim: gold leaf
    {255, 222, 130},  // headings: pale gold
    {255, 240, 210},  // Japanese: washi white
    {236, 236, 236},  // English: white
};
// Darker than the help card's: the card is read while choices are made, the scene not at all.
constexpr int BACKDROP_KEEP_PERCENT = 5;
constexpr Rgb BACKDROP_INK = {10, 10, 22};

const char* const ENGLISH_FACE = "DejaVu Sans";

constexpr int CARD_WIDTH = 460;
constexpr int PADDING = 14;
constexpr int TITLE_HEIGHT = 34;
constexpr int ROW_HEIGHT_MOST = 36;
constexpr int FOOT_HEIGHT = 40;
// The card keeps at least this much of the scene above and below it.
constexpr int CARD_MARGIN_LEAST = 4;
constexpr int VALUE_LEFT = 236;  // from the card's left edge
constexpr int VALUE_RIGHT = CARD_WIDTH - PADDING;
constexpr int ARROW_WIDTH = 18;

// The rows' height: the most, or less when that many rows would not leave the card on the screen.
int RowHeightFor(int rows) {
    const int room =
        480 - 2 * CARD_MARGIN_LEAST - (PADDING + TITLE_HEIGHT + FOOT_HEIGHT + PADDING / 2);
    return std::min(ROW_HEIGHT_MOST, room / std::max(rows, 1));
}

int RowHeight() {
    static const int height = RowHeightFor(static_cast<int>(OptionRows().size()));
    return height;
}

OptionsCardLayout MakeLayout() {
    const int rows = static_cast<int>(OptionRows().size());
    const int height = PADDING + TITLE_HEIGHT + rows * RowHeight() + FOOT_HEIGHT + PADDING / 2;
    OptionsCardLayout l;
    l.card.left = (640 - CARD_WIDTH) / 2;
    l.card.top = (480 - height) / 2;
    l.card.right = l.card.left + CARD_WIDTH;
    l.card.bottom = l.card.top + height;
    l.rowTop = l.card.top + PADDING + TITLE_HEIGHT;
    l.rowHeight = RowHeight();
    l.valueLeft = l.card.left + VALUE_LEFT;
    l.valueRight = l.card.left + VALUE_RIGHT;
    const int footTop = l.rowTop + rows * RowHeight() + 8;
    l.close = Rect{l.card.right - PADDING - 110, footTop, l.card.right - PADDING, footTop + 26};
    return l;
}

bool CardIsOpen = false;
int Selected = 0;

FontSpec Font(int size, const char* face, int weight = TEXT_WEIGHT_NORMAL) {
    FontSpec f;
    f.height = size;
    f.face = face;
    f.weight = weight;
    return f;
}

// ---- the mask: one role a pixel, drawn again only when something on the card changed -----

struct Mask {
    Surface surface;
    std::string drawnFor;  // the selection and every row's value when it was drawn
};

void Fill(Surface& m, Rect r, Role role) {
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, m.width);
    r.bottom = std::min(r.bottom, m.height);
    for (int y = r.top; y < r.bottom; ++y) {
        std::fill_n(&m.pixels[static_cast<size_t>(y) * m.pitch + r.left],
                    std::max(0, r.right - r.left), role);
    }
}

void Frame(Surface& m, const Rect& r, Role role) {
    Fill(m, Rect{r.left, r.top, r.right, r.top + 1}, role);
    Fill(m, Rect{r.left, r.bottom - 1, r.right, r.bottom}, role);
    Fill(m, Rect{r.left, r.top, r.left + 1, r.bottom}, role);
    Fill(m, Rect{r.right - 1, r.top, r.right, r.bottom}, role);
}

// A solid triangle pointing left or right, in a box of width x height at (x, y).
void Arrow(Surface& m, int x, int y, int width, int height, bool right) {
    for (int row = 0; row < height; ++row) {
        const int reach = (height / 2 - std::abs(row - height / 2)) * width * 2 / height;
        const int from = right ? x : x + width - reach;
        Fill(m, Rect{from, y + row, from + reach, y + row + 1}, ROLE_RIM);
    }
}

void Text(Surface& m, const std::string& text, const Rect& r, const FontSpec& font, Role role,
          unsigned format = DT_LEFT) {
    GdiDrawTextIndex(&m, text.c_str(), r, font, role, format);
}

// The English of a text that gives its Japanese first and the English after two spaces.
std::string EnglishOf(const std::string& both) {
    const size_t gap = both.rfind("  ");
    return gap == std::string::npos ? both : both.substr(gap + 2);
}

void DrawRow(Surface& m, const OptionRow& row, int index, int top) {
    const FontSpec japanese = Font(16, "");
    const FontSpec english = Font(12, ENGLISH_FACE);
    const FontSpec small = Font(10, ENGLISH_FACE);
    const FontSpec bold = Font(12, ENGLISH_FACE, TEXT_WEIGHT_BOLD);
    if (index == Selected) {
        Frame(m, Rect{PADDING - 6, top + 1, CARD_WIDTH - PADDING + 6, top + RowHeight() - 1},
              ROLE_RIM);
        Arrow(m, PADDING - 2, top + 12, 7, 12, true);
    }
    if (InEnglish()) {
        Text(m, row.english, Rect{PADDING + 10, top + 10, VALUE_LEFT - 4, top + RowHeight()}, bold,
             ROLE_HEADING);
    } else {
        Text(m, row.japanese, Rect{PADDING + 10, top + 8, PADDING + 90, top + RowHeight()},
             japanese, ROLE_JAPANESE);
        Text(m, row.english, Rect{PADDING + 88, top + 10, VALUE_LEFT - 4, top + RowHeight()}, bold,
             ROLE_HEADING);
    }
    const int value = row.current();
    const int boxTop = top + 6;
    const int boxBottom = top + 28;
    Frame(m, Rect{VALUE_LEFT, boxTop, VALUE_RIGHT, boxBottom}, ROLE_EDGE);
    if (value > 0 || row.wraps) Arrow(m, VALUE_LEFT + 4, boxTop + 5, ARROW_WIDTH - 8, 12, false);
    if (value < row.count() - 1 || row.wraps) {
        Arrow(m, VALUE_RIGHT - ARROW_WIDTH + 4, boxTop + 5, ARROW_WIDTH - 8, 12, true);
    }
    const int inLeft = VALUE_LEFT + ARROW_WIDTH;
    const int inRight = VALUE_RIGHT - ARROW_WIDTH;
    if (!row.wraps && row.count() == VOLUME_STEPS + 1) {
        // A volume: its number and a bar of ten steps.
        Text(m, row.valueText(value), Rect{inLeft, boxTop + 3, inLeft + 26, boxBottom}, english,
             ROLE_ENGLISH, DT_CENTER);
        const int barLeft = inLeft + 30;
        const int step = (inRight - barLeft) / VOLUME_STEPS;
        for (int s = 0; s < VOLUME_STEPS; ++s) {
            const Rect cell{barLeft + s * step, boxTop + 6, barLeft + (s + 1) * step - 2,
                            boxBottom - 6};
            if (s < value) {
                Fill(m, cell, ROLE_RIM);
            } else {
                Frame(m, cell, ROLE_RIM);
            }
        }
    } else {
        Text(m, row.valueText(value), Rect{inLeft, boxTop + 2, inRight, boxBottom}, english,
             ROLE_JAPANESE, DT_CENTER);
    }
    if (row.note[0] != 0) {
        Text(m, InEnglish() ? EnglishOf(row.note) : row.note,
             Rect{VALUE_LEFT, boxBottom, VALUE_RIGHT, top + RowHeight() + 2}, small, ROLE_ENGLISH,
             DT_CENTER);
    }
}

void DrawCard(Surface& m) {
    const OptionsCardLayout& l = OptionsCardGeometry();
    DrawCardRim(m, {ROLE_OUTSIDE, ROLE_EDGE, ROLE_RIM, ROLE_BACKDROP});
    if (InEnglish()) {
        Text(m, "Options", Rect{PADDING, PADDING - 2, 120, PADDING + TITLE_HEIGHT},
             Font(22, TextFace), ROLE_HEADING);
        Text(m, "Up/Down choose, Left/Right or a click change",
             Rect{PADDING + 110, PADDING + 6, CARD_WIDTH - PADDING, PADDING + TITLE_HEIGHT},
             Font(11, ENGLISH_FACE, TEXT_WEIGHT_BOLD), ROLE_ENGLISH);
    } else {
        Text(m, "設定", Rect{PADDING, PADDING - 4, 80, PADDING + TITLE_HEIGHT}, Font(24, TextFace),
             ROLE_HEADING);
        Text(m, "Options: Up/Down choose, Left/Right or a click change",
             Rect{PADDING + 60, PADDING + 6, CARD_WIDTH - PADDING, PADDING + TITLE_HEIGHT},
             Font(11, ENGLISH_FACE, TEXT_WEIGHT_BOLD), ROLE_ENGLISH);
    }
    int index = 0;
    for (const OptionRow& row : OptionRows()) {
        DrawRow(m, row, index, l.rowTop - l.card.top + index * RowHeight());
        ++index;
    }
    const Rect close{l.close.left - l.card.left, l.close.top - l.card.top,
                     l.close.right - l.card.left, l.close.bottom - l.card.top};
    Frame(m, close, ROLE_RIM);
    Text(m, InEnglish() ? "close" : "閉じる  close",
         Rect{close.left, close.top + 4, close.right, close.bottom}, Font(13, ""), ROLE_JAPANESE,
         DT_CENTER);
    Text(m, "F2 closes too; settings are kept for the next start",
         Rect{PADDING, close.top + 7, close.left - 6, close.bottom}, Font(10, ENGLISH_FACE),
         ROLE_ENGLISH);
}

std::string CardState() {
    std::string state = std::string(LanguageWord(GameLanguage)) + "," + std::to_string(Selected);
    for (const OptionRow& row : OptionRows()) state += "," + std::to_string(row.current());
    return state;
}

const Surface& CurrentMask() {
    static Mask mask;
    const std::string state = CardState();
    if (mask.surface.width == 0 || mask.drawnFor != state) {
        const OptionsCardLayout& l = OptionsCardGeometry();
        Surface& s = mask.surface;
        s.width = l.card.right - l.card.left;
        s.height = l.card.bottom - l.card.top;
        s.pitch = s.width;
        s.pixels.assign(static_cast<size_t>(s.pitch) * s.height, ROLE_BACKDROP);
        DrawCard(s);
        mask.drawnFor = state;
    }
    return mask.surface;
}

// ---- the colours ---------------------------------------------------------------------------

// The roles' indexes and each colour's dimmed index, picked again only when the palette changes.
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
        colours.role[r] = NearestIndexIn(palette, ROLE_COLOURS[r]);
    }
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& c = palette[i];
        // The scene under the card: a few percent of it over the card's ink.
        const auto dim = [](int channel, int ink) {
            return static_cast<uint8_t>(channel * BACKDROP_KEEP_PERCENT / 100 + ink);
        };
        colours.dimmed[i] = NearestIndexIn(
            palette, Rgb{dim(c.red, BACKDROP_INK.red), dim(c.green, BACKDROP_INK.green),
                         dim(c.blue, BACKDROP_INK.blue)});
    }
    return colours;
}

bool Inside(const Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void Changed() { RedrawOpenOverlay(); }

}  // namespace

const OptionsCardLayout& OptionsCardGeometry() {
    static const OptionsCardLayout layout = MakeLayout();
    return layout;
}

bool OptionsCardAvailable(int scene) {
    return scene == SCENE_TITLE || scene == SCENE_TITLE_LOAD || scene == SCENE_MATCH ||
           scene == SCENE_MATCH_LOAD || scene == SCENE_RESULT;
}

bool OptionsCardOpen() { return CardIsOpen; }

void OpenOptionsCard() {
    if (CardIsOpen) return;
    CardIsOpen = true;
    HoldSceneInput(true);
    SetOpenOverlay(ComposeOptionsCard);
    TraceLine("\"options\":\"open\"");
}

void CloseOptionsCard() {
    if (!CardIsOpen) return;
    CardIsOpen = false;
    SetOpenOverlay(nullptr);
    HoldSceneInput(false);
    TraceLine("\"options\":\"closed\"");
}

void OptionsCardKey(int key) {
    const auto rows = OptionRows();
    const int count = static_cast<int>(rows.size());
    switch (key) {
    case VK_UP: Selected = (Selected + count - 1) % count; break;
    case VK_DOWN: Selected = (Selected + 1) % count; break;
    case VK_LEFT: StepOptionRow(rows[static_cast<size_t>(Selected)], -1); break;
    case VK_RIGHT: StepOptionRow(rows[static_cast<size_t>(Selected)], +1); break;
    default: return;
    }
    Changed();
}

void OptionsCardClick(int x, int y) {
    const OptionsCardLayout& l = OptionsCardGeometry();
    if (Inside(l.close, x, y)) {
        CloseOptionsCard();
        return;
    }
    const auto rows = OptionRows();
    const int index = y >= l.rowTop ? (y - l.rowTop) / l.rowHeight : -1;
    if (!Inside(l.card, x, y) || index < 0 || index >= static_cast<int>(rows.size())) return;
    Selected = index;
    if (x >= l.valueLeft && x < l.valueRight) {
        const int middle = (l.valueLeft + l.valueRight) / 2;
        StepOptionRow(rows[static_cast<size_t>(index)], x < middle ? -1 : +1);
    }
    Changed();
}

void ComposeOptionsCard(Surface* picture, const PaletteEntry palette[256]) {
    const OptionsCardLayout& l = OptionsCardGeometry();
    if (picture == nullptr || picture->width < l.card.right || picture->height < l.card.bottom ||
        picture->pixels.size() < static_cast<size_t>(picture->pitch) * picture->height) {
        return;
    }
    const Surface& mask = CurrentMask();
    const CardColours& colours = ColoursFor(palette);
    for (int y = 0; y < mask.height; ++y) {
        const uint8_t* roles = &mask.pixels[static_cast<size_t>(y) * mask.pitch];
        uint8_t* row =
            &picture->pixels[static_cast<size_t>(y + l.card.top) * picture->pitch + l.card.left];
        for (int x = 0; x < mask.width; ++x) {
            const uint8_t role = roles[x];
            if (role == ROLE_OUTSIDE) continue;
            row[x] = role == ROLE_BACKDROP ? colours.dimmed[row[x]] : colours.role[role];
        }
    }
}
