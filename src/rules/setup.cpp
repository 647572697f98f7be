// Match setup: the opening layout, the placing costs, the side colours and the board tiles.
#include "rules/setup.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <type_traits>

#include "media/resources.h"
#include "platform/core/platform.h"
#include "rules/board.h"
#include "state/random.h"

namespace {

// The fields are read straight into the piece records with %d.
static_assert(std::is_same_v<int32_t, int>);

// One group is "x,y,kind,value,". White space may stand before each number, so groups may sit on
// one line or on several, but each comma must follow its number directly; a read that stops early
// leaves the rest of its slot at 0 and the following numbers land in the wrong fields. Each number
// takes at most nine characters (sign included) so the conversion can never overflow an int: a
// longer number is split in two and puts the rest of the file out of step, as a malformed group
// does. %n tells whether the group's final comma was there.
constexpr const char* LAYOUT_GROUP_FORMAT = "%9d,%9d,%9d,%9d,%n";

constexpr int8_t PLACING_COSTS[7] = {1, 2, 3, 4, 5, 6, 6};

constexpr int SHEET_WIDTH = 416;
constexpr int SHEET_HEIGHT = 96;

// Slot filled by layout group g: side 0's twenty pieces first, then side 1's.
int LayoutSlot(int group) {
    return group < LAYOUT_PIECES_PER_SIDE ? group
                                          : SIDE_SLOT_COUNT + group - LAYOUT_PIECES_PER_SIDE;
}

bool KnownKind(uint8_t kind) {
    const int low = kind & KIND_MASK;
    return (kind & ~(KIND_MASK | KIND_PROMOTED)) == 0 && low >= KIND_PAWN && low <= KIND_KING;
}

// What was odd about a layout file, gathered so that it is told in one line.
struct LayoutProblems {
    int groupsFound = LAYOUT_GROUP_COUNT;  // groups before the end of the file
    int firstMalformed = -1;
    bool trailingText = false;
    int offBoard = 0, firstOffBoard = -1;
    int oddKinds = 0, firstOddKind = -1;
    int heldValues = 0, firstHeldValue = -1;
    bool sideWithoutKing[2] = {false, false};
    int sharedSquares = 0, firstShared = -1;  // pieces on a square an earlier piece holds
};

// A group's own final comma may be left out before white space or the end of the file, which the
// next number skips. Anything else there means the value ran on into the next number (a sign,
// or a tenth character), so the groups after it are read out of step.
bool GroupEndsCleanly(std::FILE* file, int commaEnd) {
    if (commaEnd >= 0) return true;
    const int c = std::fgetc(file);
    if (c == EOF) return true;
    std::ungetc(c, file);
    return std::isspace(c) != 0;
}

void Count(int group, int* count, int* first) {
    if ((*count)++ == 0) *first = group;
}

std::string Describe(const LayoutProblems& p) {
    std::string line;
    char part[120];
    auto add = [&line](const char* text) {
        if (!line.empty()) line += "; ";
        line += text;
    };
    if (p.firstMalformed >= 0) {
        std::snprintf(part, sizeof part, "group %d is malformed, the rest is read out of step",
                      p.firstMalformed + 1);
        add(part);
    } else if (p.groupsFound < LAYOUT_GROUP_COUNT) {
        std::snprintf(part, sizeof part, "only %d of %d groups, the other slots stay empty",
                      p.groupsFound, LAYOUT_GROUP_COUNT);
        add(part);
    }
    if (p.trailingText) add("text after the last group is ignored");
    if (p.offBoard > 0) {
        std::snprintf(part, sizeof part,
                      "pieces off the board, never reachable: %d (first in group %d)", p.offBoard,
                      p.firstOffBoard + 1);
        add(part);
    }
    if (p.oddKinds > 0) {
        std::snprintf(part, sizeof part, "pieces of unknown kind: %d (first in group %d)",
                      p.oddKinds, p.firstOddKind + 1);
        add(part);
    }
    if (p.heldValues > 0) {
        std::snprintf(part, sizeof part, "values held to 0..%d: %d (first in group %d)",
                      MAX_LAYOUT_VALUE, p.heldValues, p.firstHeldValue + 1);
        add(part);
    }
    if (p.sharedSquares > 0) {
        std::snprintf(part, sizeof part,
                      "pieces on a square another piece holds: %d (first in group %d)",
                      p.sharedSquares, p.firstShared + 1);
        add(part);
    }
    for (int side = 0; side < 2; ++side) {
        if (p.sideWithoutKing[side]) {
            std::snprintf(part, sizeof part, "no king for side %d", side + 1);
            add(part);
        }
    }
    return line;
}

}  // namespace

std::string ReadLayout(std::FILE* file) {
    LayoutProblems problems;
    bool allWhole = true;
    for (int group = 0; group < LAYOUT_GROUP_COUNT; ++group) {
        PieceRecord& piece = PieceTable[LayoutSlot(group)];
        int kind = piece.kind;
        int commaEnd = -1;
        const int converted = std::fscanf(file, LAYOUT_GROUP_FORMAT, &piece.x, &piece.y, &kind,
                                          &piece.value, &commaEnd);
        // The kind byte keeps the low eight bits of the number, and only when it was read.
        if (converted >= 3) piece.kind = static_cast<uint8_t>(kind);
        if (converted == 4 && GroupEndsCleanly(file, commaEnd)) continue;
        allWhole = false;
        if (converted == EOF) {
            if (problems.groupsFound == LAYOUT_GROUP_COUNT) problems.groupsFound = group;
        } else if (problems.firstMalformed < 0) {
            problems.firstMalformed = group;
        }
    }
    if (allWhole) {
        int c;
        while ((c = std::fgetc(file)) != EOF && std::isspace(c)) {}
        problems.trailingText = c != EOF;
    }

    for (int group = 0; group < LAYOUT_GROUP_COUNT; ++group) {
        PieceRecord& piece = PieceTable[LayoutSlot(group)];
        if (piece.kind == KIND_NONE) continue;
        if (!OnBoard(piece.x, piece.y)) Count(group, &problems.offBoard, &problems.firstOffBoard);
        if (!KnownKind(piece.kind)) Count(group, &problems.oddKinds, &problems.firstOddKind);
        if (piece.value < 0 || piece.value > MAX_LAYOUT_VALUE) {
            piece.value = std::clamp(piece.value, 0, MAX_LAYOUT_VALUE);
            Count(group, &problems.heldValues, &problems.firstHeldValue);
        }
        if (OnBoard(piece.x, piece.y)) {
            for (int earlier = 0; earlier < group; ++earlier) {
                const PieceRecord& other = PieceTable[LayoutSlot(earlier)];
                if (other.kind != KIND_NONE && other.x == piece.x && other.y == piece.y) {
                    Count(group, &problems.sharedSquares, &problems.firstShared);
                    break;
                }
            }
        }
    }
    // The layout loads as it is either way: the match simply has no king to take on that side.
    for (int side = 0; side < 2; ++side) {
        bool king = false;
        for (int i = 0; i < LAYOUT_PIECES_PER_SIDE; ++i) {
            const PieceRecord& piece = PieceTable[LayoutSlot(side * LAYOUT_PIECES_PER_SIDE + i)];
            if (piece.kind != KIND_NONE && (piece.kind & KIND_MASK) == KIND_KING) king = true;
        }
        problems.sideWithoutKing[side] = !king;
    }
    return Describe(problems);
}

bool ReadLayoutFile(const char* gamePath) {
    std::FILE* file = OpenGameFile(gamePath, "r");
    if (file == nullptr) return false;
    const std::string problems = ReadLayout(file);
    std::fclose(file);
    if (!problems.empty()) ReportFileProblem(gamePath, problems);
    return true;
}

void MatchSetup() {
    if (!ReadLayoutFile(LAYOUT_FILE_PATH)) {
        ReportFileProblem(LAYOUT_FILE_PATH,
                          "cannot open the layout, the match starts with an empty board");
    }

    std::copy(std::begin(PLACING_COSTS), std::end(PLACING_COSTS), DropCost);
    DropCost[DROP_COST_COUNT - 1] = 0;

    for (int side = 0; side < 2; ++side) {
        SideColourBank[side] = static_cast<uint8_t>(ColourBankFor(Rand() % 8) * 16);
    }
    for (int side = 0; side < 2; ++side) {
        RecolourSheet(SideSheet[side], SideColourBank[side], 0, 0, SHEET_WIDTH, SHEET_HEIGHT);
    }

    SoundOn = 1;
    MusicOn = 1;

    BoardTileStyle = static_cast<uint8_t>(Rand() % 10);
}

int ColourBankFor(int n) {
    static constexpr int BANKS[9] = {14, 1, 2, 3, 4, 5, 6, 13, 7};
    return n >= 0 && n < 9 ? BANKS[n] : 14;
}

void RecolourSheet(Surface* sheet, uint8_t base, int left, int top, int width, int height) {
    if (sheet == nullptr) return;
    LockedSurface locked;
    if (!LockSurface(sheet, &locked)) return;
    // Clip the rectangle to the sheet (in 64 bits, so no corner can overflow into range).
    const int64_t x0 = std::max<int64_t>(left, 0);
    const int64_t y0 = std::max<int64_t>(top, 0);
    const int64_t x1 = std::min<int64_t>(static_cast<int64_t>(left) + width, locked.width);
    const int64_t y1 = std::min<int64_t>(static_cast<int64_t>(top) + height, locked.height);
    for (int64_t y = y0; y < y1; ++y) {
        uint8_t* row = locked.pixels + y * locked.pitch;
        for (int64_t x = x0; x < x1; ++x) {
            // Only the low four bits of the artwork's index survive: its shade within the bank.
            if (row[x] != TRANSPARENT_INDEX) row[x] = static_cast<uint8_t>(base + (row[x] & 0x0F));
        }
    }
    UnlockSurface(sheet);
}
