#pragma once
// Where the selected piece of the side to move may go. The generators write ReachTable; these are
// the game's only legality rules (no check, no pawn-drop or dead-piece rules).
//
// Side 0 moves forward towards larger rows, side 1 towards smaller rows; columns are never
// mirrored. Two ways of writing ReachTable:
//  - fixed entries (pawn, knight, silver, gold, king): offset i of the piece's list goes to entry
//    i, and an offset off the board or onto an own piece leaves entry i unreachable;
//  - appended entries (lance, rook, bishop and the extra steps of a promoted rook or bishop):
//    squares go to entries 0, 1, 2, ... in the order they are found.

// Clears all 81 reachable flags, then runs the generator for the selected piece's kind: a
// promoted rook or bishop keeps its own generator, every other promoted kind moves as gold, and
// an unpromoted kind outside pawn..king has no moves. Nothing is listed when no piece is
// selected, when SelectedPiece is not a slot number or when the piece stands off the board.
void GenerateMoves();

// The generators for each kind, working on SelectedPiece and SideToMove. They do not clear the
// table first; GenerateMoves does.
void GeneratePawnMoves();
void GenerateLanceMoves();
void GenerateKnightMoves();
void GenerateSilverMoves();
void GenerateGoldMoves();
void GenerateRookMoves();    // adds the four diagonal steps when promoted
void GenerateBishopMoves();  // adds the four orthogonal steps when promoted
void GenerateKingMoves();
