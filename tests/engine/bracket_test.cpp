#include "engine/bracket.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "views/panel_rows.h"
#include "engine/match_log.h"
#include "engine/tournament_state.h"
#include "test_util.h"

namespace {

using Rows = std::vector<std::string>;
using Names = std::vector<std::string>;
using Ids = std::vector<int32_t>;

// Players with ids 0, 1, ... in the order given.
std::vector<Participant> players(const Names& names) {
  std::vector<Participant> list;
  for (const std::string& name : names)
    list.push_back({static_cast<int32_t>(list.size()), name});
  return list;
}

class BracketTest : public ::testing::Test {
 protected:
  void SetUp() override { resetEngineState(); }

  // Logs "winner beat loser", both given by their index in group.
  void beat(size_t winner, size_t loser) {
    appendResult(MatchRecord{group[winner], group[loser]});
  }

  // One turn's rebuild of the group, with its announcement rows written into
  // a blank leftPanel as the turn writes them.
  std::vector<Participant> rebuild() {
    const TournamentState state = computeTournament(group, resultLog());
    leftPanel.clear();
    writeAnnouncements(state.toPlay);
    return state.placement;
  }

  std::vector<Participant> group;
};

// --- four and five players, round by round

TEST_F(BracketTest, FourPlayersStartWithTwoPairsAndNestedPlaceholders) {
  group = players({"A", "B", "C", "D"});
  std::vector<Participant> placement = rebuild();

  EXPECT_EQ(panelLines(leftPanel),
            (Rows{"***** Play match A vs B", "***** Play match C vs D"}));
  EXPECT_EQ(namesOf(placement),
            (Names{"winner(winner(A,B),winner(C,D))", "loser(winner(A,B),winner(C,D))",
                   "winner(loser(A,B),loser(C,D))", "loser(loser(A,B),loser(C,D))"}));
  EXPECT_EQ(idsOf(placement), (Ids{105, 106, 107, 108}));
  EXPECT_EQ(placeholderCounter, kFirstPlaceholderId);  // the rebuild has its own ids
}

TEST_F(BracketTest, FourPlayersAdvanceAsResultsAreEntered) {
  group = players({"A", "B", "C", "D"});
  rebuild();
  beat(0, 1);
  beat(2, 3);
  std::vector<Participant> placement = rebuild();
  EXPECT_EQ(panelLines(leftPanel),
            (Rows{"***** Play match A vs C", "***** Play match B vs D"}));
  EXPECT_EQ(namesOf(placement), (Names{"winner(A,C)", "loser(A,C)",
                                       "winner(B,D)", "loser(B,D)"}));
  EXPECT_EQ(idsOf(placement), (Ids{101, 102, 103, 104}));

  beat(0, 2);
  beat(1, 3);
  placement = rebuild();
  EXPECT_EQ(panelLines(leftPanel), Rows{});
  EXPECT_EQ(placement,
            (std::vector<Participant>{group[0], group[2], group[1], group[3]}));
  EXPECT_EQ(placeholderCounter, kFirstPlaceholderId);
}

TEST_F(BracketTest, FivePlayersWithADecidedThreeWayGroupSendTheTwoWinnersUp) {
  group = players({"A", "B", "C", "D", "E"});
  beat(0, 1);
  beat(3, 4);
  beat(2, 4);
  beat(2, 3);
  std::vector<Participant> placement = rebuild();

  EXPECT_EQ(panelLines(leftPanel),
            (Rows{"***** Play match A vs D", "***** Play match A vs C",
                  "***** Play match B vs E"}));
  EXPECT_EQ(namesOf(placement),
            (Names{"winner(t1(A,C,D),t2(A,C,D))", "loser(t1(A,C,D),t2(A,C,D))",
                   "t3(A,C,D)", "winner(B,E)", "loser(B,E)"}));
  EXPECT_EQ(idsOf(placement), (Ids{108, 109, 107, 110, 111}));
}

// --- two players

TEST_F(BracketTest, TwoPlayersUndecidedArePlacedAsWinnerThenLoserPlaceholder) {
  group = players({"Ann", "Bob"});
  std::vector<Participant> placement = rebuild();
  EXPECT_EQ(placement, (std::vector<Participant>{{101, "winner(Ann,Bob)"},
                                                 {102, "loser(Ann,Bob)"}}));
  EXPECT_EQ(panelLines(leftPanel), (Rows{"***** Play match Ann vs Bob"}));
}

TEST_F(BracketTest, TwoPlayersDecidedArePlacedWinnerFirstWithoutAnnouncement) {
  group = players({"Ann", "Bob"});
  beat(1, 0);
  EXPECT_EQ(rebuild(), (std::vector<Participant>{group[1], group[0]}));
  EXPECT_EQ(panelLines(leftPanel), Rows{});
}

// --- three-way groups

TEST_F(BracketTest, ThreeWayGroupWithoutCycleIsPlacedByWins) {
  group = players({"A", "B", "C"});
  beat(2, 0);
  beat(2, 1);
  beat(0, 1);
  EXPECT_EQ(namesOf(rebuild()), (Names{"C", "A", "B"}));
  EXPECT_EQ(panelLines(leftPanel), Rows{});
  EXPECT_EQ(placeholderCounter, 100);
}

// A beat B, B beat C, C beat A: the drawn member is third and the other two
// are placed by their own result. Over consecutive id triples every draw
// occurs, so each mapping is checked and different cycles do not all drop
// the same member.
TEST_F(BracketTest, CycleDropsTheDrawnMember) {
  const std::map<int, Names> placementForDraw = {
      {0, {"B", "C", "A"}}, {1, {"C", "A", "B"}}, {2, {"A", "B", "C"}}};
  std::set<int> drawsSeen;
  for (int32_t first = 0; first + 2 < kMaxPlayers; ++first) {
    resetEngineState();
    group = {{first, "A"}, {first + 1, "B"}, {first + 2, "C"}};
    beat(0, 1);
    beat(1, 2);
    beat(2, 0);
    const int draw = cycleDraw(group[0], group[1], group[2]);
    ASSERT_TRUE(placementForDraw.count(draw)) << "draw " << draw;
    drawsSeen.insert(draw);
    EXPECT_EQ(namesOf(rebuild()), placementForDraw.at(draw))
        << "ids from " << first << ", draw " << draw;
  }
  EXPECT_EQ(drawsSeen, (std::set<int>{0, 1, 2}));
}

TEST_F(BracketTest, CycleIsSettledTheSameWayInEveryRebuild) {
  group = players({"A", "B", "C", "D", "E", "F", "G"});
  beat(0, 1);
  beat(2, 3);
  beat(4, 5);
  beat(5, 6);
  beat(6, 4);
  const Names first = namesOf(rebuild());
  const Rows firstRows = panelLines(leftPanel);
  for (int turn = 0; turn < 20; ++turn) {
    EXPECT_EQ(namesOf(rebuild()), first) << "turn " << turn;
    EXPECT_EQ(panelLines(leftPanel), firstRows) << "turn " << turn;
  }
}

TEST_F(BracketTest, ThreeWayGroupWithTwoResultsKnownStillStandsAsPlaceholders) {
  group = players({"A", "B", "C"});
  beat(0, 1);
  beat(0, 2);
  std::vector<Participant> placement = rebuild();
  EXPECT_EQ(panelLines(leftPanel), (Rows{"***** Play match B vs C"}));
  EXPECT_EQ(placement, (std::vector<Participant>{{106, "winner(t1(A,B,C),t2(A,B,C))"},
                                                 {107, "loser(t1(A,B,C),t2(A,B,C))"},
                                                 {105, "t3(A,B,C)"}}));

  beat(1, 2);
  EXPECT_EQ(namesOf(rebuild()), (Names{"A", "B", "C"}));
}

TEST_F(BracketTest, ThreeWayMatchesAreAnnouncedAfterTheGroupsPairs) {
  group = players({"A", "B", "C", "D", "E"});
  rebuild();
  EXPECT_EQ(panelLines(leftPanel),
            (Rows{"***** Play match A vs B", "***** Play match D vs E",
                  "***** Play match C vs E", "***** Play match C vs D"}));
}

// Ids of 100 and up are taken for placeholders, even with every result known;
// the member Z is checked both as a winner and as a loser of its matches.
TEST_F(BracketTest, MemberWithAPlaceholderIdMakesTheGroupUndecided) {
  struct Case {
    int32_t zId;
    bool zWins;
    Names placement;
  };
  const Names undecided = {"winner(t1(A,B,Z),t2(A,B,Z))",
                           "loser(t1(A,B,Z),t2(A,B,Z))", "t3(A,B,Z)"};
  const Case cases[] = {{kFirstPlaceholderId, false, undecided},
                        {kFirstPlaceholderId, true, undecided},
                        {kFirstPlaceholderId - 1, false, {"A", "B", "Z"}},
                        {kFirstPlaceholderId - 1, true, {"Z", "A", "B"}}};
  for (const Case& c : cases) {
    resetEngineState();
    group = {{0, "A"}, {1, "B"}, {c.zId, "Z"}};
    beat(0, 1);
    if (c.zWins) {
      beat(2, 0);
      beat(2, 1);
    } else {
      beat(0, 2);
      beat(1, 2);
    }
    EXPECT_EQ(namesOf(rebuild()), c.placement)
        << "Z id " << c.zId << (c.zWins ? ", winning" : ", losing");
    EXPECT_EQ(panelLines(leftPanel), Rows{}) << "Z id " << c.zId;
  }
}

// --- how groups split

// Every top-level match is logged with the earlier member winning, so the
// next level's announcements show which members went to which half.
TEST_F(BracketTest, OddAndEvenGroupsSplitIntoTheExpectedHalves) {
  struct Case {
    size_t size;
    Rows rows;
  };
  const Case cases[] = {
      {5, {"***** Play match p0 vs p3", "***** Play match p0 vs p2",
           "***** Play match p1 vs p4"}},
      {6, {"***** Play match p2 vs p4", "***** Play match p0 vs p4",
           "***** Play match p0 vs p2", "***** Play match p3 vs p5",
           "***** Play match p1 vs p5", "***** Play match p1 vs p3"}},
      {7, {"***** Play match p0 vs p2", "***** Play match winner(p0,p2) vs p4",
           "***** Play match loser(p0,p2) vs p5", "***** Play match p3 vs p6",
           "***** Play match p1 vs p6", "***** Play match p1 vs p3"}},
  };
  for (const Case& c : cases) {
    resetEngineState();
    group.clear();
    for (size_t i = 0; i < c.size; ++i)
      group.push_back({static_cast<int32_t>(i), "p" + std::to_string(i)});
    const size_t pairs = c.size % 2 == 0 ? c.size / 2 : (c.size - 3) / 2;
    for (size_t i = 0; i < pairs; ++i) beat(2 * i, 2 * i + 1);
    if (c.size % 2 == 1) {
      beat(c.size - 3, c.size - 2);
      beat(c.size - 3, c.size - 1);
      beat(c.size - 2, c.size - 1);
    }
    EXPECT_EQ(rebuild().size(), c.size) << "size " << c.size;
    EXPECT_EQ(panelLines(leftPanel), c.rows) << "size " << c.size;
  }
}

}  // namespace
