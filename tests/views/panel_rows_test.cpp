#include "views/panel_rows.h"
#include "views/place_words.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace {

using Rows = std::vector<std::string>;

// Entries named p0, p1, ... (ids as for players).
std::vector<Participant> numberedEntries(int count) {
  std::vector<Participant> list;
  for (int i = 0; i < count; ++i) list.push_back({i, "p" + std::to_string(i)});
  return list;
}

class StandingsTest : public ::testing::Test {
 protected:
  void SetUp() override { resetEngineState(); }
};

// --- rows as the turn writes them

TEST_F(StandingsTest, EachPlaceGetsANumberedRowFirstPlaceFirst) {
  writeStandings("% -> ", {{0, "Ann"}, {1, "Bob"}, {2, "Cid"}});
  EXPECT_EQ(panelLines(rightPanel), (Rows{"1er -> Ann", "2e  -> Bob", "3e  -> Cid"}));
  EXPECT_EQ(rightPanel.cursorRow(), 3);
}

TEST_F(StandingsTest, PlacesFromTenOnHaveALongerPrefix) {
  writeStandings("% -> ", numberedEntries(12));
  EXPECT_EQ(panelRow(rightPanel, 8), "9e  -> p8");
  EXPECT_EQ(panelRow(rightPanel, 9), "10e  -> p9");
  EXPECT_EQ(panelRow(rightPanel, 11), "12e  -> p11");
}

TEST_F(StandingsTest, SameNameTwiceGetsTwoPlaces) {
  writeStandings("% -> ", {{0, "Ann"}, {1, "Ann"}});
  EXPECT_EQ(panelLines(rightPanel), (Rows{"1er -> Ann", "2e  -> Ann"}));
}

TEST_F(StandingsTest, OrdinalsAreNumberThenErOrESpace) {
  const std::pair<int, std::string> cases[] = {
      {1, "1er"}, {2, "2e "}, {9, "9e "}, {10, "10e "}, {11, "11e "},
      {21, "21e "}, {100, "100e "}};
  for (const auto& c : cases) EXPECT_EQ(ordinal(c.first), c.second) << "place " << c.first;
}

// --- names

TEST_F(StandingsTest, NamesUpToThirtyBytesAreShownWholeLongerOnesAsX) {
  const std::string name30(30, 'n');
  writeStandings("% -> ", {{0, name30},
                           {1, name30 + "n"},
                           {101, "loser(Ann,Bob)"},
                           {102, "winner(winner(Ann,Bob),winner(Cid,Dee))"}});
  EXPECT_EQ(panelLines(rightPanel), (Rows{"1er -> " + name30, "2e  -> X",
                                          "3e  -> loser(Ann,Bob)", "4e  -> X"}));
}

// --- templates

TEST_F(StandingsTest, OnlyTheFirstPercentSignIsReplaced) {
  writeStandings("%:% ", {{0, "Ann"}, {1, "Bob"}});
  EXPECT_EQ(panelLines(rightPanel), (Rows{"1er:% Ann", "2e :% Bob"}));
}

TEST_F(StandingsTest, TemplateWithoutPercentSignIsUsedAsItIs) {
  writeStandings("-> ", {{0, "Ann"}, {1, "Bob"}});
  EXPECT_EQ(panelLines(rightPanel), (Rows{"-> Ann", "-> Bob"}));
}

// --- how many rows

TEST_F(StandingsTest, EmptyPlacementWritesNothing) {
  writeStandings("% -> ", {});
  EXPECT_EQ(panelLines(rightPanel), Rows{});
  EXPECT_EQ(rightPanel.cursorRow(), 0);
}

TEST_F(StandingsTest, RowsBeyondTheWindowAreKeptUpToThePanelsRows) {
  writeStandings("% -> ", numberedEntries(100));
  EXPECT_EQ(panelRow(rightPanel, 49), "50e  -> p49");
  EXPECT_EQ(panelRow(rightPanel, 99), "100e  -> p99");
  EXPECT_EQ(panelLines(rightPanel).size(), 100u);
  rightPanel.clear();
  writeStandings("% -> ", numberedEntries(kPanelRows + 10));
  EXPECT_EQ(panelLines(rightPanel).size(), static_cast<size_t>(kPanelRows));
  EXPECT_EQ(rightPanel.cursorRow(), kPanelRows + 10);
}

}  // namespace
