// match_log.h: the results entered so far, and the question the bracket asks
// about every pairing: has this match been played?
//
// Owns the program's match log (changed only by appendResult,
// cancelLastResult, cancelEntry, correctResult and resetMatchLog, read
// through resultLog() and matchLog()). resolveMatch reports the matches
// still to play and every pairing it settles or leaves open into a
// BracketTrace; it writes nowhere else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/bracket_trace.h"
#include "engine/participant.h"

// Entered results, oldest first, with the look-up index kept beside them.
// Never shrinks: a cancelled entry stays in place with winner.id == -1,
// which no participant has. A plain value: the program's own log is the one
// behind the functions below, and a rebuild reads whichever log it is given.
class ResultLog {
 public:
  const std::vector<MatchRecord>& entries() const { return entries_; }

  // Adds a copy of the record at the end.
  void append(MatchRecord record);

  // Marks the entry at that position cancelled. False, changing nothing,
  // when there is no such entry or it is cancelled already.
  bool cancel(size_t position);

  // The position of the live entry that decides {a, b}, in either order:
  // the oldest one. Null when there is none. Valid until the log changes.
  const size_t* deciding(int32_t a, int32_t b) const;

  // Replaces the live entry at that position with `corrected`: marks it
  // cancelled, and with it every other live entry between the same two
  // players (none of which the bracket consults, but the oldest of them
  // would decide in its place), then appends `corrected`, which thus
  // becomes the only entry deciding the pair. False, changing nothing, when
  // the entry is not live or is not between the two players of `corrected`.
  bool correct(size_t position, MatchRecord corrected);

  // Calls visit(record) for the deciding entry of every pair of players.
  template <class Visit>
  void forEachDeciding(Visit visit) const;

 private:
  std::vector<MatchRecord> entries_;
  // For each unordered pair of ids, the positions of its live entries,
  // oldest first.
  std::unordered_map<uint64_t, std::vector<size_t>> byPair_;
};

// The program's log, read-only. Changed only by the functions below.
const ResultLog& resultLog();

// The entries of the program's log (resultLog().entries()).
const std::vector<MatchRecord>& matchLog();

// A trace for a rebuild from `log`: who beat whom according to its live
// results, and a placeholder counter of the trace's own, at 100. When
// `corrected` is given, the rebuild sees the log as if `corrected` had
// replaced the result between its two players (see ResultLog::correct)
// without the log changing: a correction tried out. Both must outlive the
// trace. `withdrawn` lists the ids of players who left, earliest withdrawal
// first; ids that are not players' and repeats after the first are ignored.
// Each of them is noted as beaten by every player it has no result with,
// but those who withdrew before it.
BracketTrace startTrace(const ResultLog& log, const MatchRecord* corrected = nullptr,
                        const std::vector<int32_t>& withdrawn = {});

// The logged result for {a, b} in either order, compared by id only; the
// oldest live entry wins and comes back exactly as stored (its position is
// noted in trace->consulted). If there is none and both are players, one of
// them withdrawn (see BracketTrace::withdrawn), the withdrawn one, or the
// one who withdrew first, loses by forfeit: a and b come back as winner and
// loser, and the record is added to trace->forfeits. Otherwise returns two
// fresh placeholders, winner first, winner(<a>,<b>) and loser(<a>,<b>); the
// pairing is added to trace->toPlay when one side is a player who has not
// withdrawn, and the placeholders get as candidates every player of either
// side who can still win, or lose, the match. With a trace, the log, the
// withdrawals and the placeholder ids are the trace's; without one (trace
// null), the program's log is read, nobody has withdrawn, ids come from
// placeholderCounter and nothing is reported. With a trace, every pairing,
// settled or not, is also recorded in trace->pairings (see
// BracketTrace::notePairing).
MatchRecord resolveMatch(Participant a, Participant b, BracketTrace* trace = nullptr);

// The program's log: adds a copy of the record at its end.
void appendResult(MatchRecord record);

// True when the log holds at least one entry, cancelled or not.
bool hasResults();

// A copy of the newest entry, cancelled or not; on an empty log, a record
// whose two sides have id -1 and empty names.
MatchRecord lastResult();

// Marks the newest entry cancelled (winner id -1); it stays in place, so a
// second call marks the same entry again and changes nothing more. Nothing
// happens on an empty log.
void cancelLastResult();

// Marks the entry at that position cancelled, wherever it is in the log.
// False, changing nothing, when there is no such entry or it is cancelled
// already.
bool cancelEntry(size_t position);

// The position of the live entry that decides {a, b}, in either order: the
// oldest one, the same entry resolveMatch returns. False when there is none.
bool findResult(int32_t a, int32_t b, size_t* position);

// ResultLog::correct on the program's log. Appending may move the log:
// references into matchLog() do not survive the call.
bool correctResult(size_t position, MatchRecord corrected);

// Empties the log. For tests and for running several dialogues in one
// process.
void resetMatchLog();

template <class Visit>
void ResultLog::forEachDeciding(Visit visit) const {
  for (const auto& pair : byPair_) {
    for (size_t position : pair.second) {
      // The oldest live entry decides; entries naming no player are listed
      // too, and settle nothing between players.
      visit(entries_[position]);
      break;
    }
  }
}
