// Whole tournaments played out the way the operator plays them: each turn the
// bracket is rebuilt, the announcements are read off leftPanel, and results
// are entered for announced matches between two players, first row first,
// until nothing is announced any more.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>

#include "engine/bracket.h"
#include "engine/match_log.h"
#include "test_util.h"

namespace {

using IdPair = std::pair<int32_t, int32_t>;

const std::string kAnnouncement = "***** Play match ";

IdPair unordered(int32_t a, int32_t b) { return {std::min(a, b), std::max(a, b)}; }

// The player id of a name "p<k>", or -1 for any other name.
int32_t playerId(const std::string& name) {
  if (name.size() < 2 || name[0] != 'p') return -1;
  if (name.find_first_not_of("0123456789", 1) != std::string::npos) return -1;
  return static_cast<int32_t>(std::stoi(name.substr(1)));
}

// The announced matches between two players, in row order. Only the rows the
// panel keeps are seen: in large tournaments a turn can announce a few more
// matches than the panel has rows.
std::vector<IdPair> announcedPlayerMatches() {
  std::vector<IdPair> matches;
  const std::vector<char> grid = leftPanel.getGrid();
  for (int r = 0; r < leftPanel.height(); ++r) {
    std::string row(grid.begin() + r * leftPanel.width,
                    grid.begin() + (r + 1) * leftPanel.width);
    row.erase(row.find_last_not_of(' ') + 1);
    if (row.empty()) continue;
    EXPECT_EQ(row.compare(0, kAnnouncement.size(), kAnnouncement), 0) << row;
    const std::string sides = row.substr(kAnnouncement.size());
    const size_t vs = sides.find(" vs ");
    const int32_t a = playerId(sides.substr(0, vs));
    const int32_t b = vs == std::string::npos ? -1 : playerId(sides.substr(vs + 4));
    if (a >= 0 && b >= 0) matches.push_back({a, b});
  }
  return matches;
}

// Names, and ids of players only: placeholder ids change at every rebuild.
std::vector<std::string> comparable(const std::vector<Participant>& placement) {
  std::vector<std::string> out;
  for (const Participant& p : placement)
    out.push_back(p.name + (p.id < kFirstPlaceholderId ? "#" + std::to_string(p.id) : ""));
  return out;
}

// Up to this many players a result is entered at every turn, as the operator
// does. Larger tournaments take results for a random number of the announced
// matches, in row order, per turn: a rebuild costs about n squared (the names
// nest), and a turn per result would make the suite slow under sanitizers.
constexpr size_t kOneResultPerTurnUpTo = 40;

class TournamentPropertyTest : public ::testing::Test {
 protected:
  void SetUp() override { resetEngineState(); }

  std::vector<Participant> rebuild() {
    leftPanel.clear();
    return buildBracket(players);
  }

  // Plays the tournament to its end; returns the final placement.
  std::vector<Participant> playOut();
  // Notes the announced matches; none may have been played already.
  void noteAnnounced(const std::vector<IdPair>& matches);
  // Logs a result for the match, either side winning at random.
  MatchRecord enterResult(IdPair match);
  // Cancelling the result just entered gives the placement before it again;
  // entering it once more gives the placement with it again.
  void checkCancelRoundTrip(const std::vector<Participant>& before,
                            const MatchRecord& entered);

  std::vector<Participant> players;
  std::mt19937 rng;
  std::set<IdPair> played;
  std::set<IdPair> announced;
};

std::vector<Participant> TournamentPropertyTest::playOut() {
  const size_t n = players.size();
  for (size_t turn = 0;; ++turn) {
    const std::vector<Participant> before = rebuild();
    EXPECT_EQ(before.size(), n);
    const std::vector<IdPair> playable = announcedPlayerMatches();
    if (leftPanel.cursorRow() == 0) return before;
    if (playable.empty() || turn > n * n) {
      ADD_FAILURE() << n << " players, turn " << turn << ": nothing playable";
      return before;
    }
    noteAnnounced(playable);
    const size_t count = n <= kOneResultPerTurnUpTo ? 1 : 1 + rng() % playable.size();
    MatchRecord entered;
    for (size_t i = 0; i < count; ++i) entered = enterResult(playable[i]);
    if (count == 1 && rng() % 8 == 0) checkCancelRoundTrip(before, entered);
  }
}

void TournamentPropertyTest::noteAnnounced(const std::vector<IdPair>& matches) {
  for (const IdPair& m : matches) {
    EXPECT_EQ(played.count(unordered(m.first, m.second)), 0u)
        << players.size() << " players: p" << m.first << " vs p" << m.second
        << " announced again";
    announced.insert(unordered(m.first, m.second));
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

void TournamentPropertyTest::checkCancelRoundTrip(
    const std::vector<Participant>& before, const MatchRecord& entered) {
  const std::vector<std::string> after = comparable(rebuild());
  cancelLastResult();
  EXPECT_EQ(comparable(rebuild()), comparable(before))
      << players.size() << " players, after cancelling " << recordText(entered);
  appendResult(entered);
  EXPECT_EQ(comparable(rebuild()), after)
      << players.size() << " players, after entering again " << recordText(entered);
}

// --- every size from two to a hundred players

TEST_F(TournamentPropertyTest, EveryTournamentEndsWithEachPlayerPlacedOnce) {
  for (int n = kMinPlayers; n <= kMaxPlayers; ++n) {
    resetEngineState();
    players.clear();
    played.clear();
    announced.clear();
    for (int i = 0; i < n; ++i) players.push_back({i, "p" + std::to_string(i)});
    rng.seed(static_cast<unsigned>(n));

    const std::vector<Participant> placement = playOut();

    std::vector<Participant> sorted = placement;
    std::sort(sorted.begin(), sorted.end(),
              [](const Participant& a, const Participant& b) { return a.id < b.id; });
    EXPECT_EQ(sorted, players) << n << " players";
    EXPECT_EQ(panelLines(leftPanel), std::vector<std::string>{}) << n << " players";
    EXPECT_EQ(announced, played) << n << " players";

    // Only which results are in the log matters, not the order they came in.
    std::vector<MatchRecord> results = MatchLog;
    std::shuffle(results.begin(), results.end(), rng);
    resetEngineState();
    for (const MatchRecord& r : results) appendResult(r);
    EXPECT_EQ(rebuild(), placement) << n << " players, results shuffled";
  }
}

}  // namespace
