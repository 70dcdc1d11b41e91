// Whole tournaments played out the way the operator plays them: each turn the
// tournament is rebuilt, and results are entered for matches it marks
// playable, first one first, until no match is left to play. Along the way
// the places each player can still reach are checked against the placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>

#include "engine/match_log.h"
#include "engine/tournament_state.h"
#include "test_util.h"
#include "tournament_play.h"

namespace {

using Places = std::vector<std::vector<int>>;

// The reachable places agree with the placement: together they cover every
// place, and a decided place is reachable by its player alone, for whom it
// is the only one.
void checkReachable(const TournamentState& state, const std::string& where) {
  const size_t n = state.placement.size();
  ASSERT_EQ(state.reachable.size(), n) << where;
  std::vector<int> reachers(n + 1, 0);
  for (const std::vector<int>& places : state.reachable) {
    EXPECT_FALSE(places.empty()) << where;
    for (int place : places) ++reachers.at(static_cast<size_t>(place));
  }
  for (size_t place = 1; place <= n; ++place) {
    EXPECT_GE(reachers[place], 1) << where << ": nobody can reach place " << place;
    const Participant& holder = state.placement[place - 1];
    if (!isPlayerId(holder.id)) continue;
    EXPECT_EQ(reachers[place], 1) << where << ": decided place " << place;
    EXPECT_EQ(state.reachable[holder.id], std::vector<int>{static_cast<int>(place)})
        << where << ": player " << holder.id << " holds place " << place;
  }
}

// Each player's places are a subset of what they were.
void checkShrunk(const Places& before, const Places& after, const std::string& where) {
  for (size_t id = 0; id < before.size(); ++id) {
    EXPECT_TRUE(std::includes(before[id].begin(), before[id].end(), after[id].begin(),
                              after[id].end()))
        << where << ": player " << id << " can reach a place it could not before";
  }
}

// Up to this many players a result is entered at every turn, as the operator
// does. Larger tournaments take results for a random number of the playable
// matches, in order, per turn, to keep the suite fast under sanitizers.
constexpr size_t kOneResultPerTurnUpTo = 40;

class TournamentPropertyTest : public ::testing::Test {
 protected:
  void SetUp() override { resetEngineState(); }

  TournamentState rebuild() { return computeTournament(players, resultLog()); }

  // Plays the tournament to its end; returns the final state.
  TournamentState playOut();
  // Notes the playable matches; none may have been played already.
  void notePlayable(const std::vector<IdPair>& matches);
  // Logs a result for the match, either side winning at random.
  MatchRecord enterResult(IdPair match);
  // Cancelling the result just entered gives the state before it again;
  // entering it once more gives the state with it again.
  void checkCancelRoundTrip(const TournamentState& before, const MatchRecord& entered);

  std::vector<Participant> players;
  std::mt19937 rng;
  std::set<IdPair> played;
  std::set<IdPair> offered;
};

TournamentState TournamentPropertyTest::playOut() {
  const size_t n = players.size();
  for (size_t turn = 0;; ++turn) {
    const TournamentState before = rebuild();
    const std::string where = std::to_string(n) + " players, turn " + std::to_string(turn);
    EXPECT_EQ(before.placement.size(), n) << where;
    checkReachable(before, where);
    const std::vector<IdPair> playable = playableMatches(before);
    if (before.toPlay.empty()) return before;
    if (playable.empty() || turn > n * n) {
      ADD_FAILURE() << where << ": nothing playable";
      return before;
    }
    notePlayable(playable);
    const size_t count = n <= kOneResultPerTurnUpTo ? 1 : 1 + rng() % playable.size();
    MatchRecord entered;
    for (size_t i = 0; i < count; ++i) entered = enterResult(playable[i]);
    const TournamentState after = rebuild();
    checkShrunk(before.reachable, after.reachable, where);
    if (count == 1 && rng() % 8 == 0) checkCancelRoundTrip(before, entered);
  }
}

void TournamentPropertyTest::notePlayable(const std::vector<IdPair>& matches) {
  for (const IdPair& m : matches) {
    EXPECT_EQ(played.count(unordered(m.first, m.second)), 0u)
        << players.size() << " players: p" << m.first << " vs p" << m.second
        << " offered again";
    offered.insert(unordered(m.first, m.second));
  }
}

MatchRecord TournamentPropertyTest::enterResult(IdPair match) {
  if (rng() % 2) std::swap(match.first, match.second);
  EXPECT_TRUE(played.insert(unordered(match.first, match.second)).second)
      << players.size() << " players: p" << match.first << " vs p" << match.second
      << " played twice";
  const MatchRecord result{players[match.first], players[match.second]};
  appendResult(result);
  return result;
}

void TournamentPropertyTest::checkCancelRoundTrip(const TournamentState& before,
                                                  const MatchRecord& entered) {
  const TournamentState after = rebuild();
  cancelLastResult();
  const TournamentState cancelled = rebuild();
  EXPECT_EQ(comparable(cancelled.placement), comparable(before.placement))
      << players.size() << " players, after cancelling " << recordText(entered);
  EXPECT_EQ(cancelled.reachable, before.reachable)
      << players.size() << " players, after cancelling " << recordText(entered);
  appendResult(entered);
  const TournamentState again = rebuild();
  EXPECT_EQ(comparable(again.placement), comparable(after.placement))
      << players.size() << " players, after entering again " << recordText(entered);
  EXPECT_EQ(again.reachable, after.reachable)
      << players.size() << " players, after entering again " << recordText(entered);
}

// --- every size from two to a hundred players

TEST_F(TournamentPropertyTest, EveryTournamentEndsWithEachPlayerPlacedOnce) {
  for (int n = kMinPlayers; n <= kMaxPlayers; ++n) {
    resetEngineState();
    players.clear();
    played.clear();
    offered.clear();
    for (int i = 0; i < n; ++i) players.push_back({i, "p" + std::to_string(i)});
    rng.seed(static_cast<unsigned>(n));

    const TournamentState end = playOut();

    std::vector<Participant> sorted = end.placement;
    std::sort(sorted.begin(), sorted.end(),
              [](const Participant& a, const Participant& b) { return a.id < b.id; });
    EXPECT_EQ(sorted, players) << n << " players";
    EXPECT_TRUE(end.finished()) << n << " players";
    EXPECT_EQ(offered, played) << n << " players";
    for (size_t place = 0; place < end.placement.size(); ++place)
      EXPECT_EQ(end.reachable[end.placement[place].id],
                std::vector<int>{static_cast<int>(place) + 1})
          << n << " players, place " << place + 1;
    // Every logged result was used; none cancelled (the round trips put
    // each cancelled result back as a new entry).
    const std::vector<ResultUse> uses = resultUses(end, matchLog());
    for (size_t i = 0; i < uses.size(); ++i)
      EXPECT_TRUE(uses[i] == ResultUse::kUsed || uses[i] == ResultUse::kCancelled)
          << n << " players, entry " << i;

    // Only which results are in the log matters, not the order they came in.
    std::vector<MatchRecord> results;
    for (const MatchRecord& r : matchLog())
      if (r.winner.id != kNoParticipant) results.push_back(r);
    std::shuffle(results.begin(), results.end(), rng);
    resetEngineState();
    for (const MatchRecord& r : results) appendResult(r);
    EXPECT_EQ(rebuild().placement, end.placement) << n << " players, results shuffled";
  }
}

}  // namespace
