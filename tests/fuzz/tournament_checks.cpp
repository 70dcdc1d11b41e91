// tournament_checks.cpp: see tournament_checks.h.
#include "tournament_checks.h"

#include <vector>

#include "engine/match_log.h"

std::string tournamentProblem(const TournamentState& state, size_t logSize) {
  const size_t n = state.players.size();
  if (state.placement.size() != n || state.reachable.size() != n)
    return "a tournament of " + std::to_string(n) + " players with " +
           std::to_string(state.placement.size()) + " places";
  std::vector<int> reachers(n + 1, 0);
  for (const std::vector<int>& places : state.reachable) {
    if (places.empty()) return "a player who can end nowhere";
    for (size_t i = 0; i < places.size(); ++i) {
      const int place = places[i];
      if (place < 1 || place > static_cast<int>(n)) return "place " + std::to_string(place);
      if (i > 0 && places[i - 1] >= place) return "reachable places out of order";
      ++reachers[static_cast<size_t>(place)];
    }
  }
  std::vector<bool> placed(n, false);
  for (size_t place = 1; place <= n; ++place) {
    const int32_t holder = state.placement[place - 1].id;
    if (reachers[place] == 0) return "nobody can reach place " + std::to_string(place);
    if (!isPlayerId(holder)) continue;
    if (static_cast<size_t>(holder) >= n || placed[static_cast<size_t>(holder)])
      return "player " + std::to_string(holder) + " holds two places";
    placed[static_cast<size_t>(holder)] = true;
    if (reachers[place] != 1 ||
        state.reachable[static_cast<size_t>(holder)] != std::vector<int>{static_cast<int>(place)})
      return "decided place " + std::to_string(place) + " is not its player's alone";
  }
  for (const MatchToPlay& m : state.toPlay) {
    const bool first = isPlayerId(m.first.id), second = isPlayerId(m.second.id);
    if (!(first || second) || m.playable != (first && second))
      return "match to play " + m.first.name + " vs " + m.second.name;
  }
  for (size_t i = 0; i < state.usedResults.size(); ++i) {
    const size_t position = state.usedResults[i];
    if (position >= logSize || matchLog()[position].winner.id == kNoParticipant)
      return "used result " + std::to_string(position) + " is not a live entry";
    if (i > 0 && state.usedResults[i - 1] >= position) return "used results out of order";
  }
  return "";
}
