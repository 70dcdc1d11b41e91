// Whole tournaments in which players withdraw at random moments: before any
// result, part-way, several of them, two who then meet, a member of a
// three-way group; some withdrawals are taken back. Results are entered only
// for the matches a rebuild marks playable, until none is left. Every turn
// is checked against what a withdrawal promises, and the end against the
// placement.
#include <gtest/gtest.h>

#include <algorithm>
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

using Places = std::vector<std::vector<int>>;

// Up to this many players one result is entered per turn; larger
// tournaments take several playable matches at once, to keep the suite fast.
constexpr size_t kOneResultPerTurnUpTo = 40;

// Everything a turn shows, placeholder ids aside.
struct Shown {
  std::vector<std::string> placement;
  std::vector<std::string> toPlay;
  Places reachable;
  std::vector<std::string> forfeits;
};

Shown shown(const TournamentState& state) {
  Shown s{comparable(state.placement), {}, state.reachable, {}};
  for (const MatchToPlay& m : state.toPlay)
    s.toPlay.push_back(m.first.name + " vs " + m.second.name + (m.playable ? "" : " (later)"));
  for (const MatchRecord& r : state.forfeits) s.forfeits.push_back(recordText(r));
  return s;
}

void expectSameShown(const TournamentState& got, const TournamentState& expected,
                     const std::string& where) {
  const Shown a = shown(got), b = shown(expected);
  EXPECT_EQ(a.placement, b.placement) << where;
  EXPECT_EQ(a.toPlay, b.toPlay) << where;
  EXPECT_EQ(a.reachable, b.reachable) << where;
  EXPECT_EQ(a.forfeits, b.forfeits) << where;
}

// How a tournament's players withdraw.
enum class Plan {
  kBeforeAnyResult,  // one player, at the first turn
  kAtRandom,         // several, at random moments; some taken back later
  kTwoWhoMeet,       // both players of a playable match, one after the other
  kGroupMember,      // a member of the top three-way group (n % 4 == 3)
};

class WithdrawalPropertyTest : public ::testing::Test {
 protected:
  void SetUp() override { resetEngineState(); }

  TournamentState rebuild() const { return computeTournament(players, resultLog(), withdrawn); }

  void start(int n);
  // Withdrawals (and take-backs) due once `entered` results are in.
  void scheduleFor(Plan plan);
  // Plays to the end, making the scheduled withdrawals on the way.
  TournamentState playOut();
  void makeDueChanges();
  // The top three-way group's match, first player to withdraw first: the
  // one whose forfeit closes a cycle when the group's other two results
  // make a chain, else either.
  IdPair groupMatch(IdPair match);
  // Withdraws the first player of a playable match: checks that the match
  // is now a forfeit, and that taking the withdrawal straight back restores
  // the state before.
  void withdraw(IdPair match);
  void takeBack(size_t index);

  void checkTurn(const TournamentState& state);
  void checkEnd(const TournamentState& end);
  // Correcting a used result, tried out first, loses the results the
  // correction then leaves unused; correcting it back restores the end.
  void checkCorrection(const TournamentState& end);

  std::string where() const {
    return std::to_string(players.size()) + " players, " + std::to_string(entered) +
           " results in";
  }

  std::vector<Participant> players;
  std::vector<int32_t> withdrawn;
  std::mt19937 rng;
  int entered = 0;
  // Results-entered counts at which a withdrawal (or a take-back) is due.
  std::vector<int> withdrawAt, takeBackAt;
  bool meetingPair = false;
  bool groupMember = false;
  bool tookBackMidway = false;
  std::set<IdPair> played;
  // The reachable places of every turn since the withdrawals last changed.
  std::vector<Places> sinceChange;
};

void WithdrawalPropertyTest::start(int n) {
  resetEngineState();
  players.clear();
  for (int i = 0; i < n; ++i) players.push_back({i, "p" + std::to_string(i)});
  withdrawn.clear();
  rng.seed(static_cast<unsigned>(1000 + n));
  entered = 0;
  withdrawAt.clear();
  takeBackAt.clear();
  meetingPair = groupMember = tookBackMidway = false;
  played.clear();
  sinceChange.clear();
}

void WithdrawalPropertyTest::scheduleFor(Plan plan) {
  const int total = totalMatches(static_cast<int>(players.size()));
  switch (plan) {
    case Plan::kBeforeAnyResult: withdrawAt = {0}; break;
    case Plan::kTwoWhoMeet:
      meetingPair = true;
      withdrawAt = {static_cast<int>(rng() % (total / 2 + 1))};
      break;
    case Plan::kGroupMember: {
      // Pairs come first, one result a turn: before the group's last match.
      groupMember = true;
      const int pairs = (static_cast<int>(players.size()) - 3) / 2;
      withdrawAt = {rng() % 2 ? pairs + 2 : static_cast<int>(rng() % (pairs + 3))};
      break;
    }
    case Plan::kAtRandom: {
      const int most = std::min(10, std::max(1, static_cast<int>(players.size()) / 3));
      const int count = 1 + static_cast<int>(rng() % most);
      for (int i = 0; i < count; ++i)
        withdrawAt.push_back(static_cast<int>(rng() % (total / 2 + 1)));
      for (int i = 0; i < count; ++i)
        if (rng() % 3 == 0) takeBackAt.push_back(static_cast<int>(rng() % total));
      break;
    }
  }
  std::sort(withdrawAt.begin(), withdrawAt.end());
  std::sort(takeBackAt.begin(), takeBackAt.end());
}

void WithdrawalPropertyTest::withdraw(IdPair match) {
  const int32_t id = match.first;
  const int32_t opponent = match.second;
  const bool opponentLeft =
      std::find(withdrawn.begin(), withdrawn.end(), opponent) != withdrawn.end();
  const TournamentState before = rebuild();
  const std::vector<MatchRecord> log = matchLog();
  withdrawn.push_back(id);
  const TournamentState after = rebuild();
  withdrawn.pop_back();
  expectSameShown(rebuild(), before, where() + ", p" + std::to_string(id) + " taken back at once");
  EXPECT_EQ(matchLog(), log) << where() << ": a withdrawal changed the log";
  withdrawn.push_back(id);
  // The match is now lost by whoever of the two withdrew first.
  const MatchRecord expected = opponentLeft ? MatchRecord{players[id], players[opponent]}
                                            : MatchRecord{players[opponent], players[id]};
  EXPECT_TRUE(std::any_of(after.forfeits.begin(), after.forfeits.end(),
                          [&](const MatchRecord& r) { return r == expected; }))
      << where() << ": p" << id << " withdrew and " << recordText(expected)
      << " is not a forfeit";
  sinceChange.clear();
}

void WithdrawalPropertyTest::takeBack(size_t index) {
  const int32_t id = withdrawn[index];
  withdrawn.erase(withdrawn.begin() + static_cast<std::ptrdiff_t>(index));
  const TournamentState after = rebuild();
  for (const MatchRecord& r : after.forfeits)
    EXPECT_NE(r.loser.id, id) << where() << ": p" << id << " taken back, still loses "
                              << recordText(r);
  tookBackMidway = true;
  sinceChange.clear();
}

void WithdrawalPropertyTest::makeDueChanges() {
  while (!withdrawAt.empty() && withdrawAt.front() <= entered) {
    withdrawAt.erase(withdrawAt.begin());
    const std::vector<IdPair> playable = playableMatches(rebuild());
    if (playable.empty()) return;
    IdPair match = playable[rng() % playable.size()];
    if (rng() % 2) std::swap(match.first, match.second);
    if (groupMember) {
      const int32_t n = static_cast<int32_t>(players.size());
      for (const IdPair& m : playable)
        if (m.first >= n - 3 && m.second >= n - 3) match = groupMatch(m);
    }
    withdraw(match);
    // Then the other one: they meet, and the first to withdraw loses.
    if (meetingPair) withdraw({match.second, match.first});
  }
  while (!takeBackAt.empty() && takeBackAt.front() <= entered) {
    takeBackAt.erase(takeBackAt.begin());
    if (!withdrawn.empty()) takeBack(rng() % withdrawn.size());
  }
}

IdPair WithdrawalPropertyTest::groupMatch(IdPair match) {
  const int32_t n = static_cast<int32_t>(players.size());
  const int32_t third = 3 * n - 6 - match.first - match.second;
  const auto winner = [](int32_t a, int32_t b) {
    size_t position = 0;
    return findResult(a, b, &position) ? matchLog()[position].winner.id : kNoParticipant;
  };
  if (winner(match.second, third) == match.second && winner(third, match.first) == third)
    return {match.second, match.first};
  if (winner(match.first, third) == match.first && winner(third, match.second) == third)
    return match;
  return rng() % 2 ? match : IdPair{match.second, match.first};
}

void WithdrawalPropertyTest::checkTurn(const TournamentState& state) {
  const size_t n = players.size();
  ASSERT_EQ(state.placement.size(), n) << where();
  ASSERT_EQ(state.reachable.size(), n) << where();
  std::vector<int> reachers(n + 1, 0);
  for (const std::vector<int>& places : state.reachable)
    for (int place : places) ++reachers.at(static_cast<size_t>(place));
  for (size_t place = 1; place <= n; ++place) {
    EXPECT_GE(reachers[place], 1) << where() << ": nobody can reach place " << place;
    const Participant& holder = state.placement[place - 1];
    if (!isPlayerId(holder.id)) continue;
    EXPECT_EQ(reachers[place], 1) << where() << ": decided place " << place;
    EXPECT_EQ(state.reachable[holder.id], std::vector<int>{static_cast<int>(place)})
        << where() << ": p" << holder.id << " holds place " << place;
  }

  const auto rank = [this](int32_t id) {
    return std::find(withdrawn.begin(), withdrawn.end(), id) - withdrawn.begin();
  };
  const auto isWithdrawn = [&](int32_t id) {
    return rank(id) < static_cast<std::ptrdiff_t>(withdrawn.size());
  };
  for (const MatchToPlay& m : state.toPlay)
    EXPECT_FALSE(isWithdrawn(m.first.id) || isWithdrawn(m.second.id))
        << where() << ": announced " << m.first.name << " vs " << m.second.name;
  std::set<IdPair> forfeited;
  for (const MatchRecord& r : state.forfeits) {
    EXPECT_TRUE(isWithdrawn(r.loser.id)) << where() << ": " << recordText(r);
    EXPECT_LT(rank(r.loser.id), rank(r.winner.id)) << where() << ": " << recordText(r);
    EXPECT_TRUE(forfeited.insert(unordered(r.winner.id, r.loser.id)).second)
        << where() << ": twice " << recordText(r);
    size_t position = 0;
    EXPECT_FALSE(findResult(r.winner.id, r.loser.id, &position))
        << where() << ": a logged result overruled by " << recordText(r);
  }
  const int used = static_cast<int>(state.usedResults.size());
  const int forfeits = static_cast<int>(state.forfeits.size());
  EXPECT_LE(used + forfeits, totalMatches(static_cast<int>(n))) << where();
  if (!sinceChange.empty()) {
    const Places& last = sinceChange.back();
    for (size_t id = 0; id < n; ++id)
      EXPECT_TRUE(std::includes(last[id].begin(), last[id].end(),
                                state.reachable[id].begin(), state.reachable[id].end()))
          << where() << ": p" << id << " can reach a place it could not before";
  }
  sinceChange.push_back(state.reachable);
}

TournamentState WithdrawalPropertyTest::playOut() {
  const size_t n = players.size();
  for (size_t turn = 0;; ++turn) {
    makeDueChanges();
    const TournamentState state = rebuild();
    checkTurn(state);
    if (state.toPlay.empty()) return state;
    const std::vector<IdPair> playable = playableMatches(state);
    if (playable.empty() || turn > n * n) {
      ADD_FAILURE() << where() << ": nothing playable";
      return state;
    }
    const size_t count = n <= kOneResultPerTurnUpTo ? 1 : 1 + rng() % playable.size();
    for (size_t i = 0; i < count; ++i) {
      IdPair m = playable[i];
      if (rng() % 2) std::swap(m.first, m.second);
      EXPECT_TRUE(played.insert(unordered(m.first, m.second)).second)
          << where() << ": p" << m.first << " vs p" << m.second << " played twice";
      appendResult(MatchRecord{players[m.first], players[m.second]});
      ++entered;
    }
  }
}

void WithdrawalPropertyTest::checkEnd(const TournamentState& end) {
  const int n = static_cast<int>(players.size());
  std::vector<Participant> sorted = end.placement;
  std::sort(sorted.begin(), sorted.end(),
            [](const Participant& a, const Participant& b) { return a.id < b.id; });
  EXPECT_EQ(sorted, players) << where();
  ASSERT_TRUE(end.finished()) << where();

  const int used = static_cast<int>(end.usedResults.size());
  const int forfeits = static_cast<int>(end.forfeits.size());
  EXPECT_EQ(used + forfeits, totalMatches(n)) << where();
  EXPECT_EQ(matchesLeft(n, used, forfeits), 0) << where();
  if (!withdrawn.empty()) {
    EXPECT_GT(forfeits, 0) << where();
  }
  // A result is left unused only when a player taken back replays a
  // pairing lost by forfeit and changes who moves on.
  if (!tookBackMidway) {
    EXPECT_EQ(used, entered) << where();
    if (!withdrawn.empty()) {
      EXPECT_LT(entered, totalMatches(n)) << where();
    }
  }

  std::vector<size_t> placeOf(players.size());
  for (size_t place = 0; place < end.placement.size(); ++place)
    placeOf[end.placement[place].id] = place;
  for (const MatchRecord& r : end.forfeits)
    EXPECT_LT(placeOf[r.winner.id], placeOf[r.loser.id]) << where() << ": " << recordText(r);
  for (const Places& turn : sinceChange)
    for (size_t id = 0; id < players.size(); ++id)
      EXPECT_TRUE(std::binary_search(turn[id].begin(), turn[id].end(),
                                     static_cast<int>(placeOf[id]) + 1))
          << where() << ": p" << id << " ends in place " << placeOf[id] + 1
          << ", unreachable at a turn before";
}

void WithdrawalPropertyTest::checkCorrection(const TournamentState& end) {
  if (end.usedResults.empty()) return;
  const size_t position = end.usedResults[rng() % end.usedResults.size()];
  const MatchRecord wrong = matchLog()[position];
  const MatchRecord right{wrong.loser, wrong.winner};
  const std::string what = where() + ", " + recordText(wrong) + " corrected";
  const size_t lost = resultsLostByCorrection(end, resultLog(), position, right);
  ASSERT_TRUE(correctResult(position, right)) << what;
  const TournamentState corrected = rebuild();
  const std::vector<ResultUse> was = resultUses(end, matchLog());
  const std::vector<ResultUse> is = resultUses(corrected, matchLog());
  size_t unused = 0;
  for (size_t i = 0; i < was.size(); ++i)
    unused += was[i] == ResultUse::kUsed && is[i] == ResultUse::kUnused;
  EXPECT_EQ(unused, lost) << what;
  size_t back = 0;
  ASSERT_TRUE(findResult(right.winner.id, right.loser.id, &back)) << what;
  ASSERT_TRUE(correctResult(back, wrong)) << what;
  expectSameShown(rebuild(), end, what + " and back");
}

// --- every size from two to a hundred players

TEST_F(WithdrawalPropertyTest, EveryPlaceIsFilledAndNoForfeitIsEverPlayed) {
  for (int n = kMinPlayers; n <= kMaxPlayers; ++n) {
    start(n);
    scheduleFor(static_cast<Plan>(n % 4));  // a group member when n is odd
    const TournamentState end = playOut();
    checkEnd(end);
    checkCorrection(end);
  }
}

}  // namespace
