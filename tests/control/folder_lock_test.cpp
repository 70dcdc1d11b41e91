#include "control/folder_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "control_test_util.h"

namespace {

class FolderLockTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int fd : held)
      if (fd >= 0) close(fd);
  }

  FolderLock lock() {
    int fd = -1;
    FolderLock result = lockFolder(path, &fd);
    held.push_back(fd);
    return result;
  }

  // A child process that takes the lock, says so through a pipe, then
  // sleeps until it is killed.
  pid_t holderProcess() {
    int ready[2];
    EXPECT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
      int fd;
      char said = lockFolder(path, &fd) == FolderLock::kTaken ? 'y' : 'n';
      if (write(ready[1], &said, 1) != 1) _exit(2);
      for (;;) pause();
    }
    close(ready[1]);
    char said = 0;
    EXPECT_EQ(read(ready[0], &said, 1), 1);
    close(ready[0]);
    EXPECT_EQ(said, 'y');
    return child;
  }

  ScratchDir dir;
  std::string path = dir.file(kLockFile);
  std::vector<int> held;
};

TEST_F(FolderLockTest, SecondOpenInTheSameProcessFindsTheFolderBusy) {
  EXPECT_EQ(lock(), FolderLock::kTaken);
  EXPECT_EQ(lock(), FolderLock::kBusy);
  EXPECT_EQ(held.back(), -1);
}

TEST_F(FolderLockTest, LockOfAKilledProgramIsReleasedBySystem) {
  pid_t child = holderProcess();
  EXPECT_EQ(lock(), FolderLock::kBusy);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(lock(), FolderLock::kTaken);
}

TEST_F(FolderLockTest, ExistingLockFileKeepsItsContent) {
  writeFile(path, "left by an older run\n");
  EXPECT_EQ(lock(), FolderLock::kTaken);
  EXPECT_EQ(fileBytes(path), "left by an older run\n");
}

TEST_F(FolderLockTest, MissingFolderGivesNoLockRatherThanBusy) {
  int fd = 0;
  EXPECT_EQ(lockFolder(dir.file("missing/") + kLockFile, &fd), FolderLock::kNone);
  EXPECT_EQ(fd, -1);
}

}  // namespace
