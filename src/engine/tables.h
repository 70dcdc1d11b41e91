// tables.h: which playable matches are called to which tables, turn after
// turn. Tables are numbered from 1; the operator sets how many there are.
//
// A playable match is called as soon as a table is free and neither of its
// players is at a table, to the lowest free table. When several could go,
// the one ready longest goes first: a match is ready since the newer of its
// two players' last results, counting only the results the latest rebuild
// used (a player without one is ready from the start), and matches ready at
// the same moment go in announcement order. A called match keeps its table
// until it leaves the playable matches (its result was entered, or a cancel
// or correction upstream took one of its players away); it never moves to
// another table.
//
// Pure: no globals, no I/O. The assignment is a function of the previous
// one, the count and the tournament, so replaying the same answers calls
// the same matches to the same tables.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/participant.h"
#include "engine/tournament_state.h"

// One match at one table. The ids are players', in the order the match is
// announced in the tournament the assignment was made for.
struct SeatedMatch {
  int table = 0;
  int32_t first = kNoParticipant;
  int32_t second = kNoParticipant;
};

struct TableAssignment {
  // The number of tables the assignment was made for (never below 0).
  int count = 0;
  // Ordered by table, each table and each player at most once. A table
  // above count holds a match called before the count was lowered; it is
  // freed with that match's result and not used again.
  std::vector<SeatedMatch> seated;
};

// Whether tables are in use: a count is set, or a match still sits at a
// table after the count went to 0. Without them everything shows as it did
// before tables existed.
inline bool tablesInUse(const TableAssignment& tables) {
  return tables.count > 0 || !tables.seated.empty();
}

// The tables once the tournament is `state`, computed from `log` (the match
// log as it stands: state.usedResults are positions in it). Every match of
// `previous` whose two players (in either order) still form a playable
// match of state.toPlay stays at its table; the others are freed. Then free
// tables from 1 to count take waiting matches as described above. A count
// below 0 counts as 0: nothing new is called. Start from a default
// TableAssignment; call again after every rebuild and every change of the
// count, with the result of the call before.
TableAssignment assignTables(const TableAssignment& previous, int count,
                             const TournamentState& state,
                             const std::vector<MatchRecord>& log);

// For each entry of state.toPlay, in order, the table of that match, or 0
// when it waits (always 0 for a match that is not playable). `tables` must
// have been assigned for this state.
std::vector<int> tableOfMatches(const TableAssignment& tables, const TournamentState& state);

// How many tables hold a match, counted tables above the count included.
inline int busyTables(const TableAssignment& tables) {
  return static_cast<int>(tables.seated.size());
}

// The matches of `after` that `before` did not hold at the same table,
// ordered by table: the calls to announce ("Table 3 : Cid contre Dee") once
// `after` was assigned from `before`.
std::vector<SeatedMatch> newlyCalled(const TableAssignment& before,
                                     const TableAssignment& after);
