// The tournament's value for five players, whose last three play a three-way
// group: the matches to play, the placement and the places each player can
// still reach, before and after each result.
#include "engine/tournament_state.h"

#include <gtest/gtest.h>

#include "engine/bracket.h"
#include "engine/match_log.h"
#include "test_util.h"

namespace {

using Rows = std::vector<std::string>;

// "A vs B", with " (attend)" for a match that waits for a placeholder.
Rows matchRows(const TournamentState& state) {
  Rows rows;
  for (const MatchToPlay& m : state.toPlay)
    rows.push_back(m.first.name + " vs " + m.second.name + (m.playable ? "" : " (attend)"));
  return rows;
}

// "C 1-3", "E 4-5": each player's reachable places as runs.
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

class TournamentStateTest : public ::testing::Test {
 protected:
  void SetUp() override { resetEngineState(); }
  const std::vector<Participant> players{{0, "A"}, {1, "B"}, {2, "C"}, {3, "D"}, {4, "E"}};
};

// A-B is a pair; C, D and E play each other once. cycleDraw drops E from
// the C-D-E cycle, so once D has beaten E, D cannot drop any more: either E
// loses both, or C loses both, or the cycle drops E.
TEST_F(TournamentStateTest, FivePlayersStepByStepThroughTheThreeWayGroup) {
  ASSERT_EQ(cycleDraw(players[2], players[3], players[4]), 2);
  struct Step {
    int winner, loser;  // -1: before any result
    Rows matches, placement, reachable;
  };
  const Step steps[] = {
      {-1, -1,
       {"A vs B", "D vs E", "C vs E", "C vs D"},
       {"winner(t1(winner(A,B),t1(C,D,E),t2(C,D,E)),t2(winner(A,B),t1(C,D",
        "loser(t1(winner(A,B),t1(C,D,E),t2(C,D,E)),t2(winner(A,B),t1(C,D,",
        "t3(winner(A,B),t1(C,D,E),t2(C,D,E))", "winner(loser(A,B),t3(C,D,E))",
        "loser(loser(A,B),t3(C,D,E))"},
       {"A 1-5", "B 1-5", "C 1-5", "D 1-5", "E 1-5"}},
      {0, 1,
       {"D vs E", "C vs E", "C vs D", "A vs t2(C,D,E) (attend)",
        "A vs t1(C,D,E) (attend)", "B vs t3(C,D,E) (attend)"},
       {"winner(t1(A,t1(C,D,E),t2(C,D,E)),t2(A,t1(C,D,E),t2(C,D,E)))",
        "loser(t1(A,t1(C,D,E),t2(C,D,E)),t2(A,t1(C,D,E),t2(C,D,E)))",
        "t3(A,t1(C,D,E),t2(C,D,E))", "winner(B,t3(C,D,E))", "loser(B,t3(C,D,E))"},
       {"A 1-3", "B 4-5", "C 1-5", "D 1-5", "E 1-5"}},
      {3, 4,
       {"C vs E", "C vs D", "A vs t2(C,D,E) (attend)", "A vs t1(C,D,E) (attend)",
        "B vs t3(C,D,E) (attend)"},
       {"winner(t1(A,t1(C,D,E),t2(C,D,E)),t2(A,t1(C,D,E),t2(C,D,E)))",
        "loser(t1(A,t1(C,D,E),t2(C,D,E)),t2(A,t1(C,D,E),t2(C,D,E)))",
        "t3(A,t1(C,D,E),t2(C,D,E))", "winner(B,t3(C,D,E))", "loser(B,t3(C,D,E))"},
       {"A 1-3", "B 4-5", "C 1-5", "D 1-3", "E 1-5"}},
      {2, 4,
       {"C vs D", "A vs t2(C,D,E) (attend)", "A vs t1(C,D,E) (attend)",
        "B vs t3(C,D,E) (attend)"},
       {"winner(t1(A,t1(C,D,E),t2(C,D,E)),t2(A,t1(C,D,E),t2(C,D,E)))",
        "loser(t1(A,t1(C,D,E),t2(C,D,E)),t2(A,t1(C,D,E),t2(C,D,E)))",
        "t3(A,t1(C,D,E),t2(C,D,E))", "winner(B,t3(C,D,E))", "loser(B,t3(C,D,E))"},
       {"A 1-3", "B 4-5", "C 1-3", "D 1-3", "E 4-5"}},
      {2, 3,
       {"A vs D", "A vs C", "B vs E"},
       {"winner(t1(A,C,D),t2(A,C,D))", "loser(t1(A,C,D),t2(A,C,D))", "t3(A,C,D)",
        "winner(B,E)", "loser(B,E)"},
       {"A 1-3", "B 4-5", "C 1-3", "D 1-3", "E 4-5"}},
  };
  for (const Step& step : steps) {
    if (step.winner >= 0) appendResult(MatchRecord{players[step.winner], players[step.loser]});
    const std::string after = step.winner < 0 ? "no result"
                                              : players[step.winner].name + " beat " +
                                                    players[step.loser].name;
    const TournamentState state = computeTournament(players, resultLog());
    EXPECT_EQ(matchRows(state), step.matches) << "after " << after;
    EXPECT_EQ(namesOf(state.placement), step.placement) << "after " << after;
    EXPECT_EQ(reachableRows(state), step.reachable) << "after " << after;
    EXPECT_FALSE(state.finished()) << "after " << after;
  }
}

// Results the bracket asks for are used; a result between players who do
// not meet (yet) is live but unused; a cancelled entry is neither.
TEST_F(TournamentStateTest, EachLoggedResultIsUsedUnusedOrCancelled) {
  appendResult(MatchRecord{players[0], players[1]});  // A-B: round one
  appendResult(MatchRecord{players[0], players[4]});  // A-E: they do not meet
  appendResult(MatchRecord{players[3], players[4]});  // D-E: in the group
  cancelLastResult();
  appendResult(MatchRecord{players[4], players[3]});  // E-D again, other way
  const TournamentState state = computeTournament(players, resultLog());
  EXPECT_EQ(resultUses(state, matchLog()),
            (std::vector<ResultUse>{ResultUse::kUsed, ResultUse::kUnused,
                                    ResultUse::kCancelled, ResultUse::kUsed}));
}

}  // namespace
