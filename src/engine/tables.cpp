// tables.cpp: see tables.h. One call reads the used results once and the
// matches to play a few times, and sorts the waiting matches: its cost
// follows the size of the tournament, not the length of the log.
#include "engine/tables.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace {

// A value per player, indexed by id (players' ids are below kMaxPlayers).
template <typename T>
using ByPlayer = std::array<T, kMaxPlayers>;

bool bothPlayers(const MatchToPlay& m) {
  return m.playable && isPlayerId(m.first.id) && isPlayerId(m.second.id);
}

bool samePair(const SeatedMatch& a, const SeatedMatch& b) {
  return (a.first == b.first && a.second == b.second) ||
         (a.first == b.second && a.second == b.first);
}

bool byTable(const SeatedMatch& a, const SeatedMatch& b) { return a.table < b.table; }

// The table of each player's match, 0 for a player at no table. Since a
// table holds one match and a player sits at one table at most, two players
// have the same nonzero table exactly when they play each other there.
ByPlayer<int> tablesByPlayer(const TableAssignment& tables) {
  ByPlayer<int> table{};
  for (const SeatedMatch& s : tables.seated) {
    if (!isPlayerId(s.first) || !isPlayerId(s.second)) continue;
    table[s.first] = s.table;
    table[s.second] = s.table;
  }
  return table;
}

// Each player's newest result among those the rebuild used, as its position
// in the log plus one; 0 for a player without one, ready from the start.
// usedResults is ascending, so the last write for a player is its newest.
ByPlayer<size_t> readySince(const TournamentState& state, const std::vector<MatchRecord>& log) {
  ByPlayer<size_t> since{};
  for (size_t position : state.usedResults) {
    if (position >= log.size() || log[position].winner.id == kNoParticipant) continue;
    for (int32_t id : {log[position].winner.id, log[position].loser.id})
      if (isPlayerId(id)) since[id] = position + 1;
  }
  return since;
}

// Up to `wanted` tables from 1 to count that hold none of `kept` (ordered by
// table), lowest first. Stops early, so a large count costs nothing.
std::vector<int> freeTables(const std::vector<SeatedMatch>& kept, int count, size_t wanted) {
  std::vector<int> free;
  size_t k = 0;
  for (int table = 1; table <= count && free.size() < wanted; ++table) {
    while (k < kept.size() && kept[k].table < table) ++k;
    if (k < kept.size() && kept[k].table == table) continue;
    free.push_back(table);
  }
  return free;
}

}  // namespace

TableAssignment assignTables(const TableAssignment& previous, int count,
                             const TournamentState& state,
                             const std::vector<MatchRecord>& log) {
  TableAssignment next;
  next.count = std::max(count, 0);
  const ByPlayer<int> before = tablesByPlayer(previous);
  ByPlayer<bool> busy{};

  // Matches still playable keep their tables; the rest wait, as (ready
  // since, announcement index) so that sorting gives the calling order.
  std::vector<std::pair<size_t, size_t>> waiting;
  const ByPlayer<size_t> since = readySince(state, log);
  for (size_t i = 0; i < state.toPlay.size(); ++i) {
    const MatchToPlay& m = state.toPlay[i];
    if (!bothPlayers(m)) continue;
    const int32_t a = m.first.id, b = m.second.id;
    const int table = before[a];
    if (table != 0 && table == before[b] && !busy[a] && !busy[b]) {
      next.seated.push_back({table, a, b});
      busy[a] = busy[b] = true;
    } else {
      waiting.push_back({std::max(since[a], since[b]), i});
    }
  }
  std::sort(next.seated.begin(), next.seated.end(), byTable);
  std::sort(waiting.begin(), waiting.end());

  // A kept match above the count takes no table the count offers, and a
  // table above it is never offered.
  const std::vector<int> free = freeTables(next.seated, next.count, waiting.size());
  size_t used = 0;
  for (size_t w = 0; w < waiting.size() && used < free.size(); ++w) {
    const MatchToPlay& m = state.toPlay[waiting[w].second];
    const int32_t a = m.first.id, b = m.second.id;
    if (busy[a] || busy[b]) continue;  // the other match of a three-way group
    next.seated.push_back({free[used++], a, b});
    busy[a] = busy[b] = true;
  }
  std::sort(next.seated.begin(), next.seated.end(), byTable);
  return next;
}

std::vector<int> tableOfMatches(const TableAssignment& tables, const TournamentState& state) {
  const ByPlayer<int> table = tablesByPlayer(tables);
  std::vector<int> result(state.toPlay.size(), 0);
  for (size_t i = 0; i < state.toPlay.size(); ++i) {
    const MatchToPlay& m = state.toPlay[i];
    if (bothPlayers(m) && table[m.first.id] == table[m.second.id])
      result[i] = table[m.first.id];
  }
  return result;
}

std::vector<SeatedMatch> newlyCalled(const TableAssignment& before,
                                     const TableAssignment& after) {
  std::vector<SeatedMatch> called;
  size_t b = 0;
  for (const SeatedMatch& s : after.seated) {
    while (b < before.seated.size() && before.seated[b].table < s.table) ++b;
    const bool held = b < before.seated.size() && before.seated[b].table == s.table &&
                      samePair(before.seated[b], s);
    if (!held) called.push_back(s);
  }
  return called;
}
