// The turns: what each one shows, results entered by name, cancels and the
// words that end the run.
#include "control/dialogue.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "control_test_util.h"

namespace {

class TurnsTest : public DialogueFixture {
 protected:
  // The calls made from the first drawPanels on.
  Lines turnCalls() {
    auto first = std::find(calls().begin(), calls().end(), "panels");
    return Lines(first, calls().end());
  }

  long countOf(const std::string& call) {
    return std::count(calls().begin(), calls().end(), call);
  }
};

// --- what one turn shows, in order

TEST_F(TurnsTest, TurnShowsTheBoardThenAsksTheWinnerThenTheLoser) {
  run({"", "2", "A", "B", "A", "B"});
  EXPECT_EQ(turnCalls(), (Lines{"panels", kTurnHintCall, kWinnerCall, "typed:A",
                                "panels", "prompt:Perdant contre A", "typed:B",
                                "panels", kFinishedCall, kWinnerCall, "closed"}));
  const FakeWindow& w = FakeWindow::get();
  ASSERT_EQ(w.leftFrames.size(), 3u);
  // Before the result: the match is announced, the places are placeholders;
  // the redraw after the answer shows the same board.
  for (int frame : {0, 1}) {
    EXPECT_EQ(w.leftFrames[frame], (Lines{"***** Play match A vs B"})) << frame;
    EXPECT_EQ(w.rightFrames[frame],
              (Lines{"1er -> winner(A,B)", "2e  -> loser(A,B)"})) << frame;
  }
  EXPECT_EQ(w.leftFrames[2], Lines{});
  EXPECT_EQ(w.rightFrames[2], (Lines{"1er -> A", "2e  -> B"}));
}

TEST_F(TurnsTest, EveryTurnStartsFromClearedPanels) {
  run({"", "2", "A", "B"});
  // One announcement row and the end of line after the bracket; two
  // standings rows and the end of line after them.
  EXPECT_EQ(leftPanel.cursorRow(), 2);
  EXPECT_EQ(rightPanel.cursorRow(), 3);
  leftPanel << "stale";
  run({"", "2", "A", "B"});
  EXPECT_EQ(lastLeftFrame(), (Lines{"***** Play match A vs B"}));
}

// Once every place is decided the window says so, and a typed winner is
// refused without being saved; the commands still work.
TEST_F(TurnsTest, FinishedTournamentIsAnnouncedAndRefusesResults) {
  const std::string refusal =
      "message:Tournoi termine : plus de resultat a entrer ('quit', 'annuler' ou 'corriger')";
  run({"", "2", "A", "B", "A", "B", "B", "", "annuler", "", "B", "A"});
  EXPECT_EQ(matchLog(), (Log{result(kNoParticipant, "A", 1, "B"), result(1, "B", 0, "A")}));
  EXPECT_EQ(turnCalls(),
            (Lines{"panels", kTurnHintCall, kWinnerCall, "typed:A", "panels",
                   "prompt:Perdant contre A", "typed:B", "panels", kFinishedCall, kWinnerCall,
                   "typed:B", refusal, "typed:", refusal, "typed:annuler", "panels",
                   "message:Le dernier match sera annule (A avait gagne contre B)",
                   kAcknowledgeCall, "typed:", "panels", kTurnHintCall, kWinnerCall, "typed:B",
                   "panels", "prompt:Perdant contre B", "typed:A", "panels", kFinishedCall,
                   kWinnerCall, "closed"}));
  EXPECT_EQ(fileBytes(save), "2\nA\nB\nA\nB\nannuler\n\nB\nA\n");
  // A file written before results were refused replays them as it did.
  const std::string older = "2\nA\nB\nA\nB\nB\nA\n";
  resetGlobals();
  writeFile(save, older);
  run({"load"});
  EXPECT_EQ(matchLog(), (Log{result(0, "A", 1, "B"), result(1, "B", 0, "A")}));
  // The older result still decides the pair.
  EXPECT_EQ(lastRightFrame(), (Lines{"1er -> A", "2e  -> B"}));
  EXPECT_EQ(fileBytes(save), older);
}

// --- results entered by name

// Files written before names were checked hold names typed twice, names of
// nobody and players named like commands: they replay as they always did.
TEST_F(TurnsTest, OlderFilesReplayNamesAsTheyWereWritten) {
  const struct {
    const char* label;
    std::string file;
    Log log;
  } cases[] = {
      {"the same name twice: the player entered later",
       "3\nAnn\nAnn\nBob\nAnn\nBob\nBob\nAnn\n",
       {result(1, "Ann", 2, "Bob"), result(2, "Bob", 1, "Ann")}},
      {"a name of nobody on either side", "2\nA\nB\nZed\nB\nA\nnobody\n",
       {result(kNoParticipant, "", 1, "B"), result(0, "A", kNoParticipant, "")}},
      {"a player named quit can lose; as a winner the word is the command",
       "2\nquit\nB\nB\nquit\nquit\n", {result(1, "B", 0, "quit")}},
      {"quit words are compared exactly", "2\nA\nB\nQuit\nB\n",
       {result(kNoParticipant, "", 1, "B")}},
  };
  for (const auto& c : cases) {
    resetGlobals();
    writeFile(save, c.file);
    run({"load"});
    EXPECT_EQ(matchLog(), c.log) << c.label;
    EXPECT_EQ(fileBytes(save), c.file) << c.label;
  }
  // Neither record of a name of nobody decides the match.
  resetGlobals();
  writeFile(save, cases[1].file);
  run({"load"});
  EXPECT_EQ(lastLeftFrame(), (Lines{"***** Play match A vs B"}));
}

TEST_F(TurnsTest, QuitAndExitAreRecordedThenEndTheRunWithStatusZero) {
  for (const std::string word : {"quit", "exit"}) {
    resetGlobals();
    EXPECT_EQ(run({"", "2", "A", "B", word, "never read"}), 0) << word;
    EXPECT_EQ(turnCalls(), (Lines{"panels", kTurnHintCall, kWinnerCall,
                                  "typed:" + word, "panels"})) << word;
    EXPECT_EQ(fileBytes(save), "2\nA\nB\n" + word + "\n") << word;
  }
}

// --- cancelling the newest result

TEST_F(TurnsTest, CancelNamesTheNewestResultWaitsThenMarksIt) {
  run({"", "2", "A", "B", "A", "B", "annuler", "ok"});
  Lines expectedTail = {"typed:annuler", "panels",
                        "message:Le dernier match sera annule (A avait gagne contre B)",
                        kAcknowledgeCall, "typed:ok", "panels", kTurnHintCall,
                        kWinnerCall, "closed"};
  Lines tail(calls().end() - expectedTail.size(), calls().end());
  EXPECT_EQ(tail, expectedTail);
  EXPECT_EQ(matchLog(), (Log{result(kNoParticipant, "A", 1, "B")}));
  EXPECT_EQ(lastLeftFrame(), (Lines{"***** Play match A vs B"}));
  EXPECT_EQ(fileBytes(save), "2\nA\nB\nA\nB\nannuler\nok\n");
}

TEST_F(TurnsTest, EveryCancelWordCancels) {
  for (const std::string word : {"cancel", "annuler", "anuler"}) {
    resetGlobals();
    run({"", "2", "A", "B", "A", "B", word, ""});
    EXPECT_EQ(matchLog(), (Log{result(kNoParticipant, "A", 1, "B")})) << word;
  }
}

TEST_F(TurnsTest, TwoCancelsNameTheSameMatchAndLeaveTheOlderResult) {
  run({"", "4", "A", "B", "C", "D", "A", "B", "C", "D", "annuler", "", "annuler", ""});
  EXPECT_EQ(countOf("message:Le dernier match sera annule (C avait gagne contre D)"), 2);
  EXPECT_EQ(matchLog(), (Log{result(0, "A", 1, "B"), result(kNoParticipant, "C", 3, "D")}));
  EXPECT_EQ(lastLeftFrame(),
            (Lines{"***** Play match C vs D", "***** Play match A vs winner(C,D)",
                   "***** Play match B vs loser(C,D)"}));
}

TEST_F(TurnsTest, CancelWithNoResultSaysSoAndChangesNothing) {
  run({"", "2", "A", "B", "annuler", ""});
  EXPECT_EQ(turnCalls(), (Lines{"panels", kTurnHintCall, kWinnerCall, "typed:annuler",
                                "panels", "message:Aucun match a annuler",
                                kAcknowledgeCall, "typed:", "panels", kTurnHintCall,
                                kWinnerCall, "closed"}));
  EXPECT_TRUE(matchLog().empty());
  EXPECT_EQ(fileBytes(save), "2\nA\nB\nannuler\n\n");
}

TEST_F(TurnsTest, WindowClosedAtTheAcknowledgementCancelsNothing) {
  run({"", "2", "A", "B", "A", "B", "annuler"});
  EXPECT_EQ(matchLog(), (Log{result(0, "A", 1, "B")}));
  EXPECT_EQ(fileBytes(save), "2\nA\nB\nA\nB\nannuler\n");
}

TEST_F(TurnsTest, WindowClosedAtTheLoserQuestionLogsNothing) {
  run({"", "2", "A", "B", "A"});
  EXPECT_TRUE(matchLog().empty());
  EXPECT_EQ(calls().back(), "closed");
}

}  // namespace
