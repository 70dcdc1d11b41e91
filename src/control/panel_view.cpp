// panel_view.cpp: see panel_view.h.
#include "control/panel_view.h"

#include <algorithm>
#include <vector>

#include "control/status_line.h"
#include "display/tournament_panels.h"

PanelView panelView;

namespace {

const char* const kScrollKeys = " (PgUp PgDn Home End)";
const char* const kShowPlaces = "F2 : places possibles";
const char* const kShowStandings = "F2 : classement";

// True once a tournament has been shown: before, there is nothing to view.
bool tournamentOnScreen = false;

ViewRows rowsNow() {
  return ViewRows{contentRows(leftPanel), contentRows(rightPanel), contentRows(placesPanel)};
}

void setViewStatus(ViewRows rows) {
  setStatus(StatusPart::kRows, rowsStatus(panelView.top, shownRows(panelView, rows)));
  setStatus(StatusPart::kKeys, keysStatus(panelView.places));
}

}  // namespace

int contentRows(const TextPanel& panel) {
  const std::vector<char> grid = panel.getGrid();
  const size_t width = static_cast<size_t>(panel.width);
  for (size_t r = grid.size() / width; r > 0; --r) {
    auto row = grid.begin() + static_cast<long>((r - 1) * width);
    if (std::any_of(row, row + static_cast<long>(width), [](char c) { return c != ' '; }))
      return static_cast<int>(r);
  }
  return 0;
}

int shownRows(PanelView view, ViewRows rows) {
  return std::max(rows.left, view.places ? rows.places : rows.standings);
}

int clampTop(int top, int rows) {
  return std::max(0, std::min(top, rows - kPanelHeight));
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
  if (rows <= kPanelHeight) return "";
  return "Lignes " + std::to_string(top + 1) + " a " +
         std::to_string(std::min(top + kPanelHeight, rows)) + " sur " +
         std::to_string(rows) + kScrollKeys;
}

std::string keysStatus(bool places) { return places ? kShowStandings : kShowPlaces; }

void showTournamentView(const TournamentState& state) {
  writePlaces(state);
  tournamentOnScreen = true;
  const ViewRows rows = rowsNow();
  panelView.top = clampTop(panelView.top, shownRows(panelView, rows));
  setViewStatus(rows);
}

bool pressViewKey(ViewKey key) {
  if (!tournamentOnScreen) return false;
  const ViewRows rows = rowsNow();
  const PanelView next = applyViewKey(panelView, key, rows);
  if (next == panelView) return false;
  panelView = next;
  setViewStatus(rows);
  return true;
}

void resetPanelView() {
  panelView = PanelView{};
  tournamentOnScreen = false;
}
