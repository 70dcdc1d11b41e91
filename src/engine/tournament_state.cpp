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

  // Two members that advance together from a three-way group meet again in
  // the winners' half, so one entry can be consulted twice.
  state.usedResults = std::move(trace.consulted);
  std::sort(state.usedResults.begin(), state.usedResults.end());
  state.usedResults.erase(std::unique(state.usedResults.begin(), state.usedResults.end()),
                          state.usedResults.end());
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

// The correction is tried on the log itself, since look-ups read it, then
// undone entry by entry: copying the log instead would cost its whole length
// for every correction.
size_t resultsLostByCorrection(const TournamentState& now, size_t position,
                               const MatchRecord& corrected) {
  CorrectionUndo undo;
  if (!correctResult(position, corrected, &undo)) return 0;
  const TournamentState after = computeTournament(now.players);
  // Entries cancelled by the correction (it, and unused ones of the same
  // pair) are no longer live, so only results of other pairs count.
  const std::vector<MatchRecord>& log = matchLog();
  size_t lost = 0;
  for (size_t used : now.usedResults) {
    if (used >= log.size() || log[used].winner.id == kNoParticipant) continue;
    if (!std::binary_search(after.usedResults.begin(), after.usedResults.end(), used))
      ++lost;
  }
  undoCorrection(undo);
  return lost;
}
