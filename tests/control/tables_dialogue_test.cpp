// Tables as the operator uses them: the count asked, the matches called to
// tables in the window and the band, a freed table called again, and the
// same tables after a load.
#include <gtest/gtest.h>

#include "control_test_util.h"
#include "views/band.h"

namespace {

class TablesDialogueTest : public DialogueFixture {
 protected:
  Lines messages() {
    Lines found;
    for (const std::string& c : calls())
      if (c.rfind("message:", 0) == 0) found.push_back(c.substr(8));
    return found;
  }
  std::string lastBand() {
    std::string band;
    for (const std::string& c : calls())
      if (c.rfind("status:", 0) == 0) band = c.substr(7);
    return band;
  }
};

const Lines kSix = {"6", "Ann", "Bob", "Cy", "Dee", "Ed", "Flo"};

TEST_F(TablesDialogueTest, BadCountsAreRefusedAndTheCallsFollowTheResults) {
  ui.drawStatusLine = fakeStatus;
  Lines typed = {""};
  typed.insert(typed.end(), kSix.begin(), kSix.end());
  // Two tables: Ann-Bob at 1, Cy-Dee at 2, Ed-Flo waits. Cy beats Dee:
  // table 2 goes to Ed-Flo.
  typed.insert(typed.end(), {"tables", "abc", "101", " 2", "2", "Cy", "Dee"});
  run(typed);
  const std::string refusal = "Le nombre de tables doit etre un nombre de 0 a 100";
  const Lines shown = messages();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), refusal), 3);
  EXPECT_EQ(fileBytes(save), "6\nAnn\nBob\nCy\nDee\nEd\nFlo\ntables\n2\nCy\nDee\n");
  EXPECT_EQ(messages().back(), "Table 2 : Ed contre Flo");
  EXPECT_EQ(lastLeftFrame(),
            (Lines{"T1 ***** Play match Ann vs Bob", "T2 ***** Play match Ed vs Flo",
                   "***** Play match Cy vs winner(Ed,Flo)",
                   "***** Play match winner(Ann,Bob) vs Cy",
                   "***** Play match Dee vs loser(Ed,Flo)",
                   "***** Play match loser(Ann,Bob) vs Dee"}));
  EXPECT_EQ(lastBand(), std::string("Tables : 2 occupees sur 2") + kStatusSeparator +
                            "F2 : places possibles");

  // A load calls the same matches to the same tables.
  const Lines left = lastLeftFrame();
  resetGlobals();
  run({"load"});
  EXPECT_EQ(lastLeftFrame(), left);
}

TEST_F(TablesDialogueTest, TheLoserPromptOffersTheOpponentAtTheWinnersTable) {
  // Three players, one table: Bob-Cy is called first; Bob also plays Ann,
  // but at his table his opponent is Cy, so Enter takes Cy.
  run({"", "3", "Ann", "Bob", "Cy", "tables", "1", "Bob", ""});
  EXPECT_EQ(fileBytes(save), "3\nAnn\nBob\nCy\ntables\n1\nBob\nCy\n");
  EXPECT_EQ(messages().back(), "Table 1 : Ann contre Cy");
}

}  // namespace
