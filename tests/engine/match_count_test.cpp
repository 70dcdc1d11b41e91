// The match count against whole tournaments played through the engine: once
// every place is decided, the results used are exactly the total, and at
// every turn the count left drops by one per result used.
#include <gtest/gtest.h>

#include <random>

#include "control/program_state.h"
#include "engine/match_count.h"
#include "engine/match_log.h"
#include "engine/tournament_state.h"

namespace {

int usedResults(const TournamentState& state) {
  return static_cast<int>(state.usedResults.size());
}

TEST(MatchCountTest, SmallTournamentsByHand) {
  // 2: one match. 3: a three-way group; its two qualifiers have met. 4: two
  // pairs, then two finals. 5: one pair and a group (4), then a winners'
  // group of 3 whose last two have met (2) and a losers' final (1).
  const int expected[] = {0, 0, 1, 3, 4, 7};
  for (int n = 0; n <= 5; ++n) EXPECT_EQ(totalMatches(n), expected[n]) << "players: " << n;
}

TEST(MatchCountTest, WholeTournamentsUseExactlyTheTotal) {
  std::mt19937 coin(7);
  for (int n = 2; n <= 100; n += n < 40 ? 1 : 7) {
    resetProgramState();
    std::vector<Participant> players;
    for (int id = 0; id < n; ++id) players.push_back(Participant{id, std::to_string(id + 1)});
    TournamentState state = computeTournament(players, resultLog());
    int turns = 0;
    while (!state.finished()) {
      ASSERT_LT(turns++, 10000) << "players: " << n;
      ASSERT_EQ(matchesLeft(n, usedResults(state)), totalMatches(n) - usedResults(state));
      const MatchToPlay& m = state.toPlay.at(0);
      ASSERT_TRUE(m.playable) << "players: " << n;
      if (coin() % 2) {
        appendResult(MatchRecord{m.first, m.second});
      } else {
        appendResult(MatchRecord{m.second, m.first});
      }
      const int usedBefore = usedResults(state);
      state = computeTournament(players, resultLog());
      EXPECT_EQ(usedResults(state), usedBefore + 1) << "players: " << n;
    }
    EXPECT_EQ(usedResults(state), totalMatches(n)) << "players: " << n;
    EXPECT_EQ(matchesLeft(n, usedResults(state)), 0) << "players: " << n;
  }
  resetProgramState();
}

}  // namespace
