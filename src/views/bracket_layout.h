// bracket_layout.h: where the bracket drawing puts each pairing box and
// three-way group frame (the blocks are described in bracket_svg.h), in the
// pixels of each SVG's own coordinates, and the texts it measures them by.
// Pure; used by bracket_svg.cpp, which draws what this places.
#pragma once

#include <string>
#include <vector>

#include "engine/pairing.h"
#include "engine/tournament_state.h"

// Text is drawn in a monospace font, each character 0.6 em wide. Printed
// at the drawing's own size (96 px to the inch) the smallest text is 9 pt.
constexpr int kNameSize = 13;
constexpr int kSmallSize = 12;
constexpr double kCharWidth = 0.6;
// Names up to this many characters are shown whole; longer ones are cut.
constexpr size_t kShownNameChars = 30;

// Every SVG fits the printable area of an A4 landscape page (297 x 210 mm
// less the page's 8 mm margins: 1062 x 733 px), with the gap the page puts
// after each picture (4 mm) and a little to spare: printed unscaled, no
// picture is ever cut by a page's edge.
constexpr int kSheetMaxWidth = 1040;
constexpr int kSheetMaxHeight = 700;

// Around each SVG's content, and the title row and column heads above it.
constexpr int kMargin = 12;
constexpr int kTitleRow = 24;
constexpr int kColumnHeadRow = 18;
// The winner's mark, left of its name.
constexpr int kMarkWidth = 12;
// A group frame's match cells: their longest row ("en attente") and the
// room on each side of a cell.
constexpr size_t kCellChars = 10;
constexpr int kCellGap = 4;

// Vertical measures of a box: padding, the header row (number and status),
// a side's row, a row of notes.
constexpr int kPad = 5;
constexpr int kHeaderRow = 14;
constexpr int kSideRow = 18;
constexpr int kNoteRow = 14;
// A group frame: its title row, then three member rows, then its three
// matches side by side in cells of three rows.
constexpr int kCellRows = 3;

// One pairing box or three-way group frame.
struct BracketItem {
  int pairing = 0;  // the pairing's number, 0 for a group frame
  int group = 0;    // the group's number for a frame, else 0
  int y = 0;
  int height = 0;
  // Where its winner, loser or places go when no line in the same SVG
  // shows it, one line each (UTF-8, unescaped).
  std::vector<std::string> notes;
};

// The pairings of one group of the recursion (its three-way group last),
// or those of them that one piece of a tall block holds.
struct BracketColumn {
  PlaceRange places;
  int x = 0;
  // "places 1 à 100", and when the column is shared between pieces the
  // numbers of the boxes this piece holds ("places 1 à 100 : 8 à 14").
  std::string head;
  std::vector<BracketItem> items;
};

// One SVG: a block, or one piece of a block too wide or too tall for a
// page. A block is cut between columns first; a group of columns still too
// tall is cut between boxes, where no box of any of its columns crosses.
struct BracketSheet {
  PlaceRange places;  // the block's
  int part = 1;       // 1 to parts: which piece of its block
  int parts = 1;
  std::string title;  // "Places 1 à 100", "Places 1 à 100 (suite 2/9)"
  int width = 0;
  int height = 0;
  std::vector<BracketColumn> columns;
};

struct BracketLayout {
  int itemWidth = 0;
  std::vector<BracketSheet> sheets;
};

// Every pairing of the state in exactly one item of one sheet.
BracketLayout layOutBracket(const TournamentState& state);

// A side as shown: the player's name in UTF-8, cut after kShownNameChars
// characters (the cut marked by "…"), or where it comes from ("Vainqueur
// de 12", "Perdant de 7", "1er du groupe 3"); unescaped.
std::string sideLabel(const PairingSide& side);

// "1re place", "2e place", ...
std::string finalPlaceText(int place);

// The y of the middle of a pairing box's side row (0 or 1), and of a group
// frame's member row (0 to 2), and where a group frame's cells start.
int sideRowMiddle(const BracketItem& item, int side);
int memberRowMiddle(const BracketItem& item, int member);
int cellsTop(const BracketItem& item);
