// Palette builders. Ramps are piecewise linear between a few key colours.
#include "art/palettes.h"

#include <cmath>
#include <vector>

namespace {

struct Key {
    double at;  // position along the ramp
    Colour colour;
};

Colour Lerp(const std::vector<Key>& keys, double t) {
    if (t <= keys.front().at) return keys.front().colour;
    for (size_t i = 1; i < keys.size(); ++i) {
        if (t <= keys[i].at) {
            const Key& a = keys[i - 1];
            const Key& b = keys[i];
            double f = (t - a.at) / (b.at - a.at);
            auto mix = [f](uint8_t x, uint8_t y) {
                return static_cast<uint8_t>(std::lround(x + (y - x) * f));
            };
            return {mix(a.colour.red, b.colour.red), mix(a.colour.green, b.colour.green),
                    mix(a.colour.blue, b.colour.blue)};
        }
    }
    return keys.back().colour;
}

void Ramp(Palette& p, int first, int count, const std::vector<Key>& keys) {
    for (int i = 0; i < count; ++i) p[first + i] = Lerp(keys, i);
}

Palette BuildMatch() {
    Palette p{};
    // Ink greys, slightly warm like sumi on paper.
    Ramp(p, 0, 16, {{0, {0, 0, 0}}, {15, {238, 236, 228}}});
    // Side colours: dark, saturated middle, pale top.
    Ramp(p, 16, 16, {{0, {28, 4, 2}}, {9, {214, 52, 30}}, {15, {255, 218, 196}}});   // vermilion
    Ramp(p, 32, 16, {{0, {4, 8, 34}}, {9, {44, 96, 214}}, {15, {208, 226, 255}}});   // indigo
    Ramp(p, 48, 16, {{0, {2, 22, 10}}, {9, {34, 160, 76}}, {15, {208, 250, 208}}});  // jade
    // Gold leans to yamabuki yellow, clear of the gold leaf and light woods of the boards.
    Ramp(p, 64, 16, {{0, {30, 18, 0}}, {9, {240, 196, 10}}, {15, {255, 250, 180}}});  // gold
    Ramp(p, 80, 16, {{0, {18, 4, 30}}, {9, {142, 64, 204}}, {15, {236, 216, 255}}});  // violet
    Ramp(p, 96, 16, {{0, {0, 22, 26}}, {9, {24, 162, 172}}, {15, {202, 250, 246}}});  // teal
    // Night ink: shade 8 (index 120) is the deep tone the match dims towards.
    Ramp(p, 112, 16, {{0, {4, 4, 10}}, {8, {30, 32, 54}}, {15, {188, 198, 228}}});
    Ramp(p, 128, 16, {{0, {22, 10, 4}}, {8, {124, 70, 34}}, {15, {236, 186, 126}}});    // dark wood
    Ramp(p, 144, 16, {{0, {44, 28, 10}}, {9, {204, 152, 82}}, {15, {255, 238, 196}}});  // light
    Ramp(p, 160, 16, {{0, {6, 20, 16}}, {8, {66, 138, 108}}, {15, {214, 244, 224}}});   // jade
    Ramp(p, 176, 16, {{0, {20, 2, 2}}, {8, {152, 22, 20}}, {15, {255, 150, 118}}});     // lacquer
    Ramp(p, 192, 16, {{0, {32, 18, 2}}, {9, {196, 146, 42}}, {15, {255, 250, 206}}});   // gold
    Ramp(p, 208, 16, {{0, {34, 4, 16}}, {9, {226, 84, 142}}, {15, {255, 222, 236}}});   // sakura
    // Washi: the top (index 239) is the calm paper of the match background. Its middle shades
    // are a greyer kraft than the wood boards, so a washi side's markers read on them.
    Ramp(p, 224, 16, {{0, {24, 14, 8}}, {9, {146, 114, 86}}, {15, {234, 224, 200}}});
    Ramp(p, 240, 8, {{0, {36, 46, 14}}, {7, {190, 206, 120}}});  // tatami rush, fresh green
    // Green-grey aoishi flagstones: the blue-grey of night ink and indigo markers stands out.
    Ramp(p, 248, 5, {{0, {34, 48, 40}}, {4, {164, 184, 170}}});  // slate
    p[253] = {0, 255, 255};  // reach-marker mask value, never shown: loud, so no blend lands on it
    p[254] = {255, 0, 255};  // transparent key: loud, so that a leak shows
    p[255] = {255, 255, 255};
    return p;
}

Palette BuildFire(const std::vector<Key>& keys) {
    Palette p{};
    Ramp(p, 0, 256, keys);
    return p;
}

// Key colours of the sixteen fires. Every channel only rises along each ramp, so each palette is
// monotone in brightness from black at 0 to white at 255.
struct FireKeys {
    const char* name;
    Colour c1, c2, c3, c4;
};
const FireKeys FIRES[FIRE_PALETTE_COUNT] = {
    {"classic", {96, 0, 0}, {220, 40, 0}, {255, 160, 0}, {255, 240, 80}},
    {"blue", {0, 0, 90}, {20, 60, 220}, {60, 170, 255}, {180, 230, 255}},
    {"green", {0, 60, 0}, {20, 160, 20}, {120, 230, 40}, {220, 255, 150}},
    {"violet", {50, 0, 80}, {140, 20, 200}, {220, 100, 255}, {250, 200, 255}},
    {"rose", {90, 0, 30}, {220, 20, 90}, {255, 110, 160}, {255, 210, 230}},
    {"teal", {0, 50, 60}, {0, 150, 170}, {60, 230, 230}, {190, 255, 250}},
    {"gold", {70, 40, 0}, {180, 110, 0}, {240, 200, 30}, {255, 245, 160}},
    {"emerald", {0, 60, 30}, {40, 150, 40}, {200, 210, 40}, {255, 250, 170}},
    {"ice", {10, 20, 60}, {60, 90, 160}, {150, 190, 230}, {220, 240, 255}},
    {"copper", {70, 20, 0}, {170, 70, 20}, {230, 140, 70}, {255, 215, 170}},
    {"sulfur", {50, 50, 0}, {150, 150, 0}, {230, 230, 40}, {255, 255, 170}},
    {"ghost", {30, 30, 40}, {90, 95, 120}, {160, 170, 190}, {220, 225, 240}},
    {"blood", {60, 0, 0}, {160, 0, 10}, {240, 50, 60}, {255, 170, 170}},
    {"orchid", {30, 0, 70}, {130, 0, 160}, {240, 40, 190}, {255, 170, 230}},
    {"aurora", {0, 50, 40}, {0, 140, 120}, {80, 200, 255}, {220, 230, 255}},
    {"ember", {30, 0, 50}, {130, 20, 90}, {255, 70, 110}, {255, 180, 150}},
};

}  // namespace

const Palette& MatchPalette() {
    static const Palette palette = BuildMatch();
    return palette;
}

const Palette& TitlePalette() {
    // A lacquer-and-gold heat ramp: the logo is drawn with it, and the burning pictures look
    // right under it too. 254 stays the loud key colour.
    static const Palette palette = [] {
        Palette p = BuildFire({{0, {0, 0, 0}},
                               {60, {70, 0, 10}},
                               {120, {170, 20, 20}},
                               {175, {232, 122, 30}},
                               {220, {255, 216, 112}},
                               {255, {255, 255, 255}}});
        p[254] = {255, 0, 255};
        return p;
    }();
    return palette;
}

const Palette& FirePalette(int n) {
    static const std::vector<Palette> palettes = [] {
        std::vector<Palette> all;
        for (const FireKeys& f : FIRES)
            all.push_back(BuildFire({{0, {0, 0, 0}},
                                     {50, f.c1},
                                     {110, f.c2},
                                     {170, f.c3},
                                     {215, f.c4},
                                     {255, {255, 255, 255}}}));
        return all;
    }();
    if (n < 1 || n > FIRE_PALETTE_COUNT) n = 1;
    return palettes[static_cast<size_t>(n - 1)];
}

const char* FirePaletteName(int n) {
    if (n < 1 || n > FIRE_PALETTE_COUNT) return "?";
    return FIRES[n - 1].name;
}
