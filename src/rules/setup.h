#pragma once
// The match setup: the opening layout read into the piece table, the placing costs, the side
// colours drawn and the sheets recoloured, the board tile style drawn.

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/core/platform.h"
#include "rules/board.h"

// The opening layout: 40 groups "x,y,kind,value," - side 0's 20 pieces, then side 1's.
constexpr const char* LAYOUT_FILE_PATH = "DATA\\TXT\\SYOGI.dat";
constexpr int LAYOUT_GROUP_COUNT = 2 * LAYOUT_PIECES_PER_SIDE;
// Piece values from the layout are held to 0..MAX_LAYOUT_VALUE: a piece pays out its value one
// point mote at a time and shows it as digits, neither of which makes sense for a negative or
// enormous worth.
constexpr int32_t MAX_LAYOUT_VALUE = 999;

// Reads the opening layout into the (already cleared) piece table, fills DropCost, draws each
// side's colour bank and recolours its sheet, switches sound and music on and draws the board
// tile style. Random draws, in order: side 0's colour, side 1's colour, tile style.
void MatchSetup();

// Reads the layout file into slots 0..19 and 32..51 as MatchSetup does; false when the file
// cannot be opened (the table is then left as it was).
bool ReadLayoutFile(const char* gamePath);
// The same from a file already open for reading, which stays open. Returns what was odd about
// the file as one line without the file's name (malformed or missing groups, text after the
// last group, pieces off the board or of unknown kinds, values held, two pieces on one square,
// a side without a king), empty when nothing was.
std::string ReadLayout(std::FILE* file);

// Palette bank for a number: 0 -> 14, 1..6 -> 1..6, 7 -> 13, 8 -> 7, anything else -> 14.
int ColourBankFor(int n);

// Moves every opaque pixel of the rectangle into the bank base (a SideColourBank byte), keeping
// its low four bits; TRANSPARENT_INDEX pixels stay. The rectangle is clipped to the sheet; a
// null sheet is left alone.
void RecolourSheet(Surface* sheet, uint8_t base, int left, int top, int width, int height);
