// Calling matches to tables: worked examples step by step, then seeded random
// tournaments with results, cancels, corrections and changes of the count,
// checked against the calling rules after every change and replayed.
#include "engine/tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
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

  void start(int n, const std::string& name) {
    resetEngineState();
    players.clear();
    for (int i = 0; i < n; ++i) players.push_back({i, name + std::string(1, 'A' + i)});
    tables = TableAssignment{};
  }
  // A rebuild and a call of the tables, as every turn and count change does.
  TableAssignment reassign(int count) {
    state = computeTournament(players);
    return assignTables(tables, count, state, matchLog());
  }

  std::vector<Participant> players;
  TournamentState state;
  TableAssignment tables;
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
    {"readiness goes before announcement; a lowered count empties", 8,
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
    start(example.players, "");
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
        correctResult(position, {players[a[4] - 'A'], players[a[6] - 'A']});
      } else {
        appendResult({players.at(a[0] - 'A'), players.at(a[2] - 'A')});
      }
      const TableAssignment next = reassign(count);
      EXPECT_EQ(tablesText(tables, next, players), step.tables) << example.name << ": " << a;
      tables = next;
    }
  }
}

}  // namespace
