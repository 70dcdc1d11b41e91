// panel_rows.cpp: the panel rows of the tournament.
#include "views/panel_rows.h"

#include <algorithm>

#include "views/place_words.h"
#include "views/text_panel.h"

namespace {

constexpr unsigned kAnnouncedNameWidth = 50;
constexpr unsigned kStandingsNameWidth = 30;
constexpr char kStandingsTemplate[] = "% -> ";

bool holdsParenthesis(const std::string& name) {
  return name.find('(') != std::string::npos;
}

// The template with its first '%' replaced by the place's ordinal; any later
// '%' stays. A template without '%' is used as it is.
std::string rowPrefix(const std::string& rowTemplate, int place) {
  std::string prefix = rowTemplate;
  const size_t percent = prefix.find('%');
  if (percent != std::string::npos) prefix.replace(percent, 1, ordinal(place));
  return prefix;
}

}  // namespace

std::string fitName(std::string name, unsigned width) {
  if (name.size() <= width) return name;
  return "X";
}

int writeAnnouncements(const std::vector<MatchToPlay>& matches, const std::vector<int>& tables) {
  // The order of the rows: matches at a table by table, then the others.
  std::vector<size_t> order;
  for (size_t i = 0; i < matches.size(); ++i)
    if (i < tables.size() && tables[i] > 0) order.push_back(i);
  std::sort(order.begin(), order.end(), [&tables](size_t a, size_t b) { return tables[a] < tables[b]; });
  for (size_t i = 0; i < matches.size(); ++i)
    if (i >= tables.size() || tables[i] == 0) order.push_back(i);
  int rows = 0;
  for (size_t i : order) {
    const MatchToPlay& m = matches[i];
    if (holdsParenthesis(m.first.name) && holdsParenthesis(m.second.name)) continue;
    if (i < tables.size() && tables[i] > 0) leftPanel << "T" + std::to_string(tables[i]) + " ";
    leftPanel << "***** Play match " << fitName(m.first.name, kAnnouncedNameWidth)
              << " vs " << fitName(m.second.name, kAnnouncedNameWidth) << std::endl;
    ++rows;
  }
  return rows;
}

void writeStandings(std::string rowTemplate, std::vector<Participant> placement) {
  int place = 1;
  for (const Participant& entry : placement) {
    rightPanel << rowPrefix(rowTemplate, place)
               << fitName(entry.name, kStandingsNameWidth) << std::endl;
    ++place;
  }
}

void writePlaces(const TournamentState& state) {
  placesPanel.clear();
  for (size_t id : playersByBestPlace(state)) {
    placesPanel << placesText(id < state.reachable.size() ? state.reachable[id]
                                                          : std::vector<int>{})
                << " -> " << fitName(state.players[id].name, kStandingsNameWidth)
                << std::endl;
  }
}

ViewRows writeTournament(const TournamentState& state, const std::vector<int>& tables) {
  leftPanel.clear();
  rightPanel.clear();
  ViewRows rows;
  rows.left = writeAnnouncements(state.toPlay, tables);
  leftPanel << std::endl;
  writeStandings(kStandingsTemplate, state.placement);
  rightPanel << std::endl;
  writePlaces(state);
  rows.standings = static_cast<int>(state.placement.size());
  rows.places = static_cast<int>(state.players.size());
  return rows;
}
