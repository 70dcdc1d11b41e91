// A player who leaves, as the operator meets it: "forfait", the notice,
// the confirmation, the matches decided without being typed, "annuler"
// taking it back, and the same tournament after a load.
#include "control/withdrawals.h"

#include <gtest/gtest.h>

#include "control_test_util.h"

namespace {

class WithdrawalsTest : public DialogueFixture {
 protected:
  Lines messages() {
    Lines found;
    for (const std::string& c : calls())
      if (c.rfind("message:", 0) == 0) found.push_back(c.substr(8));
    return found;
  }
  bool shown(const std::string& message) {
    const Lines all = messages();
    return std::find(all.begin(), all.end(), message) != all.end();
  }
};

const Lines kFour = {"", "4", "Ann", "Bob", "Cy", "Dee"};

Lines typing(Lines more) {
  Lines all = kFour;
  all.insert(all.end(), more.begin(), more.end());
  return all;
}

TEST_F(WithdrawalsTest, AWithdrawnPlayersMatchesAreDecidedWithoutBeingPlayed) {
  // Bob leaves before playing: Ann goes through without a result.
  run(typing({"forfait", "bob", ""}));
  EXPECT_TRUE(shown("Bob abandonne : ses matchs non joues sont perdus par forfait"));
  EXPECT_EQ(fileBytes(save), "4\nAnn\nBob\nCy\nDee\nforfait\nBob\n\n");
  EXPECT_EQ(lastLeftFrame(), (Lines{"***** Play match Cy vs Dee",
                                    "***** Play match Ann vs winner(Cy,Dee)"}));
  EXPECT_TRUE(matchLog().empty());
}

TEST_F(WithdrawalsTest, RenouncedWithdrawalChangesNothing) {
  run(typing({"forfait", "Bob", "non"}));
  EXPECT_EQ(lastLeftFrame(),
            (Lines{"***** Play match Ann vs Bob", "***** Play match Cy vs Dee"}));
}

TEST_F(WithdrawalsTest, AnnulerAndForfaitAgainTakeAWithdrawalBack) {
  const Lines start = {"***** Play match Ann vs Bob", "***** Play match Cy vs Dee"};
  run(typing({"forfait", "Bob", "", "annuler", ""}));
  EXPECT_TRUE(shown("Le forfait de Bob sera annule (Bob revient)"));
  EXPECT_EQ(lastLeftFrame(), start);

  resetGlobals();
  run(typing({"forfait", "Bob", "", "forfait", "Bob", ""}));
  EXPECT_TRUE(shown("Bob revient : ses prochains matchs seront joues"));
  EXPECT_EQ(lastLeftFrame(), start);

  // A result entered after the withdrawal is the newest action: annuler
  // cancels it and leaves the withdrawal.
  resetGlobals();
  run(typing({"forfait", "Bob", "", "Cy", "Dee", "annuler", ""}));
  EXPECT_TRUE(shown("Le dernier match sera annule (Cy avait gagne contre Dee)"));
  EXPECT_EQ(lastLeftFrame(), (Lines{"***** Play match Cy vs Dee",
                                    "***** Play match Ann vs winner(Cy,Dee)"}));
}

TEST_F(WithdrawalsTest, EightPlayersTwoLeavingFinishWithOnlyPresentPlayersTyped) {
  // H never comes; after the first round, B leaves. Every place is decided
  // by typing only the matches between present players.
  files.standingsFolder = std::filesystem::path(save).parent_path();
  Lines typed = {"", "8", "A", "B", "C", "D", "E", "F", "G", "H", "forfait", "H", ""};
  typed.insert(typed.end(), {"A", "B", "C", "D", "E", "F", "forfait", "B", ""});
  // Then B-D, F-H and B-H are forfeits; the rest is played.
  typed.insert(typed.end(), {"A", "C", "E", "G", "A", "E", "C", "G", "D", "F"});
  run(typed);
  EXPECT_EQ(lastRightFrame(),
            (Lines{"1er -> A", "2e  -> E", "3e  -> C", "4e  -> G", "5e  -> D", "6e  -> F",
                   "7e  -> B", "8e  -> H"}));
  EXPECT_EQ(matchLog().size(), 8u);  // of the 12 matches of 8 players
  EXPECT_TRUE(lastLeftFrame().empty());
  const std::string saved = fileBytes(save);
  const Lines right = lastRightFrame();
  resetGlobals();
  run({"load"});
  EXPECT_EQ(lastRightFrame(), right);
  EXPECT_EQ(fileBytes(save), saved);
  const std::string sheet = fileBytes(dir.file("classement.csv"));
  EXPECT_NE(sheet.find("\r\n7;B (forfait)\r\n8;H (forfait)\r\n"), std::string::npos) << sheet;
  const std::string page = fileBytes(dir.file("tournoi.html"));
  EXPECT_NE(page.find("<h3>Forfaits</h3>"), std::string::npos);
}

TEST_F(WithdrawalsTest, AnOlderFileWithAWinnerNamedForfaitReplaysItAsTheCommand) {
  writeFile(save, "2\nforfait\nBob\nforfait\nBob\n\n");
  run({"load"});
  EXPECT_TRUE(matchLog().empty());
  EXPECT_EQ(lastRightFrame(), (Lines{"1er -> forfait", "2e  -> Bob"}));
}

}  // namespace
