// Calling matches to tables: worked examples step by step, then seeded random
// tournaments with results, cancels, corrections and changes of the count,
// checked against the calling rules after every change and replayed.
#include "engine/tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/match_count.h"
#include "engine/match_log.h"
#include "engine/tournament_state.h"
#include "test_util.h"
#include "tournament_play.h"

namespace {

// "1 A-B*, 2 C-D": the tables in order, '*' on the matches just called.
std::string tablesText(const TableAssignment& before, const TableAssignment& after,
                       const std::vector<Participant>& players) {
  const std::vector<SeatedMatch> called = newlyCalled(before, after);
  std::string text;
  for (const SeatedMatch& s : after.seated) {
    // Tables are unique, so a table in `called` is this match.
    const bool isNew = std::any_of(called.begin(), called.end(),
                                   [&](const SeatedMatch& c) { return c.table == s.table; });
    text += (text.empty() ? "" : ", ") + std::to_string(s.table) + " " +
            players.at(s.first).name + "-" + players.at(s.second).name + (isNew ? "*" : "");
  }
  return text;
}

class TablesTest : public ::testing::Test {
 protected:
  void SetUp() override { resetEngineState(); }

  // n players named A, B, ... (p26, p27, ... past Z), no result, no table.
  void start(int n) {
    resetEngineState();
    players.clear();
    for (int i = 0; i < n; ++i)
      players.push_back({i, i < 26 ? std::string(1, 'A' + i) : "p" + std::to_string(i)});
    tables = TableAssignment{};
  }
  // A rebuild and a call of the tables, as every turn and count change does.
  TableAssignment reassign(int count) {
    state = computeTournament(players, resultLog());
    return assignTables(tables, count, state, matchLog());
  }

  // One change the operator makes between two calls of the tables.
  struct Change {
    enum Kind { kResult, kCancel, kCorrect, kCount } kind;
    int32_t winner, loser;  // kResult
    size_t position;        // kCorrect: the entry whose winner is swapped
    int count;              // kCount
  };
  Change pick();
  void apply(const Change& change, int* count);
  // The rules, checked on `next`, called from `tables` for `state`.
  void checkCalls(const TableAssignment& next, int count, const std::string& where);

  std::vector<Participant> players;
  TournamentState state;
  TableAssignment tables;
  std::mt19937 rng;
};

// --- worked examples: one action, then the tables

// Actions: "count N", "A>B" (A beats B), "cancel" (the newest entry), "fix B>A"
// (corrects the live A-B result to B beating A).
struct Step {
  std::string action, tables;
};
struct Example {
  std::string name;
  int players;
  std::vector<Step> steps;
};

const Example kExamples[] = {
    {"freed tables go to the matches ready longest", 8,
     {{"count 0", ""}, {"count 2", "1 A-B*, 2 C-D*"}, {"A>B", "1 E-F*, 2 C-D"},
      {"C>D", "1 E-F, 2 G-H*"}, {"E>F", "1 A-C*, 2 G-H"}, {"G>H", "1 A-C, 2 B-D*"}}},
    {"readiness before announcement; tables above a lowered count empty", 8,
     {{"G>H", ""}, {"E>F", ""}, {"C>D", ""}, {"A>B", ""},
      {"count 1", "1 E-G*"}, {"count 2", "1 E-G, 2 F-H*"}, {"count 3", "1 E-G, 2 F-H, 3 A-C*"},
      {"count 1", "1 E-G, 2 F-H, 3 A-C"}, {"E>G", "1 B-D*, 2 F-H, 3 A-C"},
      {"A>C", "1 B-D, 2 F-H"}, {"F>H", "1 B-D"}, {"count 2", "1 B-D, 2 A-E*"}}},
    {"a cancelled match waits for a free table", 8,
     {{"count 2", "1 A-B*, 2 C-D*"}, {"A>B", "1 E-F*, 2 C-D"}, {"cancel", "1 E-F, 2 C-D"},
      {"C>D", "1 E-F, 2 A-B*"}, {"count 100", "1 E-F, 2 A-B, 3 G-H*"}}},
    {"cancels and corrections upstream free the tables", 4,
     {{"count 2", "1 A-B*, 2 C-D*"}, {"A>B", "2 C-D"}, {"C>D", "1 A-C*, 2 B-D*"},
      {"cancel", "1 C-D*"}, {"C>D", "1 A-C*, 2 B-D*"}, {"fix B>A", "1 B-C*, 2 A-D*"},
      {"count -1", "1 B-C, 2 A-D"}, {"B>C", "2 A-D"}}},
    {"a three-way group seats one of its matches at a time", 5,
     {{"count 3", "1 A-B*, 2 D-E*"}, {"D>E", "1 A-B, 2 C-E*"}}},
    {"three players, announcement order breaks a tie", 3,
     {{"count 3", "1 B-C*"}, {"B>C", "1 A-C*"}}},
};

TEST_F(TablesTest, WorkedExamplesStepByStep) {
  for (const Example& example : kExamples) {
    start(example.players);
    int count = 0;
    for (const Step& step : example.steps) {
      const std::string& a = step.action;
      size_t position = 0;
      if (a.rfind("count ", 0) == 0) {
        count = std::stoi(a.substr(6));
      } else if (a == "cancel") {
        cancelLastResult();
      } else if (a.rfind("fix ", 0) == 0) {
        ASSERT_TRUE(findResult(a[4] - 'A', a[6] - 'A', &position)) << example.name << ": " << a;
        EXPECT_TRUE(correctResult(position, {players[a[4] - 'A'], players[a[6] - 'A']}))
            << example.name << ": " << a;
      } else {
        appendResult({players.at(a[0] - 'A'), players.at(a[2] - 'A')});
      }
      const TableAssignment next = reassign(count);
      EXPECT_EQ(tablesText(tables, next, players), step.tables) << example.name << ": " << a;
      tables = next;
    }
  }
}

// --- seeded random tournaments, two to a hundred players

// Mostly a result, for a match at a table three times in four; now and then
// a cancel, a correction of a used result, or a count from 0 to 20.
TablesTest::Change TablesTest::pick() {
  const unsigned roll = rng() % 20;
  if (roll < 2) return {Change::kCount, 0, 0, 0, static_cast<int>(rng() % 21)};
  if (roll == 2 && hasResults()) return {Change::kCancel, 0, 0, 0, 0};
  if (roll == 3 && !state.usedResults.empty())
    return {Change::kCorrect, 0, 0, state.usedResults[rng() % state.usedResults.size()], 0};
  std::vector<IdPair> matches;
  if (rng() % 4 != 0)
    for (const SeatedMatch& s : tables.seated) matches.push_back({s.first, s.second});
  if (matches.empty()) matches = playableMatches(state);
  EXPECT_FALSE(matches.empty()) << players.size() << " players: nothing playable";
  if (matches.empty()) return {Change::kCount, 0, 0, 0, 1};
  IdPair m = matches[rng() % matches.size()];
  if (rng() % 2) std::swap(m.first, m.second);
  return {Change::kResult, m.first, m.second, 0, 0};
}

void TablesTest::apply(const Change& change, int* count) {
  switch (change.kind) {
    case Change::kResult:
      appendResult({players[change.winner], players[change.loser]});
      break;
    case Change::kCancel:
      cancelLastResult();
      break;
    case Change::kCorrect: {
      const MatchRecord wrong = matchLog()[change.position];
      EXPECT_TRUE(correctResult(change.position, {wrong.loser, wrong.winner}));
      break;
    }
    case Change::kCount:
      *count = change.count;
      break;
  }
}

// When the match became ready: one past the newest used result of either
// player, 0 when neither has one.
size_t readySince(const TournamentState& state, IdPair match) {
  for (auto p = state.usedResults.rbegin(); p != state.usedResults.rend(); ++p) {
    const MatchRecord& r = matchLog()[*p];
    for (int32_t id : {r.winner.id, r.loser.id})
      if (id == match.first || id == match.second) return *p + 1;
  }
  return 0;
}

void TablesTest::checkCalls(const TableAssignment& next, int count, const std::string& where) {
  std::map<IdPair, size_t> playable;  // by pair: index in toPlay
  for (size_t i = 0; i < state.toPlay.size(); ++i)
    if (state.toPlay[i].playable)
      playable[unordered(state.toPlay[i].first.id, state.toPlay[i].second.id)] = i;
  std::map<IdPair, int> before, after;
  for (const SeatedMatch& s : tables.seated) before[unordered(s.first, s.second)] = s.table;

  // Each table and player once, a playable match, as announced; a match
  // seated before stays where it was, the others are new calls.
  std::set<int> kept;
  std::set<int32_t> seatedPlayers;
  std::vector<std::pair<std::pair<size_t, size_t>, int>> called;  // (readiness, index), table
  int lastTable = 0;
  for (const SeatedMatch& s : next.seated) {
    const IdPair pair = unordered(s.first, s.second);
    const std::string at = where + ", table " + std::to_string(s.table);
    EXPECT_GT(s.table, lastTable) << at << ": out of order or held twice";
    lastTable = s.table;
    EXPECT_TRUE(seatedPlayers.insert(s.first).second) << at << ": p" << s.first << " twice";
    EXPECT_TRUE(seatedPlayers.insert(s.second).second) << at << ": p" << s.second << " twice";
    ASSERT_EQ(playable.count(pair), 1u) << at << ": p" << s.first << "-p" << s.second;
    EXPECT_EQ(s.first, state.toPlay[playable[pair]].first.id) << at << ": not as announced";
    after[pair] = s.table;
    if (before.count(pair)) {
      EXPECT_EQ(s.table, before[pair]) << at << ": moved";
      kept.insert(s.table);
    } else {
      called.push_back({{readySince(state, pair), playable[pair]}, s.table});
    }
  }
  for (const auto& [pair, table] : before) {
    if (!playable.count(pair)) continue;
    EXPECT_EQ(after[pair], table) << where << ": freed while playable";
  }

  // New calls take the lowest free tables up to the count, readiest first;
  // so above the count sit only matches kept from before it was lowered.
  std::sort(called.begin(), called.end());
  std::vector<int> got, lowestFree;
  for (const auto& c : called) got.push_back(c.second);
  for (int t = 1; t <= count && lowestFree.size() < called.size(); ++t)
    if (!kept.count(t)) lowestFree.push_back(t);
  EXPECT_EQ(got, lowestFree) << where << ": count " << count;

  // A match left waiting with both players free has no free table and is
  // readier than none of the new calls.
  const int busyUpToCount = static_cast<int>(std::count_if(
      next.seated.begin(), next.seated.end(), [&](const SeatedMatch& s) { return s.table <= count; }));
  for (const auto& [pair, index] : playable) {
    if (after.count(pair) || seatedPlayers.count(pair.first) || seatedPlayers.count(pair.second))
      continue;
    const std::string match = "p" + std::to_string(pair.first) + "-p" + std::to_string(pair.second);
    EXPECT_EQ(busyUpToCount, std::max(count, 0)) << where << ": " << match << " waits";
    if (!called.empty()) {
      EXPECT_LT(called.back().first, std::make_pair(readySince(state, pair), index))
          << where << ": " << match << " waits for a later match";
    }
  }

  std::vector<int> tableOf;
  for (const MatchToPlay& m : state.toPlay)
    tableOf.push_back(m.playable ? after[unordered(m.first.id, m.second.id)] : 0);
  EXPECT_EQ(tableOfMatches(next, state), tableOf) << where;
}

// Every size up to this one, then every sixth to a hundred: each change
// costs a rebuild, and large tournaments take hundreds of changes.
constexpr int kEverySizeUpTo = 40;

TEST_F(TablesTest, RandomTournamentsFollowTheRulesAndReplayTheSame) {
  for (int n = kMinPlayers; n <= kMaxPlayers; n += n < kEverySizeUpTo ? 1 : 6) {
    start(n);
    rng.seed(static_cast<unsigned>(n));
    const int firstCount = 1 + static_cast<int>(rng() % 20);
    int count = firstCount;
    std::vector<Change> changes;
    std::vector<std::string> shown;  // the tables after each change
    for (size_t step = 0;; ++step) {
      const std::string where = std::to_string(n) + " players, step " + std::to_string(step);
      const TableAssignment next = reassign(count);
      checkCalls(next, count, where);
      if (HasFailure()) return;
      shown.push_back(tablesText(tables, next, players));
      tables = next;
      if (state.toPlay.empty()) break;
      ASSERT_LT(step, 4u * totalMatches(n) + 100) << where << ": no end in sight";
      changes.push_back(pick());
      apply(changes.back(), &count);
    }

    // The same changes from the start call the same matches to the same tables.
    start(n);
    count = firstCount;
    for (size_t step = 0; step < shown.size(); ++step) {
      const TableAssignment next = reassign(count);
      ASSERT_EQ(tablesText(tables, next, players), shown[step])
          << n << " players, step " << step << " replayed";
      tables = next;
      if (step < changes.size()) apply(changes[step], &count);
    }
  }
}

}  // namespace
