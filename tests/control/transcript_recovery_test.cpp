// Saving that stops working mid-run: the failure is reported once, the
// warning is in the status band at every prompt, and the first answer after
// the cause is gone brings back a complete save.txt.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "control/transcript.h"
#include "control_test_util.h"
#include "views/band.h"

namespace {

namespace fs = std::filesystem;

class TranscriptRecoveryTest : public ::testing::Test {
 protected:
  void TearDown() override { closeTranscript(); }

  void recordAll(const Lines& answers) {
    for (const std::string& answer : answers)
      EXPECT_TRUE(recordAnswer(answer, &err)) << answer << ": " << err;
  }

  // Names in the folder that a failed save must not leave behind.
  bool leftovers() {
    return fs::exists(save + ".tmp") || fs::exists(backup + ".tmp");
  }

  ScratchDir dir;
  std::string save = dir.file("save.txt");
  std::string backup = dir.file("save.txt.bak");
  std::string err;
};

// --- the save file changed by hand

TEST_F(TranscriptRecoveryTest, SaveRemovedByHandIsRebuiltWholeAtTheNextAnswer) {
  ASSERT_TRUE(openTranscript(save, &err)) << err;
  recordAll({"3", "Ann", "Bob"});
  fs::remove(save);
  recordAll({"Cy"});
  EXPECT_EQ(fileBytes(save), "3\nAnn\nBob\nCy\n");
  recordAll({"Ann"});
  EXPECT_EQ(fileBytes(save), "3\nAnn\nBob\nCy\nAnn\n");
  EXPECT_TRUE(transcriptHealthy());
  EXPECT_FALSE(leftovers());
}

TEST_F(TranscriptRecoveryTest, SaveReplacedByAFolderWarnsUntilTheFolderIsGone) {
  ASSERT_TRUE(openTranscript(save, &err)) << err;
  recordAll({"2", "Ann"});
  fs::remove(save);
  fs::create_directory(save);
  EXPECT_FALSE(recordAnswer("Bob", &err));
  EXPECT_EQ(err, "Impossible d'ecrire " + save + " : Is a directory");
  EXPECT_EQ(transcriptFailure(), "Is a directory");
  err.clear();
  recordAll({"Ann"});  // still failing: not reported again
  EXPECT_EQ(err, "");
  EXPECT_FALSE(transcriptHealthy());
  EXPECT_FALSE(leftovers());
  fs::remove(save);
  recordAll({"Bob"});
  EXPECT_TRUE(transcriptHealthy());
  EXPECT_EQ(transcriptFailure(), "");
  recordAll({"quit"});
  EXPECT_EQ(fileBytes(save), "2\nAnn\nBob\nAnn\nBob\nquit\n");
}

// --- a backup that could not be made is owed

TEST_F(TranscriptRecoveryTest, OwedBackupIsMadeBeforeSaveIsRebuilt) {
  writeFile(save, "2\nX\nY\n");
  fs::create_directory(backup);
  EXPECT_FALSE(openTranscript(save, &err));
  recordAll({"3", "Ann"});
  EXPECT_EQ(fileBytes(save), "2\nX\nY\n");
  fs::remove(backup);
  recordAll({"Bob"});
  EXPECT_EQ(fileBytes(backup), "2\nX\nY\n");
  EXPECT_EQ(fileBytes(save), "3\nAnn\nBob\n");
  recordAll({"Cy"});
  EXPECT_EQ(fileBytes(save), "3\nAnn\nBob\nCy\n");
  EXPECT_FALSE(leftovers());
}

// --- a replay written aside

TEST_F(TranscriptRecoveryTest, ReplayWhoseAsideFileVanishesKeepsTheLoadedSave) {
  writeFile(save, "2\nA\nB\n");
  ASSERT_TRUE(openTranscript(save, &err, true)) << err;
  recordAll({"2"});
  fs::remove(save + ".tmp");
  EXPECT_FALSE(recordAnswer("A", &err));
  recordAll({"B"});  // no rebuild while the replay goes on
  EXPECT_EQ(fileBytes(save), "2\nA\nB\n");
  EXPECT_TRUE(settleTranscript(&err)) << err;
  EXPECT_EQ(fileBytes(save), "2\nA\nB\n");
  recordAll({"A"});
  EXPECT_EQ(fileBytes(save), "2\nA\nB\nA\n");
  EXPECT_EQ(fileBytes(backup), "2\nA\nB\n");
  EXPECT_TRUE(transcriptHealthy());
  EXPECT_FALSE(leftovers());
}

// --- what the dialogue shows

class SavingStatusTest : public DialogueFixture {};

TEST_F(SavingStatusTest, WarningIsInTheBandAtEveryPromptUntilSaveIsBack) {
  ui.drawStatusLine = fakeStatus;
  const std::string warning =
      "warning:ATTENTION : le tournoi n'est plus sauvegarde (Is a directory)";
  FakeWindow& window = FakeWindow::get();
  // Answers: start, count, two names, then A beats B, cancel, acknowledge.
  window.beforeTyping[3] = [&] { fs::remove(save); fs::create_directory(save); };
  window.beforeTyping[6] = [&] { fs::remove(save); };
  run({"", "2", "A", "B", "A", "B", "annuler", "", "quit"});

  std::vector<std::string> band;
  for (const std::string& call : calls())
    if (call.rfind("warning:", 0) == 0 || call.rfind("status:", 0) == 0)
      band.push_back(call);
  // Red from the second name, whose write fails: at once, then with the
  // first turn's panels and their redraw once the winner is read; the
  // loser's answer still finds the folder. The cancel word rebuilds the
  // file: the band is emptied at once, then drawn empty with the panels
  // after it, at the next turn and after "quit".
  // From the first turn on, the band also names what F2 shows.
  const std::string f2 = std::string(kStatusSeparator) + "F2 : places possibles";
  EXPECT_EQ(band, (Lines{warning, warning + f2, warning + f2, warning + f2,
                         "status:" + f2.substr(3), "status:" + f2.substr(3),
                         "status:" + f2.substr(3), "status:" + f2.substr(3)}));
  EXPECT_EQ(fileBytes(save), "2\nA\nB\nA\nB\nannuler\n\nquit\n");
  EXPECT_EQ(err.str(), "Impossible d'ecrire " + save + " : Is a directory\n" +
                           kUnsavedWarning + "\n" +
                           "save.txt est de nouveau a jour : le tournoi est sauvegarde\n");
}

}  // namespace
