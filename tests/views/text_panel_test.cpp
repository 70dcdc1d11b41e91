#include "views/text_panel.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace {

class TextPanelTest : public ::testing::Test {
 protected:
  TextPanel panel{0, 60, 50};
  TextPanel narrow{42, 40, 50};
};

// --- cutting at the edges

TEST_F(TextPanelTest, RowIsCutAtTheWidthAndNeverWraps) {
  panel << std::string(61, 'a') << std::endl;
  EXPECT_EQ(panelRow(panel, 0), std::string(60, 'a'));
  EXPECT_EQ(panelRow(panel, 1), "");
  EXPECT_EQ(panel.cursorRow(), 1);
  EXPECT_EQ(panel.cursorColumn(), 0);
}

TEST_F(TextPanelTest, NarrowPanelCutsAtItsOwnWidth) {
  narrow << std::string(45, 'b');
  EXPECT_EQ(panelRow(narrow, 0), std::string(40, 'b'));
}

TEST_F(TextPanelTest, RowsBelowTheLastStoreNothingAndTheStreamStaysGood) {
  for (int i = 0; i < 50; ++i) panel << std::endl;
  panel << "lost" << std::endl << "lost too";
  EXPECT_TRUE(panel.good());
  for (int r = 0; r < 50; ++r) EXPECT_EQ(panelRow(panel, r), "") << "row " << r;
  EXPECT_EQ(panel.cursorRow(), 51);
}

// --- how writes and ends of line move the cursor

TEST_F(TextPanelTest, ConsecutiveStringsContinueOnTheSameRow) {
  panel << "abc" << "def";
  EXPECT_EQ(panelRow(panel, 0), "abcdef");
}

TEST_F(TextPanelTest, TwoEndsOfLineLeaveOneBlankRow) {
  panel << "one" << std::endl << std::endl << "three";
  EXPECT_EQ(panelLines(panel), (std::vector<std::string>{"one", "three"}));
  EXPECT_EQ(panelRow(panel, 2), "three");
}

TEST_F(TextPanelTest, BareFlushEndsTheRowLikeEndl) {
  panel << "x" << std::flush << "y";
  EXPECT_EQ(panelRow(panel, 0), "x");
  EXPECT_EQ(panelRow(panel, 1), "y");
}

TEST_F(TextPanelTest, SingleCharactersAreDropped) {
  panel.put('z');
  panel << "";
  EXPECT_EQ(panelRow(panel, 0), "");
  EXPECT_EQ(panel.cursorColumn(), 0);
  EXPECT_TRUE(panel.good());
}

TEST_F(TextPanelTest, NewlineInsideAStringIsStoredInACell) {
  panel << std::string("a\nb");
  std::string row = panel.row(0);
  EXPECT_EQ(row.substr(0, 3), "a\nb");
  EXPECT_EQ(panel.cursorRow(), 0);
}

TEST_F(TextPanelTest, ClearBlanksEveryCellAndRewindsTheCursor) {
  for (int r = 0; r < 60; ++r) panel << std::string(70, '#') << std::endl;
  panel.clear();
  std::vector<char> grid = panel.getGrid();
  EXPECT_EQ(grid, std::vector<char>(60 * 50, ' '));
  panel << "top";
  EXPECT_EQ(panelRow(panel, 0), "top");
}

TEST(GlobalPanelsTest, GeometryOfThePanels) {
  EXPECT_EQ(leftPanel.firstColumn, 0);
  EXPECT_EQ(leftPanel.width, 60);
  EXPECT_EQ(rightPanel.firstColumn, 42);
  EXPECT_EQ(rightPanel.width, 40);
  EXPECT_EQ(placesPanel.firstColumn, 42);
  EXPECT_EQ(placesPanel.width, 40);
  for (const TextPanel* panel : {&leftPanel, &rightPanel, &placesPanel})
    EXPECT_EQ(panel->height(), kPanelRows);
}

}  // namespace
