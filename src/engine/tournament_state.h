// tournament_state.h: the tournament as one value, computed from the players,
// the match log and the withdrawals at every turn, for every view to read:
// the matches to play now, the placement, the places each player can still
// reach, what became of each logged result, the matches lost by forfeit, and
// the whole bracket laid out.
//
// Pure: players, a log and withdrawals in, the value out. Forfeits are
// derived at every rebuild and never logged, so a withdrawal taken back
// leaves nothing behind.
#pragma once

#include <vector>

#include "engine/bracket_trace.h"
#include "engine/match_log.h"
#include "engine/pairing.h"
#include "engine/participant.h"

// What the latest rebuild made of one entry of the match log.
enum class ResultUse {
  kCancelled,    // winner id -1: cancelled
  kUsed,         // a pairing of the bracket was settled by this entry
  kUnused,       // live, but no pairing of the bracket asks for it now
  kUnknownName,  // a side named nobody (older files only): it settles nothing
};

struct TournamentState {
  // The players, ids 0 to n-1 in entry order.
  std::vector<Participant> players;
  // The withdrawn players' ids as given, earliest withdrawal first.
  std::vector<int32_t> withdrawn;
  // Pairings without a result that have at least one player who has not
  // withdrawn, in the order they are announced; playable ones have two
  // players.
  std::vector<MatchToPlay> toPlay;
  // Place 1 first: a player once the place is decided, else a placeholder.
  std::vector<Participant> placement;
  // reachable[id]: the places (1 = first, ascending) player id can still
  // end in; a single place once it is decided.
  std::vector<std::vector<int>> reachable;
  // Positions in the match log of the results this rebuild used, in
  // ascending order, each once (see resultUses for every entry's use).
  std::vector<size_t> usedResults;
  // Pairings of two players settled by a withdrawal rather than a result,
  // winner first (the loser withdrew, before the winner if both did), in
  // the order the rebuild met them, each pairing once.
  std::vector<MatchRecord> forfeits;
  // Every pairing and three-way group of the bracket, numbered in rebuild
  // order; see pairing.h for what each holds.
  std::vector<Pairing> pairings;
  std::vector<ThreeWayGroup> groups;

  // True when every place is decided.
  bool finished() const;
};

// Rebuilds the bracket of the players (ids 0 to n-1 in order, n >= 2) from
// the log, `withdrawn` listing the ids of the players who left, earliest
// withdrawal first: each loses, by forfeit, every pairing with a player that
// the log has no result for (see resolveMatch). Reads nothing else and
// changes nothing. Costs the same whatever the length of the log.
TournamentState computeTournament(const std::vector<Participant>& players,
                                  const ResultLog& log,
                                  const std::vector<int32_t>& withdrawn = {});

// The use of every entry of the log, in order, as the state's rebuild saw
// it. Reads the whole log: for views that list the results, not for every
// replayed turn of a long file.
std::vector<ResultUse> resultUses(const TournamentState& state,
                                  const std::vector<MatchRecord>& log);

// How many results the bracket of `now` (computed from `log`) consults that
// it would no longer consult once the entry at `position` is corrected to
// `corrected` (see ResultLog::correct), with the withdrawals of `now`. The
// correction is only tried out: the log is not changed.
size_t resultsLostByCorrection(const TournamentState& now, const ResultLog& log,
                               size_t position, const MatchRecord& corrected);
