// match_log.h: the results entered so far, and the question the bracket asks
// about every pairing: has this match been played?
//
// Owns the match log (changed only by appendResult, cancelLastResult,
// cancelEntry, correctResult and undoCorrection, read through matchLog()).
// resolveMatch reports the matches still to play into a BracketTrace; it
// writes nowhere else.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "engine/bracket_trace.h"
#include "engine/participant.h"

// Entered results, oldest first. Never shrinks: a cancelled entry stays in
// place with winner.id == -1, which no participant has. Read-only, so the
// look-up index kept beside it cannot drift from it.
const std::vector<MatchRecord>& matchLog();

// A trace for the coming rebuild: who beat whom according to the live
// results, and the placeholder id it starts from.
BracketTrace startTrace();

// The logged result for {a, b} in either order, compared by id only; the
// oldest live entry wins and comes back exactly as stored (its position is
// noted in trace->consulted). If there is none, returns two fresh
// placeholders, winner first, winner(<a>,<b>) and loser(<a>,<b>); the
// pairing is added to trace->toPlay when one side is a player, and the
// placeholders get as candidates every player of either side who can still
// win, or lose, the match. trace may be null: nothing is reported then.
MatchRecord resolveMatch(Participant a, Participant b, BracketTrace* trace = nullptr);

// Adds a copy of the record at the end of the log.
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

// What one correctResult changed, for undoCorrection: the entries it
// cancelled, oldest first, with their winner ids before.
struct CorrectionUndo {
  std::vector<std::pair<size_t, int32_t>> cancelled;
};

// Replaces a logged result with its correction: marks the live entry at that
// position cancelled, and with it every other live entry between the same
// two players (none of which the bracket consults, but the oldest of them
// would decide in its place), then appends `corrected`, which thus becomes
// the newest entry and the only one deciding the pair. False, changing
// nothing, when the entry at that position is not live or is not between
// the two players of `corrected`. When `undo` is given, it is filled for
// undoCorrection. Appending may move the log: references into matchLog()
// do not survive the call.
bool correctResult(size_t position, MatchRecord corrected, CorrectionUndo* undo = nullptr);

// Puts the log and its look-up index back exactly as they were before the
// correctResult that filled `undo`, which must be the latest change to the
// log. For trying a correction out without keeping it.
void undoCorrection(const CorrectionUndo& undo);

// Empties the log. For tests and for running several dialogues in one
// process.
void resetMatchLog();
