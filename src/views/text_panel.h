// text_panel.h: fixed character grids written to like any output stream.
//
// The engine writes match announcements and standings with << and std::endl;
// a panel stores the characters in its grid at a write cursor instead of
// sending them anywhere, and the window code later draws the grid.
//
// Rules of the grid:
//  - a block write (any string insertion) stores characters at the cursor and
//    advances the column; characters past the right edge are dropped, never
//    wrapped; rows at or below the last row store nothing;
//  - a character written on its own (overflow) is dropped, which is how the
//    newline of std::endl disappears;
//  - a flush (sync) moves the cursor to column 0 of the next row;
//  - nothing ever fails, so the stream stays in the good state for the run.
//
// Owns leftPanel (match announcements), rightPanel (standings) and
// placesPanel (the places each player can still reach), constructed before
// main in that order. Only clear() and stream output change them.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

template <class CharT, class Traits = std::char_traits<CharT>>
class Out_Buffer : public std::basic_streambuf<CharT, Traits> {
 public:
  using int_type = typename Traits::int_type;

  Out_Buffer(int firstColumn, int width, int height)
      : firstColumn(firstColumn), width(width), height(height),
        grid(static_cast<size_t>(width) * height, CharT(' ')) {}

  // Every cell back to a space, cursor to row 0, column 0.
  void clear() {
    grid.assign(grid.size(), CharT(' '));
    cursorColumn = 0;
    cursorRow = 0;
  }

  // A copy of the cells, row-major: cell (r, c) is element r * width + c.
  std::vector<CharT> getGrid() const { return grid; }

  int cursorColumnNow() const { return cursorColumn; }
  int cursorRowNow() const { return cursorRow; }

  int firstColumn;
  int width;
  int height;

 protected:
  // Single characters are never stored; never reports end-of-file.
  int_type overflow(int_type c) override {
    return Traits::eq_int_type(c, Traits::eof()) ? int_type(0) : c;
  }

  std::streamsize xsputn(const CharT* s, std::streamsize n) override {
    for (std::streamsize i = 0; i < n; ++i) {
      if (cursorColumn >= width) break;
      if (cursorRow < height)
        grid[static_cast<size_t>(cursorRow) * width + cursorColumn] = s[i];
      ++cursorColumn;
    }
    return n < 0 ? 0 : n;
  }

  int sync() override {
    ++cursorRow;
    cursorColumn = 0;
    return 0;
  }

 private:
  int cursorColumn = 0;
  int cursorRow = 0;
  std::vector<CharT> grid;
};

template <class CharT, class Traits = std::char_traits<CharT>>
class Out_ : public std::basic_ostream<CharT, Traits> {
 public:
  Out_(int firstColumn, int width, int height)
      : std::basic_ostream<CharT, Traits>(nullptr),
        firstColumn(firstColumn), width(width),
        buffer(firstColumn, width, height) {
    this->rdbuf(&buffer);  // attaches the grid and resets the state to good
  }

  // Empties the grid (not the stream state: this hides basic_ios::clear).
  void clear() { buffer.clear(); }
  std::vector<CharT> getGrid() const { return buffer.getGrid(); }

  // Row r of the grid as text, trailing spaces included.
  std::basic_string<CharT, Traits> row(int r) const {
    std::vector<CharT> g = buffer.getGrid();
    auto begin = g.begin() + static_cast<long>(r) * width;
    return std::basic_string<CharT, Traits>(begin, begin + width);
  }

  int height() const { return buffer.height; }
  int cursorColumn() const { return buffer.cursorColumnNow(); }
  int cursorRow() const { return buffer.cursorRowNow(); }

  int firstColumn;
  int width;

 private:
  Out_Buffer<CharT, Traits> buffer;
};

using TextPanel = Out_<char>;

// Screen geometry of the two panels, in character cells: the window shows
// kPanelHeight rows of each, from the same row of both (see
// views/scroll.h).
constexpr int kPanelHeight = 50;

// Rows each panel holds. A hundred players give a hundred standings rows and
// at most two pending matches per player (a three-way group), so nothing a
// tournament writes is cut.
constexpr int kPanelRows = 200;

// Announcements of the matches to play: columns 0 to 59.
extern TextPanel leftPanel;
// Standings, one place per row: 40 columns from screen column 42.
extern TextPanel rightPanel;
// The places each player can still reach, one player per row; shown instead
// of the standings on request, in the same columns.
extern TextPanel placesPanel;
