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

// The correction is tried on the log itself, since look-ups read it, then
// undone entry by entry: copying the log instead would cost its whole length
// for every correction.
size_t resultsLostByCorrection(const TournamentState& now, size_t position,
                               const MatchRecord& corrected) {
  CorrectionUndo undo;
  if (!correctResult(position, corrected, &undo)) return 0;
  const TournamentState after = computeTournament(now.players);
  undoCorrection(undo);

  // Entries cancelled by the correction (it, and unused ones of the same
  // pair) end as kCancelled, so only results of other pairs count.
  size_t lost = 0;
  for (size_t i = 0; i < now.results.size() && i < after.results.size(); ++i)
    if (now.results[i] == ResultUse::kUsed && after.results[i] == ResultUse::kUnused)
      ++lost;
  return lost;
}
