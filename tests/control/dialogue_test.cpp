// The dialogue up to the first turn: the start choice, loading, the count,
// the names, and what happens when save.txt misbehaves.
#include "control/dialogue.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "control_test_util.h"

namespace {

class DialogueTest : public DialogueFixture {};

const std::string kRangeCall =
    "message:Le nombre de joueurs doit etre compris entre 2 et 100";

// --- the count

TEST_F(DialogueTest, CountIsParsedLikeAtoiButClamped) {
  const struct {
    std::string typed;
    int count;
  } cases[] = {
      {"8", 8},           {"8 joueurs", 8},        {"  +5", 5},
      {"\t\n\v\f\r7", 7}, {"0007", 7},             {"1e3", 1},
      {"-3", -3},         {"abc", 0},              {"", 0},
      {"+-3", 0},         {"- 3", 0},              {"\xA0" "5", 0},
      {"2147483647", INT_MAX},  {"2147483648", INT_MAX},
      {"99999999999", INT_MAX}, {"-2147483648", INT_MIN},
      {"-2147483649", INT_MIN}, {"-99999999999999999999999", INT_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(parseCount(c.typed), c.count) << "typed: " << c.typed;
}

TEST_F(DialogueTest, CountOutsideTwoToAHundredIsAskedAgainAndEveryTryRecorded) {
  const struct {
    std::string typed;
    std::string recorded;
    bool askedAgain;
  } cases[] = {
      {"abc", "0", true},          {"-3", "-3", true},
      {"1", "1", true},            {"101", "101", true},
      {"99999999999", "2147483647", true},
      {"8 joueurs", "8", false},   {"2", "2", false},
      {"100", "100", false},
  };
  for (const auto& c : cases) {
    resetGlobals();
    Lines typed = {"", c.typed};
    Lines expected = {kStartCall, "typed:", kCountCall, "typed:" + c.typed};
    std::string saved = c.recorded + "\n";
    if (c.askedAgain) {
      typed.push_back("2");
      expected.insert(expected.end(), {kRangeCall, kCountCall, "typed:2"});
      saved += "2\n";
    }
    expected.insert(expected.end(), {kAutoHintCall, "prompt:Nom du joueur 1 : ", "closed"});
    EXPECT_EQ(run(typed), 0) << "typed: " << c.typed;
    EXPECT_EQ(calls(), expected) << "typed: " << c.typed;
    EXPECT_EQ(fileBytes(save), saved) << "typed: " << c.typed;
  }
}

// --- the names

TEST_F(DialogueTest, AutoAtTheFirstPromptNamesEveryPlayerByNumber) {
  run({"", "4", "auto"});
  EXPECT_EQ(calls(), (Lines{kStartCall, "typed:", kCountCall, "typed:4", kAutoHintCall,
                            "prompt:Nom du joueur 1 : ", "typed:auto",
                            "prompt:Nom du joueur 2 : ", "prompt:Nom du joueur 3 : ",
                            "prompt:Nom du joueur 4 : ", "panels", kTurnHintCall,
                            kWinnerCall, "closed"}));
  EXPECT_EQ(lastLeftFrame(),
            (Lines{"***** Play match 1 vs 2", "***** Play match 3 vs 4"}));
  EXPECT_EQ(fileBytes(save), "4\nauto\n");
}

TEST_F(DialogueTest, AutoAtTheThirdPromptNamesThatPlayerOneAndTheRestByNumber) {
  run({"", "5", "Ann", "Bob", "auto"});
  // Ann and Bob pair off; "1", "4" and "5" form the three-way group.
  EXPECT_EQ(lastLeftFrame(),
            (Lines{"***** Play match Ann vs Bob", "***** Play match 4 vs 5",
                   "***** Play match 1 vs 5", "***** Play match 1 vs 4"}));
  EXPECT_EQ(fileBytes(save), "5\nAnn\nBob\nauto\n");
}

TEST_F(DialogueTest, AutoWithACapitalIsAnOrdinaryName) {
  run({"", "2", "Auto", "Bob"});
  EXPECT_EQ(lastLeftFrame(), (Lines{"***** Play match Auto vs Bob"}));
  EXPECT_EQ(fileBytes(save), "2\nAuto\nBob\n");
}

TEST_F(DialogueTest, WindowClosedWhileNamingRecordsOnlyWhatWasAnswered) {
  EXPECT_EQ(run({"", "3", "Ann"}), 0);
  EXPECT_EQ(calls().back(), "closed");
  EXPECT_EQ(fileBytes(save), "3\nAnn\n");
}

TEST_F(DialogueTest, TypedAnswersAreCutAtTheLimit) {
  run({"", "2", "A", "B", "annuler", std::string(300, 'n')});
  EXPECT_EQ(fileBytes(save),
            "2\nA\nB\nannuler\n" + std::string(kMaxAnswerBytes, 'n') + "\n");
}

// --- the start choice

TEST_F(DialogueTest, WindowClosedAtTheStartChoiceTouchesNoFile) {
  writeFile(save, "2\nA\nB\n");
  EXPECT_EQ(run({}), 0);
  EXPECT_EQ(calls(), (Lines{kStartCall, "closed"}));
  EXPECT_EQ(fileBytes(save), "2\nA\nB\n");
}

TEST_F(DialogueTest, OnlyTheExactWordLoadLoads) {
  for (const std::string choice : {"Load", " load", "load ", "LOAD", ""}) {
    resetGlobals();
    writeFile(save, "2\nA\nB\n");
    run({choice});
    EXPECT_EQ(calls(), (Lines{kStartCall, "typed:" + choice, kCountCall, "closed"}))
        << "choice: " << choice;
    EXPECT_EQ(fileBytes(save), "") << "choice: " << choice;
    EXPECT_EQ(fileBytes(backup), "2\nA\nB\n") << "choice: " << choice;
  }
  EXPECT_EQ(out.str(), "");
}

TEST_F(DialogueTest, LoadShowsTheFileThenEchoesWhatRemainsAfterEachAnswer) {
  writeFile(save, "2\nA\nB\nquit\n");
  EXPECT_EQ(run({"load"}), 0);
  EXPECT_EQ(out.str(),
            "2\nA\nB\nquit\n\n"  // the file as loaded
            "A\nB\nquit\n\n"
            "B\nquit\n\n"
            "quit\n\n"
            "\n");
  // The replayed quit marks where the earlier run stopped: the tournament
  // goes on, and the next answer is typed.
  EXPECT_EQ(calls(), (Lines{kStartCall, "typed:load", "hold", kCountCall, "hold",
                            kAutoHintCall, "prompt:Nom du joueur 1 : ", "hold",
                            "prompt:Nom du joueur 2 : ", "hold", "panels",
                            kTurnHintCall, kWinnerCall, "release", "panels", "panels",
                            kTurnHintCall, kWinnerCall, "closed"}));
  EXPECT_EQ(fileBytes(save), "2\nA\nB\nquit\n");
  EXPECT_FALSE(std::filesystem::exists(save + ".tmp"));
}

TEST_F(DialogueTest, ReplayStopsAndTypingGoesOnAtTheSameQuestion) {
  writeFile(save, "3\nAnn\nBob\n");
  run({"load", "Cy", "Ann", "Bob"});
  EXPECT_EQ(calls(), (Lines{kStartCall, "typed:load", "hold", kCountCall, "hold",
                            kAutoHintCall, "prompt:Nom du joueur 1 : ", "hold",
                            "prompt:Nom du joueur 2 : ", "release",
                            "prompt:Nom du joueur 3 : ", "typed:Cy", "panels",
                            kTurnHintCall, kWinnerCall, "typed:Ann", "panels",
                            "prompt:Perdant contre Ann", "typed:Bob", "panels",
                            kTurnHintCall, kWinnerCall, "closed"}));
  EXPECT_EQ(matchLog(), (Log{result(0, "Ann", 1, "Bob")}));
  EXPECT_EQ(fileBytes(save), "3\nAnn\nBob\nCy\nAnn\nBob\n");
  EXPECT_FALSE(std::filesystem::exists(save + ".tmp"));
}

TEST_F(DialogueTest, LoadedCrLfFileIsRecordedAgainWithPlainLineEnds) {
  writeFile(save, "2\r\nA\r\nB\r\nA\r\nB\r\n");
  run({"load"});
  EXPECT_EQ(matchLog(), (Log{result(0, "A", 1, "B")}));
  EXPECT_EQ(fileBytes(save), "2\nA\nB\nA\nB\n");
  EXPECT_EQ(fileBytes(backup), "2\r\nA\r\nB\r\nA\r\nB\r\n");
}

TEST_F(DialogueTest, LoadOfAnEmptyFilePrintsAnEmptyLineAndTypesEverything) {
  writeFile(save, "");
  run({"load", "2"});
  EXPECT_EQ(out.str(), "\n");
  EXPECT_EQ(calls(), (Lines{kStartCall, "typed:load", "release", kCountCall, "typed:2",
                            kAutoHintCall, "prompt:Nom du joueur 1 : ", "closed"}));
}

TEST_F(DialogueTest, LoadOfAMissingFileReportsItAndStartsAfresh) {
  run({"load", "2", "A", "B"});
  EXPECT_EQ(err.str(), "Impossible de lire save.txt : No such file or directory\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(calls(), (Lines{kStartCall, "typed:load", kCountCall, "typed:2",
                            kAutoHintCall, "prompt:Nom du joueur 1 : ", "typed:A",
                            "prompt:Nom du joueur 2 : ", "typed:B", "panels",
                            kTurnHintCall, kWinnerCall, "closed"}));
  EXPECT_EQ(fileBytes(save), "2\nA\nB\n");
}

// --- when save.txt cannot be written

TEST_F(DialogueTest, FailedBackupKeepsTheSaveAndWarnsBeforeTheCount) {
  writeFile(save, "3\nAnn\n");
  std::filesystem::create_directory(backup);
  run({"", "2"});
  EXPECT_EQ(err.str(), "Impossible de copier " + save + " vers " + backup +
                           " : Is a directory\n" + kUnsavedWarning + "\n");
  EXPECT_EQ(calls(), (Lines{kStartCall, "typed:", std::string("message:") + kUnsavedWarning,
                            kCountCall, "typed:2", kAutoHintCall,
                            "prompt:Nom du joueur 1 : ", "closed"}));
  EXPECT_EQ(fileBytes(save), "3\nAnn\n");
}

TEST_F(DialogueTest, LoadStillReplaysWhenTheTranscriptCannotBeOpened) {
  writeFile(save, "2\nA\nB\nA\nB\n");
  std::filesystem::create_directory(backup);
  run({"load"});
  EXPECT_EQ(matchLog(), (Log{result(0, "A", 1, "B")}));
  EXPECT_EQ(fileBytes(save), "2\nA\nB\nA\nB\n");
}

TEST_F(DialogueTest, FailedWriteIsReportedOnceWithItsReasonAndTheRunGoesOn) {
  files.savePath = "/dev/full";
  CerrCapture cerr;
  run({"", "2", "A", "B", "A", "B"});
  EXPECT_EQ(err.str(), "Impossible d'ecrire /dev/full : No space left on device\n" +
                           std::string(kUnsavedWarning) + "\n");
  EXPECT_EQ(cerr.text(), "");
  EXPECT_EQ(matchLog(), (Log{result(0, "A", 1, "B")}));
}

}  // namespace
