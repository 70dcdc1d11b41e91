// tournament_state.cpp: one rebuild of the bracket, read into a value.
#include "engine/tournament_state.h"

#include <algorithm>

#include "engine/bracket.h"
#include "engine/match_log.h"

bool TournamentState::finished() const {
  for (const Participant& p : placement)
    if (!isPlayerId(p.id)) return false;
  return true;
}

TournamentState computeTournament(const std::vector<Participant>& players) {
  BracketTrace trace = startTrace();
  TournamentState state;
  state.players = players;
  state.placement = buildBracket(players, &trace);
  state.toPlay = std::move(trace.toPlay);

  // Early in a tournament every player can reach nearly every place.
  state.reachable.assign(players.size(), {});
  for (std::vector<int>& places : state.reachable) places.reserve(players.size());
  for (size_t place = 0; place < state.placement.size(); ++place) {
    const PlayerSet slot = trace.candidates(state.placement[place]);
    for (size_t id = slot._Find_first(); id < players.size() && id < slot.size();
         id = slot._Find_next(id))
      state.reachable[id].push_back(static_cast<int>(place) + 1);
  }

  state.usedResults = std::move(trace.consulted);
  std::sort(state.usedResults.begin(), state.usedResults.end());
  return state;
}

std::vector<ResultUse> resultUses(const TournamentState& state,
                                  const std::vector<MatchRecord>& log) {
  std::vector<ResultUse> uses;
  uses.reserve(log.size());
  for (const MatchRecord& r : log)
    uses.push_back(r.winner.id == kNoParticipant ? ResultUse::kCancelled
                                                 : ResultUse::kUnused);
  for (size_t position : state.usedResults)
    if (position < uses.size()) uses[position] = ResultUse::kUsed;
  return uses;
}
