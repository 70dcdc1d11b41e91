// scroll.cpp: see scroll.h.
#include "views/scroll.h"

#include <algorithm>

namespace {

const char* const kScrollKeys = " (PgUp PgDn Home End)";
const char* const kShowPlaces = "F2 : places possibles";
const char* const kShowStandings = "F2 : classement";

}  // namespace

int shownRows(PanelView view, ViewRows rows) {
  return std::max(rows.left, view.places ? rows.places : rows.standings);
}

int clampTop(int top, int rows) {
  return std::max(0, std::min(top, rows - kWholeRows));
}

PanelView applyViewKey(PanelView view, ViewKey key, ViewRows rows) {
  switch (key) {
    case ViewKey::kNone:
      break;
    case ViewKey::kLineUp:
      view.top -= 1;
      break;
    case ViewKey::kLineDown:
      view.top += 1;
      break;
    case ViewKey::kPageUp:
      view.top -= kScrollPage;
      break;
    case ViewKey::kPageDown:
      view.top += kScrollPage;
      break;
    case ViewKey::kTop:
      view.top = 0;
      break;
    case ViewKey::kBottom:
      view.top = shownRows(view, rows);
      break;
    case ViewKey::kPlaces:
      view.places = !view.places;
      break;
  }
  view.top = clampTop(view.top, shownRows(view, rows));
  return view;
}

std::string rowsStatus(int top, int rows) {
  if (rows <= kWholeRows) return "";
  return "Lignes " + std::to_string(top + 1) + " a " +
         std::to_string(std::min(top + kWholeRows, rows)) + " sur " +
         std::to_string(rows) + kScrollKeys;
}

std::string keysStatus(bool places) { return places ? kShowStandings : kShowPlaces; }

void PanelScroll::showTurn(ViewRows turnRows) {
  rows = turnRows;
  tournamentShown = true;
  view.top = clampTop(view.top, shownRows(view, rows));
}

bool PanelScroll::press(ViewKey key) {
  if (!tournamentShown) return false;
  const PanelView next = applyViewKey(view, key, rows);
  if (next == view) return false;
  view = next;
  return true;
}

std::string PanelScroll::rowsPart() const {
  return tournamentShown ? rowsStatus(view.top, shownRows(view, rows)) : "";
}

std::string PanelScroll::keysPart() const {
  return tournamentShown ? keysStatus(view.places) : "";
}
