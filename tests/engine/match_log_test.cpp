#include "engine/match_log.h"

#include <gtest/gtest.h>

#include <random>

#include "views/panel_rows.h"
#include "test_util.h"

namespace {

const Participant kAnn{0, "Ann"};
const Participant kBob{1, "Bob"};
const Participant kCid{2, "Cid"};
const Participant kDee{3, "Dee"};

MatchRecord result(const Participant& winner, const Participant& loser) {
  return MatchRecord{winner, loser};
}

// The same record as recordText shows it, for whole-record comparisons.
std::string shown(const Participant& winner, const Participant& loser) {
  return recordText(result(winner, loser));
}

// A full generated name as stored: its first kMaxGeneratedNameBytes bytes.
std::string bounded(const std::string& fullName) {
  return fullName.substr(0, kMaxGeneratedNameBytes);
}

// What the look-ups of a test report, and the announcement rows of the
// matches it reported, as the turn writes them.
BracketTrace trace;

MatchRecord resolve(Participant a, Participant b) {
  return resolveMatch(std::move(a), std::move(b), &trace);
}

void writeReported() {
  leftPanel.clear();
  writeAnnouncements(trace.toPlay);
}

std::vector<std::string> announced() {
  writeReported();
  return panelLines(leftPanel);
}

class MatchLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetEngineState();
    trace = startTrace(resultLog());
  }
};

// --- a match announced, then played: Ann, Bob, then the winner against Cid

TEST_F(MatchLogTest, UnplayedMatchesAreAnnouncedAndGetFreshPlaceholders) {
  MatchRecord first = resolve(kAnn, kBob);
  MatchRecord second = resolve(first.winner, kCid);

  EXPECT_EQ(recordText(first), shown({101, "winner(Ann,Bob)"}, {102, "loser(Ann,Bob)"}));
  EXPECT_EQ(recordText(second), shown({103, "winner(winner(Ann,Bob),Cid)"},
                           {104, "loser(winner(Ann,Bob),Cid)"}));
  EXPECT_EQ(announced(),
            (std::vector<std::string>{"***** Play match Ann vs Bob",
                                      "***** Play match winner(Ann,Bob) vs Cid"}));
}

TEST_F(MatchLogTest, LoggedResultLetsTheRealWinnerMoveOn) {
  resolve(kAnn, kBob);
  appendResult(result(kAnn, kBob));
  trace = startTrace(resultLog());

  MatchRecord first = resolve(kAnn, kBob);
  EXPECT_EQ(recordText(first), shown(kAnn, kBob));
  EXPECT_EQ(trace.lastPlaceholderId, kFirstPlaceholderId);  // nothing drawn for a logged match
  resolve(first.winner, kCid);
  EXPECT_EQ(announced(),
            (std::vector<std::string>{"***** Play match Ann vs Cid"}));
}

// A rebuild draws ids of its own, so it changes no counter of the program's.
TEST_F(MatchLogTest, EachRebuildDrawsItsOwnIdsAndLeavesTheProgramCounter) {
  EXPECT_EQ(resolve(kAnn, kBob).winner.id, 101);
  trace = startTrace(resultLog());
  EXPECT_EQ(recordText(resolve(kAnn, kBob)), shown({101, "winner(Ann,Bob)"},
                                             {102, "loser(Ann,Bob)"}));
  EXPECT_EQ(placeholderCounter, kFirstPlaceholderId);
  EXPECT_EQ(recordText(resolveMatch(kAnn, kBob)), shown({101, "winner(Ann,Bob)"},
                                                 {102, "loser(Ann,Bob)"}));
  EXPECT_EQ(placeholderCounter, 102);
}

// --- finding a result in the log

TEST_F(MatchLogTest, LoggedResultComesBackWhicheverOrderThePairIsAsked) {
  appendResult(result(kAnn, kBob));
  EXPECT_EQ(recordText(resolve(kBob, kAnn)), shown(kAnn, kBob));
  EXPECT_EQ(recordText(resolve(kAnn, kBob)), shown(kAnn, kBob));
  EXPECT_EQ(announced(), std::vector<std::string>{});
  EXPECT_EQ(trace.lastPlaceholderId, 100);
}

TEST_F(MatchLogTest, OlderOfTwoLiveEntriesDecides) {
  appendResult(result(kAnn, kBob));
  appendResult(result(kBob, kAnn));
  EXPECT_EQ(recordText(resolve(kAnn, kBob)), shown(kAnn, kBob));
  EXPECT_EQ(recordText(resolve(kBob, kAnn)), shown(kAnn, kBob));
}

TEST_F(MatchLogTest, IdsAloneDecideAndTheEntryComesBackAsStored) {
  appendResult(result(kCid, kDee));
  appendResult(result(kAnn, kBob));
  EXPECT_EQ(recordText(resolve({1, "Robert"}, {0, "Anne"})), shown(kAnn, kBob));
}

TEST_F(MatchLogTest, ResultsOfOtherPairsSettleNothing) {
  appendResult(result(kAnn, kCid));
  appendResult(result(kBob, kBob));
  appendResult(result(kCid, kBob));
  EXPECT_EQ(resolve(kAnn, kBob).winner.id, 101);
  EXPECT_EQ(announced(),
            (std::vector<std::string>{"***** Play match Ann vs Bob"}));
}

// --- cancelling

TEST_F(MatchLogTest, CancelledResultIsAnnouncedAgainUntilANewOneIsEntered) {
  appendResult(result(kAnn, kBob));
  cancelLastResult();
  EXPECT_EQ(recordText(resolve(kAnn, kBob)), shown({101, "winner(Ann,Bob)"},
                                             {102, "loser(Ann,Bob)"}));
  EXPECT_EQ(announced(),
            (std::vector<std::string>{"***** Play match Ann vs Bob"}));

  appendResult(result(kBob, kAnn));
  EXPECT_EQ(recordText(resolve(kAnn, kBob)), shown(kBob, kAnn));
}

TEST_F(MatchLogTest, CancelMarksTheNewestEntryInPlaceKeepingItsNames) {
  appendResult(result(kAnn, kBob));
  appendResult(result(kCid, kDee));
  cancelLastResult();
  ASSERT_EQ(matchLog().size(), 2u);
  EXPECT_EQ(recordText(lastResult()), shown({-1, "Cid"}, kDee));
  EXPECT_EQ(recordText(matchLog()[0]), shown(kAnn, kBob));
}

TEST_F(MatchLogTest, TwoCancelsInARowLeaveTheSecondNewestEffective) {
  appendResult(result(kAnn, kBob));
  appendResult(result(kCid, kDee));
  cancelLastResult();
  cancelLastResult();
  EXPECT_EQ(recordText(lastResult()), shown({-1, "Cid"}, kDee));
  EXPECT_EQ(recordText(resolve(kBob, kAnn)), shown(kAnn, kBob));
  EXPECT_EQ(resolve(kCid, kDee).winner.id, 101);
}

TEST_F(MatchLogTest, EmptyLogGivesABlankLastResultAndCancelDoesNothing) {
  EXPECT_FALSE(hasResults());
  EXPECT_EQ(recordText(lastResult()), shown({-1, ""}, {-1, ""}));
  cancelLastResult();
  EXPECT_FALSE(hasResults());
  appendResult(result(kAnn, kBob));
  EXPECT_TRUE(hasResults());
  EXPECT_EQ(recordText(lastResult()), shown(kAnn, kBob));
}

TEST_F(MatchLogTest, ResetForgetsEveryResultAndRestartsTheIds) {
  appendResult(result(kAnn, kBob));
  resolve(kCid, kDee);
  resetEngineState();
  trace = startTrace(resultLog());
  EXPECT_FALSE(hasResults());
  EXPECT_EQ(resolve(kAnn, kBob).winner.id, 101);
  appendResult(result(kBob, kAnn));
  EXPECT_EQ(recordText(resolve(kAnn, kBob)), shown(kBob, kAnn));
}

// --- correcting an older result

TEST_F(MatchLogTest, CorrectionCancelsEveryLiveEntryOfThePairAndDecidesIt) {
  appendResult(result(kAnn, kBob));
  appendResult(result(kCid, kDee));
  appendResult(result(kAnn, kBob));  // entered twice: the copy would decide next
  appendResult(result(kBob, kAnn));
  ASSERT_TRUE(correctResult(0, result(kBob, kAnn)));
  ASSERT_EQ(matchLog().size(), 5u);
  EXPECT_EQ(recordText(matchLog()[0]), shown({-1, "Ann"}, kBob));
  EXPECT_EQ(recordText(matchLog()[1]), shown(kCid, kDee));
  EXPECT_EQ(recordText(matchLog()[2]), shown({-1, "Ann"}, kBob));
  EXPECT_EQ(recordText(matchLog()[3]), shown({-1, "Bob"}, kAnn));
  EXPECT_EQ(recordText(lastResult()), shown(kBob, kAnn));
  size_t position = 0;
  ASSERT_TRUE(findResult(kAnn.id, kBob.id, &position));
  EXPECT_EQ(position, 4u);
  EXPECT_EQ(recordText(resolve(kCid, kDee)), shown(kCid, kDee));

  // A cancelled entry, an entry of another pair, no entry at all: refused.
  const std::vector<MatchRecord> before = matchLog();
  EXPECT_FALSE(correctResult(0, result(kBob, kAnn)));
  EXPECT_FALSE(correctResult(1, result(kBob, kAnn)));
  EXPECT_FALSE(correctResult(5, result(kBob, kAnn)));
  EXPECT_EQ(matchLog().size(), before.size());
  for (size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(recordText(matchLog()[i]), recordText(before[i])) << "entry " << i;
}

// --- announcement rows

TEST_F(MatchLogTest, AnnouncementDependsOnParenthesesAndNameLength) {
  const std::string name50(50, 'n');
  const std::string name51(51, 'n');
  struct Case {
    std::string a, b, row;
  };
  const Case cases[] = {
      {"Ann", "Bob", "***** Play match Ann vs Bob"},
      {"Ann", "winner(Cid,Dee)", "***** Play match Ann vs winner(Cid,Dee)"},
      {"loser(Cid,Dee)", "Bob", "***** Play match loser(Cid,Dee) vs Bob"},
      {"Zed (Junior)", "winner(Cid,Dee)", ""},
      {"winner(Ann,Bob)", "winner(Cid,Dee)", ""},
      {"", "winner(Cid,Dee)", "***** Play match  vs winner(Cid,Dee)"},
      // The panel is 60 columns wide and cuts the row there.
      {name50, "Bob", ("***** Play match " + name50).substr(0, 60)},
      {name51, "Bob", "***** Play match X vs Bob"},
      {"Bob", name51, "***** Play match Bob vs X"},
  };
  for (const Case& c : cases) {
    resetEngineState();
    trace = startTrace(resultLog());
    MatchRecord pending = resolve({0, c.a}, {1, c.b});
    writeReported();
    EXPECT_EQ(panelRow(leftPanel, 0), c.row) << "names: " << c.a << " / " << c.b;
    EXPECT_EQ(leftPanel.cursorRow(), c.row.empty() ? 0 : 1) << "names: " << c.a;
    EXPECT_EQ(recordText(pending),
              shown({101, bounded("winner(" + c.a + "," + c.b + ")")},
                    {102, bounded("loser(" + c.a + "," + c.b + ")")}))
        << "names: " << c.a << " / " << c.b;
  }
}

TEST_F(MatchLogTest, FitNameKeepsNamesUpToTheWidthAndReplacesLongerOnesWhole) {
  struct Case {
    size_t length;
    unsigned width;
    bool kept;
  };
  const Case cases[] = {{0, 30, true},  {29, 30, true},  {30, 30, true},
                        {31, 30, false}, {49, 50, true},  {50, 50, true},
                        {51, 50, false}, {1, 0, false},   {0, 0, true}};
  for (const Case& c : cases) {
    const std::string name(c.length, 'a');
    EXPECT_EQ(fitName(name, c.width), c.kept ? name : "X")
        << "length " << c.length << ", width " << c.width;
  }
}

// --- generated names stay short without changing what is shown

TEST_F(MatchLogTest, GeneratedNamesAreCutOnlyPastTheBoundAndStayUnseen) {
  const std::string tag = "winner";
  for (size_t a = 0; a <= 70; ++a) {
    const std::string first(a, 'a');
    const std::string second(5, 'b');
    const std::string full = tag + "(" + first + "," + second + ")";
    const std::string name = generatedName("winner", {&first, &second});
    EXPECT_EQ(name, bounded(full)) << "first name length " << a;
    // Whatever the cut, the name is shown as the full one would be.
    EXPECT_EQ(fitName(name, 50), fitName(full, 50)) << "first name length " << a;
    EXPECT_EQ(fitName(name, 30), fitName(full, 30)) << "first name length " << a;
  }
  const std::string longest(255, 'z');
  EXPECT_EQ(generatedName("t1", {&longest, &longest, &longest}),
            bounded("t1(" + longest));
}

TEST_F(MatchLogTest, PlaceholdersBuiltOnLongNamesStayWithinTheBound) {
  MatchRecord first = resolve({0, std::string(255, 'a')}, {1, std::string(255, 'b')});
  MatchRecord second = resolve(first.winner, first.loser);
  EXPECT_EQ(second.winner.name, bounded("winner(winner(" + std::string(255, 'a')));
  EXPECT_EQ(second.loser.name.size(), kMaxGeneratedNameBytes);
}

// --- the indexed look-up agrees with walking the whole log

// The oldest live entry between a and b, in either order, by walking the
// log from its start.
const MatchRecord* linearLookUp(const Participant& a, const Participant& b) {
  for (const MatchRecord& r : matchLog()) {
    if (r.winner.id == kNoParticipant) continue;
    if ((r.winner.id == a.id && r.loser.id == b.id) ||
        (r.loser.id == a.id && r.winner.id == b.id))
      return &r;
  }
  return nullptr;
}

// Cancels and corrections are mixed in: both rebuild parts of the index.
TEST_F(MatchLogTest, IndexedLookUpMatchesALinearWalkOverRandomLogs) {
  for (unsigned seed = 0; seed < 100; ++seed) {
    resetEngineState();
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int32_t> anyId(-1, 5);
    for (int step = 0; step < 60; ++step) {
      if (rng() % 6 == 0) {
        cancelLastResult();
      } else if (rng() % 5 == 0 && hasResults()) {
        cancelEntry(rng() % matchLog().size());
      } else if (rng() % 4 == 0 && hasResults()) {
        const size_t position = rng() % matchLog().size();
        const MatchRecord old = matchLog()[position];
        const MatchRecord reversed = result(old.loser, old.winner);
        const bool correctable =
            old.winner.id != kNoParticipant && old.loser.id != kNoParticipant;
        ASSERT_EQ(correctResult(position, reversed), correctable)
            << "seed " << seed << ", step " << step;
        if (correctable) {
          ASSERT_EQ(recordText(lastResult()), recordText(reversed));
        }
      } else {
        const int32_t w = anyId(rng), l = anyId(rng);
        appendResult(result({w, "w" + std::to_string(step)},
                            {l, "l" + std::to_string(step)}));
      }
      for (int32_t a = -1; a <= 5; ++a) {
        for (int32_t b = -1; b <= 5; ++b) {
          const MatchRecord* expected = linearLookUp({a, ""}, {b, ""});
          const MatchRecord got = resolveMatch({a, "(a"}, {b, "(b"});
          if (expected) {
            ASSERT_EQ(recordText(got), recordText(*expected)) << "seed " << seed << ", step " << step
                                      << ", pair " << a << "," << b;
          } else {
            ASSERT_GT(got.winner.id, kFirstPlaceholderId)
                << "seed " << seed << ", step " << step << ", pair " << a << "," << b;
          }
        }
      }
    }
  }
}

}  // namespace
