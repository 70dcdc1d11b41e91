// tournament_state.cpp: one rebuild of the bracket, read into a value.
#include "engine/tournament_state.h"

#include <algorithm>
#include <array>

#include "engine/bracket.h"
#include "engine/match_log.h"

bool TournamentState::finished() const {
  for (const Participant& p : placement)
    if (!isPlayerId(p.id)) return false;
  return true;
}

namespace {

// The records in order, each pairing once: two members a three-way group
// sends up together meet again, and a forfeit between them is met twice.
std::vector<MatchRecord> eachPairingOnce(const std::vector<MatchRecord>& records) {
  std::vector<MatchRecord> once;
  if (records.empty()) return once;
  std::array<PlayerSet, kMaxPlayers> seen{};  // by loser id, the winners
  for (const MatchRecord& r : records) {
    PlayerSet& winners = seen[static_cast<size_t>(r.loser.id)];
    if (winners.test(static_cast<size_t>(r.winner.id))) continue;
    winners.set(static_cast<size_t>(r.winner.id));
    once.push_back(r);
  }
  return once;
}

// One rebuild from the log, with a correction tried out when given.
TournamentState rebuild(const std::vector<Participant>& players, const ResultLog& log,
                        const MatchRecord* corrected,
                        const std::vector<int32_t>& withdrawn) {
  BracketTrace trace = startTrace(log, corrected, withdrawn);
  TournamentState state;
  state.players = players;
  state.withdrawn = withdrawn;
  state.placement = buildBracket(players, &trace);
  state.toPlay = std::move(trace.toPlay);
  state.forfeits = eachPairingOnce(trace.forfeits);
  state.pairings = std::move(trace.pairings);
  state.groups = std::move(trace.groups);

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

}  // namespace

TournamentState computeTournament(const std::vector<Participant>& players,
                                  const ResultLog& log,
                                  const std::vector<int32_t>& withdrawn) {
  return rebuild(players, log, nullptr, withdrawn);
}

std::vector<ResultUse> resultUses(const TournamentState& state,
                                  const std::vector<MatchRecord>& log) {
  std::vector<ResultUse> uses;
  uses.reserve(log.size());
  for (const MatchRecord& r : log) {
    // An answer that named nobody has id -1 and no name; a cancel keeps the
    // winner's name.
    const bool nobody = r.loser.id == kNoParticipant ||
                        (r.winner.id == kNoParticipant && r.winner.name.empty());
    uses.push_back(nobody                             ? ResultUse::kUnknownName
                   : r.winner.id == kNoParticipant ? ResultUse::kCancelled
                                                   : ResultUse::kUnused);
  }
  for (size_t position : state.usedResults)
    if (position < uses.size()) uses[position] = ResultUse::kUsed;
  return uses;
}

// The correction is tried out by a rebuild that sees it in place of the
// pair's logged results (see startTrace): copying the log instead would cost
// its whole length for every correction.
size_t resultsLostByCorrection(const TournamentState& now, const ResultLog& log,
                               size_t position, const MatchRecord& corrected) {
  const std::vector<MatchRecord>& entries = log.entries();
  if (position >= entries.size()) return 0;
  const MatchRecord& old = entries[position];
  const auto samePair = [&corrected](const MatchRecord& r) {
    return (r.winner.id == corrected.winner.id && r.loser.id == corrected.loser.id) ||
           (r.winner.id == corrected.loser.id && r.loser.id == corrected.winner.id);
  };
  if (old.winner.id == kNoParticipant || corrected.winner.id == kNoParticipant ||
      !samePair(old))
    return 0;
  const TournamentState after = rebuild(now.players, log, &corrected, now.withdrawn);
  // The correction sets aside every live entry of its pair, so only results
  // of other pairs count.
  size_t lost = 0;
  for (size_t used : now.usedResults) {
    if (used >= entries.size() || entries[used].winner.id == kNoParticipant ||
        samePair(entries[used]))
      continue;
    if (!std::binary_search(after.usedResults.begin(), after.usedResults.end(), used))
      ++lost;
  }
  return lost;
}
