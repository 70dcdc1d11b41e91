// Corrections of an older result, driven through loaded files: each outcome,
// the bad input that must end in one of them, files cut in the middle of a
// correction, and a three-way group whose cycle comes and goes.
#include <gtest/gtest.h>

#include <algorithm>

#include "control/dialogue.h"
#include "control_test_util.h"

namespace {

const std::string kTrueWinnerCall = "prompt:Vrai gagnant : ";
const std::string kConfirmCall = "prompt:Entree pour confirmer, 'non' pour renoncer";

// Four players; A beat B, C beat D, then A beat C and B beat D: the
// tournament is over, A, C, B, D.
const std::string kFinishedFour = "4\nA\nB\nC\nD\nA\nB\nC\nD\nA\nC\nB\nD\n";
const Log kFinishedFourLog = {result(0, "A", 1, "B"), result(2, "C", 3, "D"),
                              result(0, "A", 2, "C"), result(1, "B", 3, "D")};

class CorrectionTest : public DialogueFixture {
 protected:
  // Loads `content` as save.txt; the window is closed once it is replayed.
  void load(const std::string& content) {
    resetGlobals();
    writeFile(save, content);
    run({"load"});
  }

  // The message and prompt strips from the last correction's first prompt
  // up to the next turn's hint (or the end).
  Lines correctionStrips() {
    const Lines& all = calls();
    auto start = std::find(all.rbegin(), all.rend(), kTrueWinnerCall).base();
    Lines strips;
    if (start == all.begin()) return strips;
    for (auto call = start - 1;
         call != all.end() && *call != kTurnHintCall && *call != kFinishedCall; ++call)
      if (call->rfind("message:", 0) == 0 || call->rfind("prompt:", 0) == 0)
        strips.push_back(*call);
    return strips;
  }
};

// --- each outcome, and input that must end in one of them

TEST_F(CorrectionTest, EveryAnswerEndsInOneOfTheThreeOutcomes) {
  const Log reversed = {result(kNoParticipant, "A", 1, "B"), result(2, "C", 3, "D"),
                        result(0, "A", 2, "C"), result(1, "B", 3, "D"),
                        result(1, "B", 0, "A")};
  const Lines reversedStrips = {
      kTrueWinnerCall, "prompt:Vrai perdant contre B",
      "message:Le resultat sera inverse (A avait gagne contre B) ; "
      "2 resultats deviennent sans objet",
      kConfirmCall};
  auto nothingBetween = [](const std::string& w, const std::string& l) {
    return Lines{kTrueWinnerCall, "prompt:Vrai perdant contre " + w,
                 "message:Aucun resultat entre " + w + " et " + l, kAcknowledgeCall};
  };
  const struct {
    std::string label;
    std::string file;  // after the players
    Lines strips;
    Log log;
    Lines left;  // the announcements at the end
  } cases[] = {
      {"confirmed with Enter", kFinishedFour + "corriger\nB\nA\n\nquit\n", reversedStrips,
       reversed, {"***** Play match B vs C", "***** Play match A vs D"}},
      {"confirmed with any other answer", kFinishedFour + "corriger\nB\nA\noui\n",
       reversedStrips, reversed, {"***** Play match B vs C", "***** Play match A vs D"}},
      {"declined", kFinishedFour + "corriger\nB\nA\nnon\n", reversedStrips,
       kFinishedFourLog, {}},
      {"already recorded", kFinishedFour + "corriger\nA\nB\nnon\n",
       {kTrueWinnerCall, "prompt:Vrai perdant contre A",
        "message:Ce resultat est deja enregistre", kAcknowledgeCall},
       kFinishedFourLog, {}},
      {"never met", kFinishedFour + "corriger\nD\nA\nok\n", nothingBetween("D", "A"),
       kFinishedFourLog, {}},
      {"same name twice", kFinishedFour + "corriger\nA\nA\nok\n",
       nothingBetween("A", "A"), kFinishedFourLog, {}},
      {"empty names", kFinishedFour + "corriger\n\n\nok\n", nothingBetween("", ""),
       kFinishedFourLog, {}},
      {"a name of nobody", kFinishedFour + "corriger\nb\nA\nok\n",
       nothingBetween("b", "A"), kFinishedFourLog, {}},
      {"only a cancelled result", "2\nA\nB\nA\nB\nannuler\n\ncorriger\nB\nA\nok\n",
       nothingBetween("B", "A"), {result(kNoParticipant, "A", 1, "B")},
       {"***** Play match A vs B"}},
      {"one result set aside", "4\nA\nB\nC\nD\nA\nB\nC\nD\nA\nC\ncorriger\nD\nC\nok\n",
       {kTrueWinnerCall, "prompt:Vrai perdant contre D",
        "message:Le resultat sera inverse (C avait gagne contre D) ; "
        "1 resultat devient sans objet",
        kConfirmCall},
       {result(0, "A", 1, "B"), result(kNoParticipant, "C", 3, "D"),
        result(0, "A", 2, "C"), result(3, "D", 2, "C")},
       {"***** Play match A vs D", "***** Play match B vs C"}},
      {"nothing set aside, then back",
       kFinishedFour + "corriger\nB\nA\n\ncorriger\nA\nB\n\nquit\n",
       {kTrueWinnerCall, "prompt:Vrai perdant contre A",
        "message:Le resultat sera inverse (B avait gagne contre A)", kConfirmCall},
       {result(kNoParticipant, "A", 1, "B"), result(2, "C", 3, "D"),
        result(0, "A", 2, "C"), result(1, "B", 3, "D"),
        result(kNoParticipant, "B", 0, "A"), result(0, "A", 1, "B")},
       {}},
      {"then cancelled", kFinishedFour + "corriger\nB\nA\n\nannuler\nok\n", reversedStrips,
       {result(kNoParticipant, "A", 1, "B"), result(2, "C", 3, "D"),
        result(0, "A", 2, "C"), result(1, "B", 3, "D"),
        result(kNoParticipant, "B", 0, "A")},
       {"***** Play match A vs B", "***** Play match winner(A,B) vs C",
        "***** Play match loser(A,B) vs D"}},
      // A keyword at the winner prompt only: the player can still be named.
      {"a player named corriger",
       "2\ncorriger\nB\nB\ncorriger\ncorriger\ncorriger\nB\nok\n",
       {kTrueWinnerCall, "prompt:Vrai perdant contre corriger",
        "message:Le resultat sera inverse (B avait gagne contre corriger)", kConfirmCall},
       {result(kNoParticipant, "B", 0, "corriger"), result(0, "corriger", 1, "B")},
       {}},
      // Cut short: the rest is typed, and the window is closed.
      {"cut after corriger", kFinishedFour + "corriger\n", {kTrueWinnerCall},
       kFinishedFourLog, {}},
      {"cut after the true winner", kFinishedFour + "corriger\nB\n",
       {kTrueWinnerCall, "prompt:Vrai perdant contre B"}, kFinishedFourLog, {}},
      {"cut after the true loser", kFinishedFour + "corriger\nB\nA\n", reversedStrips,
       kFinishedFourLog, {}},
      // The confirmation was saved whole: the correction counts.
      {"cut after an empty confirmation", kFinishedFour + "corriger\nB\nA\n\n",
       reversedStrips,
       {result(kNoParticipant, "A", 1, "B"), result(2, "C", 3, "D"),
        result(0, "A", 2, "C"), result(1, "B", 3, "D"), result(1, "B", 0, "A")},
       {"***** Play match B vs C", "***** Play match A vs D"}},
  };
  for (const auto& c : cases) {
    load(c.file);
    EXPECT_EQ(correctionStrips(), c.strips) << c.label;
    EXPECT_EQ(matchLog(), c.log) << c.label;
    EXPECT_EQ(lastLeftFrame(), c.left) << c.label;
    EXPECT_EQ(err.str(), "") << c.label;
    // Recorded again unchanged (but for a cut last line, never replayed),
    // so loading it once more takes the same path.
    const std::string saved = fileBytes(save);
    EXPECT_EQ(saved, c.file.substr(0, saved.size())) << c.label;
    EXPECT_GE(saved.size() + 1, c.file.size()) << c.label;
    const Lines left = lastLeftFrame(), right = lastRightFrame();
    load(saved);
    EXPECT_EQ(matchLog(), c.log) << c.label << ", loaded again";
    EXPECT_EQ(lastLeftFrame(), left) << c.label << ", loaded again";
    EXPECT_EQ(lastRightFrame(), right) << c.label << ", loaded again";
  }
}

// --- a three-way group

// Ann, Bob and Cy play one group. In the cycle (Bob beat Cy, Cy beat Ann,
// Ann beat Bob) the draw drops Ann, so Bob, Cy, Ann; with Ann beating Cy
// the group is decided, Ann, Bob, Cy; correcting back makes the cycle again.
TEST_F(CorrectionTest, CorrectionInAThreeWayGroupDecidesACycleAndMakesOne) {
  const std::string cycle = "3\nAnn\nBob\nCy\nBob\nCy\nCy\nAnn\nAnn\nBob\n";
  const Lines cycleStandings = {"1er -> Bob", "2e  -> Cy", "3e  -> Ann"};
  load(cycle);
  EXPECT_EQ(lastRightFrame(), cycleStandings);

  load(cycle + "corriger\nAnn\nCy\n\nquit\n");
  EXPECT_EQ(correctionStrips(),
            (Lines{kTrueWinnerCall, "prompt:Vrai perdant contre Ann",
                   "message:Le resultat sera inverse (Cy avait gagne contre Ann)",
                   kConfirmCall}));
  EXPECT_EQ(lastRightFrame(), (Lines{"1er -> Ann", "2e  -> Bob", "3e  -> Cy"}));

  load(cycle + "corriger\nAnn\nCy\n\ncorriger\nCy\nAnn\n\nquit\n");
  EXPECT_EQ(lastRightFrame(), cycleStandings);
  EXPECT_EQ(matchLog().back(), result(2, "Cy", 0, "Ann"));
}

}  // namespace
