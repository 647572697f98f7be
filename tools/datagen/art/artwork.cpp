// WriteArtwork: every picture and text file the game reads from DATA/BMP (the English sheets in
// DATA/BMP/EN) and DATA/TXT.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "art/font.h"
#include "art/image_io.h"
#include "art/palettes.h"
#include "art/sheets.h"
#include "art/word_fit.h"
#include "datagen.h"
#include "file_io.h"
#include "media/blend.h"

namespace {

namespace fs = std::filesystem;

bool WriteText(const fs::path& path, const std::string& text) {
    return WriteBinaryFile(path.string(), reinterpret_cast<const uint8_t*>(text.data()),
                           text.size());
}

// A fire palette file: the game reads only its colour table; the picture is its heat ramp.
Canvas FireRamp() {
    Canvas c(256, 16, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 256; ++x) c.Set(x, y, static_cast<uint8_t>(x));
    return c;
}

// palet.dat comes from the game's own table builder, run over the match palette, so that a
// start without the file writes the same bytes. The builder takes a game path relative to the
// working directory, so it runs inside outDir.
bool WriteBlendFile(const fs::path& outDir) {
    const Palette& match = MatchPalette();
    PaletteEntry palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = {match[i].red, match[i].green, match[i].blue, 0};
    fs::path file = outDir / "DATA" / "TXT" / "palet.dat";
    std::error_code ec;
    fs::remove(file, ec);  // the builder never rewrites a file, so clear a stale one
    fs::path previous = fs::current_path(ec);
    fs::current_path(outDir, ec);
    if (ec) {
        std::fprintf(stderr, "datagen: cannot enter %s\n", outDir.string().c_str());
        return false;
    }
    BuildBlendFile("DATA\\TXT\\palet.dat", palette);
    fs::current_path(previous, ec);
    if (!fs::exists(file) || fs::file_size(file) != uintmax_t{65536} * 4) {
        std::fprintf(stderr, "datagen: %s was not written\n", file.string().c_str());
        return false;
    }
    return true;
}

}  // namespace

bool WriteArtwork(const std::string& outDir) {
    if (!InitArtFonts()) return false;
    fs::path root = fs::absolute(outDir);
    fs::path bmp = root / "DATA" / "BMP";
    fs::path txt = root / "DATA" / "TXT";
    std::error_code ec;
    fs::create_directories(bmp, ec);
    fs::create_directories(txt, ec);
    bool ok = true;
    ok = WriteBmp8((bmp / "ETC.bmp").string(), DrawEtcSheet(), MatchPalette()) && ok;
    ok = WriteBmp8((bmp / "COLOR.bmp").string(), DrawColorSheet(), MatchPalette()) && ok;
    ok = WriteBmp8((bmp / "RANK.bmp").string(), DrawRankSheet(), MatchPalette()) && ok;
    ok = WriteBmp8((bmp / "TITLE.bmp").string(), DrawTitleSheet(), TitlePalette()) && ok;
    // The English sheets beside them, each word checked against its box as painted.
    fs::path english = bmp / "EN";
    fs::create_directories(english, ec);
    ClearNotedWords();
    ok = WriteBmp8((english / "ETC.bmp").string(), DrawEtcSheet(SHEETS_ENGLISH), MatchPalette()) &&
         ok;
    ok = WriteBmp8((english / "COLOR.bmp").string(), DrawColorSheet(SHEETS_ENGLISH),
                   MatchPalette()) &&
         ok;
    ok =
        WriteBmp8((english / "RANK.bmp").string(), DrawRankSheet(SHEETS_ENGLISH), MatchPalette()) &&
        ok;
    ok = WriteBmp8((english / "TITLE.bmp").string(), DrawTitleSheet(SHEETS_ENGLISH),
                   TitlePalette()) &&
         ok;
    ok = CheckNotedWords(stderr) && ok;
    Canvas ramp = FireRamp();
    for (int n = 1; n <= FIRE_PALETTE_COUNT; ++n)
        ok = WriteBmp8((bmp / ("FIRE" + std::to_string(n) + ".bmp")).string(), ramp,
                       FirePalette(n)) &&
             ok;
    ok = WriteText(txt / "SYOGI.dat", OpeningLayoutText()) && ok;
    ok = WriteBlendFile(root) && ok;
    return ok;
}
