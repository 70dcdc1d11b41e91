// scroll.h: which rows of the panels the window shows, and whether its right
// side shows the standings or the places each player can still reach.
//
// The panels hold more rows than the window shows (kPanelRows against
// kWholeRows); both sides show their rows from the same row, top.
// Keys that type nothing move that row or switch the right side. Pure
// values and functions: the dialogue keeps the scroll of its run.
#pragma once

#include <string>

#include "views/text_panel.h"

struct PanelView {
  int top = 0;          // first row shown, the same on both sides
  bool places = false;  // right side: the places view instead of the standings
};

inline bool operator==(const PanelView& a, const PanelView& b) {
  return a.top == b.top && a.places == b.places;
}

// What a key that types nothing asks of the view.
enum class ViewKey {
  kNone,      // not a view key
  kLineUp,    // Up: one row
  kLineDown,  // Down: one row
  kPageUp,    // Page Up: half a window
  kPageDown,  // Page Down: half a window
  kTop,       // Home
  kBottom,    // End
  kPlaces,    // F2: standings <-> places
};

// Rows the window shows whole: it draws kPanelHeight rows, but the message
// strip covers the lower part of the last one, which therefore counts as
// hidden.
constexpr int kWholeRows = kPanelHeight - 1;

// Rows moved by Page Up and Page Down.
constexpr int kScrollPage = kPanelHeight / 2;

// How many rows of content each panel holds.
struct ViewRows {
  int left = 0;
  int standings = 0;
  int places = 0;
};

// Rows the view scrolls over: the longer of the left panel and the right
// side it shows.
int shownRows(PanelView view, ViewRows rows);

// The top moved within 0 .. rows - kWholeRows (0 when everything fits).
int clampTop(int top, int rows);

// The view after the key; the same view for kNone, at a boundary, or when
// the content fits. Switching sides keeps the top, clamped to the new side.
PanelView applyViewKey(PanelView view, ViewKey key, ViewRows rows);

// The status part for the rows shown whole: "Lignes 26 a 74 sur 101" and
// the scroll keys while some rows are hidden, else "".
std::string rowsStatus(int top, int rows);

// The status part for F2: what pressing it would show.
std::string keysStatus(bool places);

// The view of one run, kept from turn to turn: what is shown and over how
// many rows. Until a tournament is shown, keys do nothing.
struct PanelScroll {
  PanelView view;
  ViewRows rows;
  bool tournamentShown = false;

  // A turn shows a tournament with these rows: the top is clamped to them.
  void showTurn(ViewRows turnRows);
  // Applies a key; true when the view changed (to be drawn again).
  bool press(ViewKey key);
  // The status band's parts for the rows and the keys ("" before a turn).
  std::string rowsPart() const;
  std::string keysPart() const;
};
