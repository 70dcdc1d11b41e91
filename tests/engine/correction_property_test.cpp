// Correcting an older result of a tournament played to its end, then playing
// the matches the correction brings, ends where playing the corrected result
// from the start ends. Each pairing's winner is drawn once per tournament, so
// both runs agree on every match they both play.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/match_log.h"
#include "engine/tournament_state.h"
#include "test_util.h"
#include "tournament_play.h"

namespace {

// Up to this many players one result is entered per turn, as the operator
// does; larger tournaments take results for several playable matches at
// once, to keep the suite fast under sanitizers.
constexpr size_t kOneResultPerTurnUpTo = 40;

// Everything a turn shows, placeholder ids aside.
struct Shown {
  std::vector<std::string> placement;
  std::vector<std::string> toPlay;
  std::vector<std::vector<int>> reachable;
};

Shown shown(const TournamentState& state) {
  Shown s{comparable(state.placement), {}, state.reachable};
  for (const MatchToPlay& m : state.toPlay)
    s.toPlay.push_back(m.first.name + " vs " + m.second.name + (m.playable ? "" : " (later)"));
  return s;
}

void expectSameShown(const TournamentState& got, const TournamentState& expected,
                     const std::string& where) {
  const Shown a = shown(got), b = shown(expected);
  EXPECT_EQ(a.placement, b.placement) << where;
  EXPECT_EQ(a.toPlay, b.toPlay) << where;
  EXPECT_EQ(a.reachable, b.reachable) << where;
}

// The results the first state uses and the second, rebuilt from the log as
// it stands now, leaves live but unused.
size_t countLost(const TournamentState& before, const TournamentState& after) {
  const std::vector<ResultUse> was = resultUses(before, matchLog());
  const std::vector<ResultUse> is = resultUses(after, matchLog());
  size_t lost = 0;
  for (size_t i = 0; i < was.size(); ++i)
    if (was[i] == ResultUse::kUsed && is[i] == ResultUse::kUnused) ++lost;
  return lost;
}

class CorrectionPropertyTest : public ::testing::Test {
 protected:
  void SetUp() override { resetEngineState(); }

  TournamentState rebuild() { return computeTournament(players, resultLog()); }

  // A tournament of n players whose pairings have random winners.
  void start(int n) {
    resetEngineState();
    players.clear();
    for (int i = 0; i < n; ++i) players.push_back({i, "p" + std::to_string(i)});
    rng.seed(static_cast<unsigned>(n));
    firstWins.assign(static_cast<size_t>(n) * n, false);
    for (auto&& bit : firstWins) bit = rng() % 2 == 0;
  }

  // The result of a match as this tournament's draw has it.
  MatchRecord outcome(IdPair match) const {
    const IdPair key = unordered(match.first, match.second);
    const bool lowerWins = firstWins[key.first * players.size() + key.second];
    return lowerWins ? MatchRecord{players[key.first], players[key.second]}
                     : MatchRecord{players[key.second], players[key.first]};
  }

  void flipOutcome(IdPair match) {
    const IdPair key = unordered(match.first, match.second);
    firstWins[key.first * players.size() + key.second] =
        !firstWins[key.first * players.size() + key.second];
  }

  // Plays the playable matches as drawn until nothing is left to play.
  TournamentState playOut(const std::string& where);

  // Corrects the live result between the two players to `corrected`.
  void correct(const MatchRecord& corrected, const std::string& where) {
    size_t position = 0;
    ASSERT_TRUE(findResult(corrected.winner.id, corrected.loser.id, &position)) << where;
    ASSERT_TRUE(correctResult(position, corrected)) << where;
  }

  std::vector<Participant> players;
  std::vector<bool> firstWins;  // by lower id * n + higher id
  std::mt19937 rng;
};

TournamentState CorrectionPropertyTest::playOut(const std::string& where) {
  const size_t n = players.size();
  for (size_t turn = 0;; ++turn) {
    const TournamentState state = rebuild();
    if (state.toPlay.empty()) return state;
    const std::vector<IdPair> playable = playableMatches(state);
    if (playable.empty() || turn > n * n) {
      ADD_FAILURE() << where << ": nothing playable at turn " << turn;
      return state;
    }
    const size_t count = n <= kOneResultPerTurnUpTo ? 1 : 1 + rng() % playable.size();
    for (size_t i = 0; i < count; ++i) appendResult(outcome(playable[i]));
  }
}

// --- every size from two to a hundred players

TEST_F(CorrectionPropertyTest, CorrectedTournamentEndsAsIfPlayedRightFromTheStart) {
  for (int n = kMinPlayers; n <= kMaxPlayers; ++n) {
    start(n);
    const std::string where = std::to_string(n) + " players";
    const TournamentState end = playOut(where + ", first run");
    ASSERT_TRUE(end.finished()) << where;

    // An earlier result, reversed. Trying it out first changes nothing and
    // counts exactly the results the correction leaves unused.
    const std::vector<MatchRecord> log = matchLog();
    const size_t position = rng() % log.size();
    const MatchRecord wrong = log[position];
    const MatchRecord right{wrong.loser, wrong.winner};
    const std::string what = where + ", " + recordText(wrong) + " corrected";
    const size_t lost = resultsLostByCorrection(end, resultLog(), position, right);
    EXPECT_EQ(matchLog(), log) << what;
    expectSameShown(rebuild(), end, what + " in trial only");
    ASSERT_TRUE(correctResult(position, right)) << what;
    const TournamentState corrected = rebuild();
    EXPECT_EQ(countLost(end, corrected), lost) << what;

    // The correction back restores the earlier state exactly, and once
    // more gives the corrected one.
    correct(wrong, what + " back");
    expectSameShown(rebuild(), end, what + " and back");
    correct(right, what + " again");
    expectSameShown(rebuild(), corrected, what + " again");

    flipOutcome({right.winner.id, right.loser.id});
    const TournamentState afterCorrection = playOut(what);
    ASSERT_TRUE(afterCorrection.finished()) << what;

    // Every result set aside is still in the log: undoing the correction
    // brings the first run's standings back.
    correct(wrong, what + ", then back after the new matches");
    EXPECT_EQ(rebuild().placement, end.placement) << what << ", then back";

    resetEngineState();
    const TournamentState fresh = playOut(where + ", corrected result from the start");
    EXPECT_EQ(fresh.placement, afterCorrection.placement) << what;
  }
}

}  // namespace
