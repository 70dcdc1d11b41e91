// match_log.h: the results entered so far, and the question the bracket asks
// about every pairing: has this match been played?
//
// Owns MatchLog (changed only by appendResult and cancelLastResult) and
// placeholderCounter (advanced only by nextPlaceholderId). resolveMatch also
// writes announcement rows into leftPanel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/participant.h"

// Entered results, oldest first. Never shrinks: a cancelled entry stays in
// place with winner.id == -1, which no participant has. Read it freely; write
// it only through appendResult and cancelLastResult, which keep the look-up
// index in step.
extern std::vector<MatchRecord> MatchLog;

// Last placeholder id handed out; 100 at start, never reset during a run.
extern int32_t placeholderCounter;

// Generated names are kept to this many bytes. Announcements and standings
// show any name longer than 50 bytes as "X", and a name built on a long name
// is longer still, so nothing past this point can ever be seen; without the
// bound, names nest and double with every round (kilobytes per placeholder
// with long player names, on every rebuild).
constexpr size_t kMaxGeneratedNameBytes = 64;

// tag + "(" + parts joined by "," + ")", cut to kMaxGeneratedNameBytes.
std::string generatedName(const char* tag,
                          std::initializer_list<const std::string*> parts);

// Advances placeholderCounter and returns the new value (101 first).
int32_t nextPlaceholderId();

// The name unchanged if it is at most width bytes long, else "X".
std::string fitName(std::string name, unsigned width);

// The logged result for {a, b} in either order, compared by id only; the
// oldest live entry wins and comes back exactly as stored. If there is none,
// writes "***** Play match <a> vs <b>" to leftPanel (unless both names contain
// '(') and returns two fresh placeholders, winner first:
// winner(<a>,<b>) and loser(<a>,<b>).
MatchRecord resolveMatch(Participant a, Participant b);

// Adds a copy of the record at the end of MatchLog.
void appendResult(MatchRecord record);

// True when MatchLog holds at least one entry, cancelled or not. lastResult
// and cancelLastResult may be called only then.
bool hasResults();

// A copy of the newest entry, cancelled or not.
MatchRecord lastResult();

// Marks the newest entry cancelled (winner id -1); it stays in place, so a
// second call marks the same entry again and changes nothing more.
void cancelLastResult();

// Puts MatchLog and placeholderCounter back to their start values. For tests
// and for running several dialogues in one process.
void resetMatchLog();
