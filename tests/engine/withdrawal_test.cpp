// Worked examples of withdrawals: what the rebuild announces, places and
// reports as forfeits, and the places each player can still reach, for
// small tournaments with a few results logged and some players withdrawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/bracket.h"
#include "engine/match_count.h"
#include "engine/match_log.h"
#include "engine/tournament_state.h"
#include "test_util.h"

namespace {

using Rows = std::vector<std::string>;

// Players A, B, C, ... with ids 0, 1, 2, ...
std::vector<Participant> lettered(int count) {
  std::vector<Participant> list;
  for (int i = 0; i < count; ++i) list.push_back({i, std::string(1, static_cast<char>('A' + i))});
  return list;
}

int32_t idOf(char letter) { return letter - 'A'; }

// "A vs B", with " (later)" for a match that waits for a placeholder.
Rows matchRows(const TournamentState& state) {
  Rows rows;
  for (const MatchToPlay& m : state.toPlay)
    rows.push_back(m.first.name + " vs " + m.second.name + (m.playable ? "" : " (later)"));
  return rows;
}

Rows forfeitRows(const TournamentState& state) {
  Rows rows;
  for (const MatchRecord& r : state.forfeits) rows.push_back(r.winner.name + " beat " + r.loser.name);
  return rows;
}

// "C 1-3", "E 4": each player's reachable places as runs.
Rows reachableRows(const TournamentState& state) {
  Rows rows;
  for (size_t id = 0; id < state.reachable.size(); ++id) {
    std::string row = state.players[id].name + " ";
    const std::vector<int>& places = state.reachable[id];
    for (size_t i = 0; i < places.size();) {
      size_t j = i;
      while (j + 1 < places.size() && places[j + 1] == places[j] + 1) ++j;
      if (i > 0) row += ",";
      row += std::to_string(places[i]);
      if (j > i) row += "-" + std::to_string(places[j]);
      i = j + 1;
    }
    rows.push_back(row);
  }
  return rows;
}

struct Case {
  const char* what;
  int players;
  Rows results;           // "CD": C beat D, logged in this order
  std::string withdrawn;  // letters, earliest withdrawal first
  Rows toPlay, placement, forfeits, reachable;
  int left;  // matchesLeft
};

class WithdrawalTest : public ::testing::Test {
 protected:
  void SetUp() override { resetEngineState(); }
};

TEST_F(WithdrawalTest, WithdrawnPlayersLoseWhatIsLeftByForfeit) {
  const Case cases[] = {
      {"B withdraws before playing: A goes on without a result", 4, {}, "B",
       {"C vs D", "A vs winner(C,D) (later)"},
       {"winner(A,winner(C,D))", "loser(A,winner(C,D))", "winner(B,loser(C,D))",
        "loser(B,loser(C,D))"},
       {"A beat B"},
       {"A 1-2", "B 4", "C 1-3", "D 1-3"},
       3},
      {"then C beats D: B loses to D as well", 4, {"CD"}, "B",
       {"A vs C"},
       {"winner(A,C)", "loser(A,C)", "D", "B"},
       {"A beat B", "D beat B"},
       {"A 1-2", "B 4", "C 1-2", "D 3"},
       1},
      {"A and B withdraw, A first: B wins their match", 4, {"CD"}, "AB",
       {},
       {"C", "B", "D", "A"},
       {"B beat A", "C beat B", "D beat A"},
       {"A 4", "B 2", "C 1", "D 3"},
       0},
      {"B and A withdraw, B first: A wins their match", 4, {"CD"}, "BA",
       {},
       {"C", "A", "D", "B"},
       {"A beat B", "C beat A", "D beat B"},
       {"A 2", "B 4", "C 1", "D 3"},
       0},
      {"a result logged before the withdrawal stands", 4, {"AB", "CD"}, "A",
       {"B vs D"},
       {"C", "A", "winner(B,D)", "loser(B,D)"},
       {"C beat A"},
       {"A 2", "B 3-4", "C 1", "D 3-4"},
       1},
      {"C withdraws from a three-way group before playing", 3, {}, "C",
       {"A vs B"},
       {"winner(t1(A,B,C),t2(A,B,C))", "loser(t1(A,B,C),t2(A,B,C))", "t3(A,B,C)"},
       {"B beat C", "A beat C"},
       {"A 1-2", "B 1-2", "C 3"},
       1},
      {"a cycle drops the member who lost by forfeit, not the drawn one", 3,
       {"CB", "BA"}, "C",
       {},
       {"B", "A", "C"},
       {"A beat C"},
       {"A 2", "B 1", "C 3"},
       0},
      {"E withdraws after going up from its group: it can still drop from the next",
       5, {"CD", "ED", "EC"}, "E",
       {"A vs B", "winner(A,B) vs C (later)", "loser(A,B) vs D (later)"},
       {"winner(t1(winner(A,B),C,E),t2(winner(A,B),C,E))",
        "loser(t1(winner(A,B),C,E),t2(winner(A,B),C,E))", "t3(winner(A,B),C,E)",
        "winner(loser(A,B),D)", "loser(loser(A,B),D)"},
       {},
       {"A 1-5", "B 1-5", "C 1-3", "D 4-5", "E 1-3"},
       4},
      {"then A beats B and C beats A: the cycle drops E", 5,
       {"CD", "ED", "EC", "AB", "CA"}, "E",
       {"B vs D"},
       {"C", "A", "E", "winner(B,D)", "loser(B,D)"},
       {"A beat E"},
       {"A 2", "B 4-5", "C 1", "D 4-5", "E 3"},
       1},
  };
  // The two cycles above are ones the draw alone would settle otherwise:
  // A, B, C drops A; E never drops from A or B, C, E; A, C, E drops C.
  const std::vector<Participant> p = lettered(5);
  ASSERT_EQ(cycleDraw(p[0], p[1], p[2]), 0);
  ASSERT_NE(cycleDraw(p[0], p[2], p[4]), 2);
  ASSERT_NE(cycleDraw(p[1], p[2], p[4]), 2);

  for (const Case& c : cases) {
    resetEngineState();
    const std::vector<Participant> players = lettered(c.players);
    for (const std::string& r : c.results)
      appendResult(MatchRecord{players[idOf(r[0])], players[idOf(r[1])]});
    std::vector<int32_t> withdrawn;
    for (char letter : c.withdrawn) withdrawn.push_back(idOf(letter));

    const TournamentState state = computeTournament(players, resultLog(), withdrawn);
    EXPECT_EQ(matchRows(state), c.toPlay) << c.what;
    EXPECT_EQ(namesOf(state.placement), c.placement) << c.what;
    EXPECT_EQ(forfeitRows(state), c.forfeits) << c.what;
    EXPECT_EQ(reachableRows(state), c.reachable) << c.what;
    EXPECT_EQ(matchesLeft(c.players, static_cast<int>(state.usedResults.size()),
                          static_cast<int>(state.forfeits.size())),
              c.left)
        << c.what;
    EXPECT_EQ(matchLog().size(), c.results.size()) << c.what << ": forfeits were logged";
  }
}

}  // namespace
