// tournament_state.cpp: one rebuild of the bracket, read into a value.
#include "engine/tournament_state.h"

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

  state.reachable.resize(players.size());
  for (size_t place = 0; place < state.placement.size(); ++place) {
    const PlayerSet slot = trace.candidates(state.placement[place]);
    for (size_t id = 0; id < players.size() && id < slot.size(); ++id)
      if (slot.test(id)) state.reachable[id].push_back(static_cast<int>(place) + 1);
  }

  const std::vector<MatchRecord>& log = matchLog();
  state.results.reserve(log.size());
  for (const MatchRecord& r : log)
    state.results.push_back(r.winner.id == kNoParticipant ? ResultUse::kCancelled
                                                          : ResultUse::kUnused);
  for (size_t position : trace.consulted) state.results[position] = ResultUse::kUsed;
  return state;
}
