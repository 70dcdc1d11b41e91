#include "views/scroll.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "views/panel_rows.h"
#include "views/place_words.h"
#include "test_util.h"

namespace {

constexpr ViewKey kUp = ViewKey::kLineUp;
constexpr ViewKey kDown = ViewKey::kLineDown;
constexpr ViewKey kPgUp = ViewKey::kPageUp;
constexpr ViewKey kPgDn = ViewKey::kPageDown;
constexpr ViewKey kHome = ViewKey::kTop;
constexpr ViewKey kEnd = ViewKey::kBottom;
constexpr ViewKey kF2 = ViewKey::kPlaces;

const char* keyName(ViewKey key) {
  switch (key) {
    case ViewKey::kNone: return "none";
    case ViewKey::kLineUp: return "Up";
    case ViewKey::kLineDown: return "Down";
    case ViewKey::kPageUp: return "PgUp";
    case ViewKey::kPageDown: return "PgDn";
    case ViewKey::kTop: return "Home";
    case ViewKey::kBottom: return "End";
    case ViewKey::kPlaces: return "F2";
  }
  return "?";
}

// --- one key, from every boundary

struct KeyCase {
  int top;
  bool places;
  ViewRows rows;  // left, standings, places
  ViewKey key;
  int wantTop;
  bool wantPlaces;
};

TEST(ApplyViewKeyTest, EachKeyMovesWithinTheContentAndStopsAtItsEnds) {
  const ViewRows hundred{50, 100, 100};  // 100 players, first turn
  const KeyCase cases[] = {
      // At the top: up-going keys do nothing.
      {0, false, hundred, kUp, 0, false},
      {0, false, hundred, kPgUp, 0, false},
      {0, false, hundred, kHome, 0, false},
      {0, false, hundred, kDown, 1, false},
      {0, false, hundred, kPgDn, 25, false},
      // End shows the last row whole: 49 whole rows, the 50th lies under
      // the message strip.
      {0, false, hundred, kEnd, 51, false},
      // At the bottom: down-going keys do nothing.
      {51, false, hundred, kDown, 51, false},
      {51, false, hundred, kPgDn, 51, false},
      {51, false, hundred, kEnd, 51, false},
      {51, false, hundred, kUp, 50, false},
      {51, false, hundred, kPgUp, 26, false},
      {51, false, hundred, kHome, 0, false},
      // Half a page from near an end stops at the end.
      {10, false, hundred, kPgUp, 0, false},
      {40, false, hundred, kPgDn, 51, false},
      {50, false, hundred, kDown, 51, false},
      // Content that fits whole, exactly or not at all: nothing moves.
      {0, false, {49, 49, 49}, kPgDn, 0, false},
      {0, false, {49, 49, 49}, kEnd, 0, false},
      {0, false, {49, 49, 49}, kDown, 0, false},
      {0, false, {0, 0, 0}, kEnd, 0, false},
      // Fifty rows: the last one is half hidden, so one row of travel.
      {0, false, {50, 50, 50}, kEnd, 1, false},
      {0, false, {50, 2, 2}, kPgDn, 1, false},
      {0, false, {2, 50, 2}, kEnd, 1, false},
      // The longer side decides.
      {0, false, {120, 100, 100}, kEnd, 71, false},
      {0, false, {10, 100, 100}, kEnd, 51, false},
      // F2 switches sides, keeps the top, and clamps it to the new side.
      {30, false, hundred, kF2, 30, true},
      {30, true, hundred, kF2, 30, false},
      {50, false, {40, 100, 30}, kF2, 0, true},
      {50, false, {100, 100, 30}, kF2, 50, true},
      {0, true, {10, 100, 60}, kEnd, 11, true},
      // Not a view key.
      {30, false, hundred, ViewKey::kNone, 30, false},
  };
  for (const KeyCase& c : cases) {
    PanelView got = applyViewKey(PanelView{c.top, c.places}, c.key, c.rows);
    EXPECT_EQ(got.top, c.wantTop) << keyName(c.key) << " from top " << c.top << " places "
                                  << c.places << ", rows " << c.rows.left << "/"
                                  << c.rows.standings << "/" << c.rows.places;
    EXPECT_EQ(got.places, c.wantPlaces) << keyName(c.key) << " from top " << c.top;
  }
}

TEST(ApplyViewKeyTest, RowsStatusNamesTheShownRowsOnlyWhileSomeAreHidden) {
  const std::string keys = " (PgUp PgDn Home End)";
  EXPECT_EQ(rowsStatus(0, 100), "Lignes 1 a 49 sur 100" + keys);
  EXPECT_EQ(rowsStatus(25, 101), "Lignes 26 a 74 sur 101" + keys);
  EXPECT_EQ(rowsStatus(2, 51), "Lignes 3 a 51 sur 51" + keys);
  EXPECT_EQ(rowsStatus(0, 50), "Lignes 1 a 49 sur 50" + keys);
  EXPECT_EQ(rowsStatus(0, 49), "");
  EXPECT_EQ(rowsStatus(0, 0), "");
}

// --- the view across turns, as the dialogue keeps it

class PanelScrollTest : public ::testing::Test {
 protected:
  void SetUp() override { resetEngineState(); }
  void TearDown() override { resetEngineState(); }

  // A turn of the dialogue: the panels written, then the scroll told.
  void turn(const std::vector<Participant>& players) {
    scroll.showTurn(writeTournament(computeTournament(players, resultLog())));
  }

  static std::vector<Participant> numbered(int count) {
    std::vector<Participant> players;
    for (int k = 0; k < count; ++k) players.push_back({k, std::to_string(k + 1)});
    return players;
  }

  PanelScroll scroll;
};

TEST_F(PanelScrollTest, KeysDoNothingBeforeTheFirstTurn) {
  for (ViewKey key : {kDown, kPgDn, kEnd, kF2}) EXPECT_FALSE(scroll.press(key)) << keyName(key);
  EXPECT_EQ(scroll.view, PanelView{});
  EXPECT_EQ(scroll.rowsPart() + scroll.keysPart(), "");
}

TEST_F(PanelScrollTest, KeysAtABoundaryChangeNothingAndSayNothingChanged) {
  turn(numbered(100));
  EXPECT_FALSE(scroll.press(kUp));
  EXPECT_FALSE(scroll.press(kHome));
  EXPECT_TRUE(scroll.press(kEnd));
  EXPECT_EQ(scroll.view.top, 51);
  EXPECT_FALSE(scroll.press(kPgDn));
  EXPECT_EQ(scroll.rowsPart(), "Lignes 52 a 100 sur 100 (PgUp PgDn Home End)");
}

TEST_F(PanelScrollTest, TopIsClampedWhenATurnHasFewerRows) {
  turn(numbered(100));
  // A left panel longer than the standings, as a turn with many pending
  // matches would leave it.
  scroll.showTurn(ViewRows{120, 100, 100});
  ASSERT_TRUE(scroll.press(kEnd));
  EXPECT_EQ(scroll.view.top, 71);
  turn(numbered(100));
  EXPECT_EQ(scroll.view.top, 51);
  EXPECT_EQ(scroll.rowsPart(), "Lignes 52 a 100 sur 100 (PgUp PgDn Home End)");
  turn(numbered(30));
  EXPECT_EQ(scroll.view.top, 0);
  EXPECT_EQ(scroll.rowsPart(), "");
}

TEST_F(PanelScrollTest, PlacesViewIsKeptAcrossTurnsAndNamedInTheStatus) {
  turn(numbered(4));
  EXPECT_EQ(scroll.keysPart(), "F2 : places possibles");
  ASSERT_TRUE(scroll.press(kF2));
  EXPECT_EQ(scroll.keysPart(), "F2 : classement");
  appendResult(MatchRecord{{0, "1"}, {1, "2"}});
  turn(numbered(4));
  EXPECT_TRUE(scroll.view.places);
  EXPECT_EQ(scroll.keysPart(), "F2 : classement");
  EXPECT_EQ(panelLines(placesPanel),
            (std::vector<std::string>{"1er a 2e -> 1", "1er a 4e -> 3", "1er a 4e -> 4",
                                      "3e a 4e -> 2"}));
  ASSERT_TRUE(scroll.press(kF2));
  EXPECT_FALSE(scroll.view.places);
}

// The rows a turn reports are the rows it wrote: the view scrolls over
// exactly the panels' content.
TEST_F(PanelScrollTest, RowsOfATurnAreTheRowsWritten) {
  auto lastRow = [](const TextPanel& panel) {
    int last = 0;
    for (int r = 0; r < panel.height(); ++r)
      if (!panelRow(panel, r).empty()) last = r + 1;
    return last;
  };
  for (int n : {2, 5, 17, 64, 100}) {
    resetEngineState();
    const ViewRows rows = writeTournament(computeTournament(numbered(n), resultLog()));
    EXPECT_EQ(rows.left, lastRow(leftPanel)) << n << " players";
    EXPECT_EQ(rows.standings, lastRow(rightPanel)) << n << " players";
    EXPECT_EQ(rows.places, lastRow(placesPanel)) << n << " players";
  }
}

// --- the places view's rows

TEST(PlacesTextTest, RunsOfConsecutivePlacesAreJoined) {
  const struct {
    std::vector<int> places;
    std::string text;
  } cases[] = {
      {{}, "-"},
      {{1}, "1er"},
      {{3}, "3e"},
      {{1, 2}, "1er a 2e"},
      {{5, 6, 7, 8}, "5e a 8e"},
      {{1, 3, 4}, "1er, 3e a 4e"},
      {{2, 4, 6}, "2e, 4e, 6e"},
      {{1, 2, 5, 9, 10, 11}, "1er a 2e, 5e, 9e a 11e"},
  };
  for (const auto& c : cases) {
    std::string list;
    for (int p : c.places) list += std::to_string(p) + " ";
    EXPECT_EQ(placesText(c.places), c.text) << "places: " << list;
  }
}

TEST(WritePlacesTest, BestPlaceFirstThenEntryOrderWithEveryNameReadable) {
  resetEngineState();
  TournamentState state;
  state.players = {{0, "Ann"},
                   {1, ""},
                   {2, std::string(255, 'n')},
                   {3, "Bob (club)"},
                   {4, "Cy"},
                   {5, "Di"}};
  state.reachable = {{3, 4}, {1, 2}, {5, 6}, {1, 2}, {}, {3, 4}};
  writePlaces(state);
  EXPECT_EQ(panelLines(placesPanel),
            (std::vector<std::string>{"1er a 2e ->", "1er a 2e -> Bob (club)",
                                      "3e a 4e -> Ann", "3e a 4e -> Di", "5e a 6e -> X",
                                      "- -> Cy"}));
  resetEngineState();
}

}  // namespace
