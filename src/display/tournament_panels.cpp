// tournament_panels.cpp: the panel rows of the tournament.
#include "display/tournament_panels.h"

#include <algorithm>
#include <climits>

#include "display/text_panel.h"

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

// "1er" for the first place, "2e", "3e", ... for the others (no space).
}  // namespace

std::string placeName(int place) {
  return std::to_string(place) + (place == 1 ? "er" : "e");
}

std::string fitName(std::string name, unsigned width) {
  if (name.size() <= width) return name;
  return "X";
}

std::string ordinal(int place) {
  return std::to_string(place) + (place == 1 ? "er" : "e ");
}

void writeAnnouncements(const std::vector<MatchToPlay>& matches) {
  for (const MatchToPlay& m : matches) {
    if (holdsParenthesis(m.first.name) && holdsParenthesis(m.second.name)) continue;
    leftPanel << "***** Play match " << fitName(m.first.name, kAnnouncedNameWidth)
              << " vs " << fitName(m.second.name, kAnnouncedNameWidth) << std::endl;
  }
}

void writeStandings(std::string rowTemplate, std::vector<Participant> placement) {
  int place = 1;
  for (const Participant& entry : placement) {
    rightPanel << rowPrefix(rowTemplate, place)
               << fitName(entry.name, kStandingsNameWidth) << std::endl;
    ++place;
  }
}

void writeTournament(const TournamentState& state) {
  leftPanel.clear();
  rightPanel.clear();
  writeAnnouncements(state.toPlay);
  leftPanel << std::endl;
  writeStandings(kStandingsTemplate, state.placement);
  rightPanel << std::endl;
}

std::string placesText(const std::vector<int>& places, const char* to) {
  if (places.empty()) return "-";
  std::string text;
  for (size_t start = 0; start < places.size();) {
    size_t end = start;  // last place of the run starting at start
    while (end + 1 < places.size() && places[end + 1] == places[end] + 1) ++end;
    if (!text.empty()) text += ", ";
    text += placeName(places[start]);
    if (end > start) text += to + placeName(places[end]);
    start = end + 1;
  }
  return text;
}

void writePlaces(const TournamentState& state) {
  placesPanel.clear();
  auto best = [&state](const Participant& p) {
    const size_t id = static_cast<size_t>(p.id);
    return id < state.reachable.size() && !state.reachable[id].empty()
               ? state.reachable[id].front()
               : INT_MAX;
  };
  std::vector<Participant> order = state.players;
  std::stable_sort(order.begin(), order.end(),
                   [&best](const Participant& a, const Participant& b) {
                     return best(a) < best(b);
                   });
  const std::vector<int> none;
  for (const Participant& p : order) {
    const size_t id = static_cast<size_t>(p.id);
    placesPanel << placesText(id < state.reachable.size() ? state.reachable[id] : none)
                << " -> " << fitName(p.name, kStandingsNameWidth) << std::endl;
  }
}
