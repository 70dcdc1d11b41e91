#include "control/transcript.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "control_test_util.h"

namespace {

class TranscriptTest : public ::testing::Test {
 protected:
  void TearDown() override {
    closeTranscript();
  }

  bool exists(const std::string& path) { return std::filesystem::exists(path); }

  ScratchDir dir;
  std::string save = dir.file("save.txt");
  std::string backup = dir.file("save.txt.bak");
  std::string content, err;
};

// --- reading a saved file back

TEST_F(TranscriptTest, WholeFileComesBackByteForByte) {
  const std::string bytes("3\r\nAnn\r\n\xE9t\xE9\r\n\0x\r\n", 17);
  writeFile(save, bytes);
  ASSERT_TRUE(readWholeFile(save, &content, &err)) << err;
  EXPECT_EQ(content, bytes);
}

TEST_F(TranscriptTest, EmptyFileReadsAsEmpty) {
  writeFile(save, "");
  content = "stale";
  ASSERT_TRUE(readWholeFile(save, &content, &err)) << err;
  EXPECT_EQ(content, "");
}

TEST_F(TranscriptTest, MissingFileFailsWithTheSystemReason) {
  EXPECT_FALSE(readWholeFile(save, &content, &err));
  EXPECT_EQ(err, "No such file or directory");
}

TEST_F(TranscriptTest, DirectoryFailsCleanly) {
  std::filesystem::create_directory(save);
  EXPECT_FALSE(readWholeFile(save, &content, &err));
  EXPECT_EQ(err, "Is a directory");
}

TEST_F(TranscriptTest, UnreadableFileFailsWithTheSystemReason) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads a file whatever its mode";
  writeFile(save, "3\n");
  chmod(save.c_str(), 0);
  EXPECT_FALSE(readWholeFile(save, &content, &err));
  EXPECT_EQ(err, "Permission denied");
}

// --- opening: the backup, then an empty file

TEST_F(TranscriptTest, SavedTournamentIsBackedUpBeforeTheFileIsEmptied) {
  const std::string bytes = "2\r\nAnn\nBob\n\xE9\n";
  writeFile(save, bytes);
  ASSERT_TRUE(openTranscript(save, &err)) << err;
  EXPECT_EQ(fileBytes(backup), bytes);
  EXPECT_EQ(fileBytes(save), "");
  EXPECT_TRUE(transcriptHealthy());
}

TEST_F(TranscriptTest, EmptyFileMakesNoBackup) {
  writeFile(save, "");
  ASSERT_TRUE(openTranscript(save, &err)) << err;
  EXPECT_FALSE(exists(backup));
}

TEST_F(TranscriptTest, MissingFileIsCreatedWithoutBackup) {
  ASSERT_TRUE(openTranscript(save, &err)) << err;
  EXPECT_TRUE(exists(save));
  EXPECT_FALSE(exists(backup));
}

TEST_F(TranscriptTest, OlderBackupIsReplacedWhole) {
  writeFile(backup, "an older and much longer tournament\n");
  writeFile(save, "2\nA\n");
  ASSERT_TRUE(openTranscript(save, &err)) << err;
  EXPECT_EQ(fileBytes(backup), "2\nA\n");
}

TEST_F(TranscriptTest, EmptyFileLeavesAnOlderBackupAlone) {
  writeFile(backup, "2\nA\n");
  writeFile(save, "");
  ASSERT_TRUE(openTranscript(save, &err)) << err;
  EXPECT_EQ(fileBytes(backup), "2\nA\n");
}

// --- a loaded tournament is rewritten aside while it is replayed

TEST_F(TranscriptTest, ReplayedTranscriptTakesThePlaceOfTheSaveWhenSettled) {
  writeFile(save, "2\nA\nB\n");
  ASSERT_TRUE(openTranscript(save, &err, true)) << err;
  EXPECT_EQ(fileBytes(backup), "2\nA\nB\n");
  EXPECT_TRUE(recordAnswer("2", &err)) << err;
  EXPECT_TRUE(recordAnswer("A", &err)) << err;
  EXPECT_EQ(fileBytes(save), "2\nA\nB\n");
  EXPECT_TRUE(settleTranscript(&err)) << err;
  EXPECT_EQ(fileBytes(save), "2\nA\n");
  EXPECT_TRUE(recordAnswer("B", &err)) << err;
  EXPECT_TRUE(recordAnswer("C", &err)) << err;
  EXPECT_EQ(fileBytes(save), "2\nA\nB\nC\n");
  EXPECT_FALSE(exists(save + ".tmp"));
  EXPECT_TRUE(settleTranscript(&err)) << err;  // a second settle changes nothing
  EXPECT_EQ(fileBytes(save), "2\nA\nB\nC\n");
}

TEST_F(TranscriptTest, RunCutDuringAReplayLeavesTheSaveForTheNextStart) {
  writeFile(save, "4\nA\nB\nC\nD\nA\nB\n");
  ASSERT_TRUE(openTranscript(save, &err, true)) << err;
  EXPECT_TRUE(recordAnswer("4", &err)) << err;
  EXPECT_TRUE(recordAnswer("A", &err)) << err;
  closeTranscript();  // the process dies before the replay is over
  ASSERT_TRUE(openTranscript(save, &err)) << err;
  EXPECT_EQ(fileBytes(backup), "4\nA\nB\nC\nD\nA\nB\n");
}

TEST_F(TranscriptTest, UnwritablePathFailsWithTheReason) {
  std::string nowhere = dir.file("missing/save.txt");
  EXPECT_FALSE(openTranscript(nowhere, &err));
  EXPECT_EQ(err, "Impossible d'ouvrir " + nowhere + " : No such file or directory");
  EXPECT_FALSE(transcriptHealthy());
}

TEST_F(TranscriptTest, FailedBackupKeepsTheSavedTournamentAndOpensNothing) {
  writeFile(save, "3\nAnn\n");
  std::filesystem::create_directory(backup);
  CerrCapture cerr;
  EXPECT_FALSE(openTranscript(save, &err));
  EXPECT_EQ(err, "Impossible de copier " + save + " vers " + backup +
                     " : Is a directory");
  EXPECT_FALSE(transcriptHealthy());
  EXPECT_TRUE(recordAnswer("4", &err)) << err;
  EXPECT_EQ(fileBytes(save), "3\nAnn\n");
  EXPECT_EQ(cerr.text(), "");
}

TEST_F(TranscriptTest, ReopeningAfterAFailureStartsHealthy) {
  EXPECT_FALSE(openTranscript(dir.file("missing/save.txt"), &err));
  ASSERT_TRUE(openTranscript(save, &err)) << err;
  EXPECT_TRUE(transcriptHealthy());
}

// --- recording answers

TEST_F(TranscriptTest, EachAnswerIsOnDiskAsALineWhenRecordReturns) {
  ASSERT_TRUE(openTranscript(save, &err)) << err;
  EXPECT_TRUE(recordAnswer("3", &err)) << err;
  EXPECT_EQ(fileBytes(save), "3\n");
  EXPECT_TRUE(recordAnswer("", &err)) << err;
  EXPECT_TRUE(recordAnswer("\xE9lise", &err)) << err;
  EXPECT_EQ(fileBytes(save), "3\n\n\xE9lise\n");
}

TEST_F(TranscriptTest, FailedWriteIsReportedOnceAndMarksTheTranscriptUnhealthy) {
  CerrCapture cerr;
  ASSERT_TRUE(openTranscript("/dev/full", &err)) << err;
  EXPECT_FALSE(recordAnswer("3", &err));
  EXPECT_EQ(err, "Impossible d'ecrire /dev/full : No space left on device");
  err.clear();
  EXPECT_TRUE(recordAnswer("Ann", &err));
  EXPECT_EQ(err, "");
  EXPECT_FALSE(transcriptHealthy());
  EXPECT_EQ(cerr.text(), "");
}

TEST_F(TranscriptTest, NeverOpenedTranscriptIsSkippedSilently) {
  CerrCapture cerr;
  EXPECT_TRUE(recordAnswer("3", &err));
  EXPECT_EQ(cerr.text(), "");
}

}  // namespace
