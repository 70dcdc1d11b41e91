// transcript.cpp: save.txt, its backup, and reading a saved file back whole.
//
// The transcript appends each answer to an open descriptor and forces it
// with fdatasync. Its health is failure: empty while saving works, else the
// reason. While it is set, every answer tries a rebuild: the backup first if
// it is still owed, then every answer of the run written aside and renamed
// over save.txt, which also resumes appending.
#include "control/transcript.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <vector>

#include "files/durable_file.h"

namespace {

struct Transcript {
  bool opened = false;      // openTranscript was called
  int fd = -1;              // the file written to, or -1
  dev_t device = 0;         // fd's identity, to notice a file replaced by hand
  ino_t inode = 0;
  off_t size = 0;           // bytes fd's file holds, all whole lines
  std::string path;         // save.txt
  std::string writtenPath;  // where fd writes: path, or path + ".tmp" aside
  bool aside = false;       // fd writes aside, not yet settled
  bool replaying = false;   // a replay is under way: no rebuilds yet
  std::string failure;      // why saving does not work; "" while it does
  std::string unforced;     // why the file system does not force; "" if it does
  bool backupOwed = false;  // the backup failed: made before any rebuild
  std::string backupContent;
  std::vector<std::string> answers;  // every answer recorded in this run
};

Transcript t;

// True when path names a regular file holding at least one byte, i.e. a
// saved tournament that opening the transcript would destroy.
bool holdsSavedBytes(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         info.st_size > 0;
}

void closeFd() {
  if (t.fd >= 0) ::close(t.fd);
  t.fd = -1;
}

// Takes fd as the file now written at writtenPath, holding size bytes.
void adopt(int fd, const std::string& writtenPath, off_t size) {
  closeFd();
  t.fd = fd;
  t.writtenPath = writtenPath;
  t.size = size;
  struct stat info;
  if (fstat(fd, &info) == 0) {
    t.device = info.st_dev;
    t.inode = info.st_ino;
  }
}

// Saving stops working for this reason; the descriptor is let go.
void fail(const std::string& reason) {
  t.failure = reason;
  closeFd();
}

// Takes note of what the last forcing said. False, with the message, when
// the file system has just started refusing: the answers still reach the
// file, but a power cut may take them.
bool noteForcing(const std::string& refused, const std::string& path, std::string* err) {
  const bool fresh = t.unforced.empty();
  t.unforced = refused;
  if (refused.empty() || !fresh) return true;
  *err = "Impossible de forcer " + path + " sur le disque : " + refused;
  return false;
}

// True while writtenPath still names the file fd writes to. A save file
// removed or replaced by hand would otherwise swallow every later answer.
bool stillNamed(std::string* reason) {
  struct stat named;
  if (stat(t.writtenPath.c_str(), &named) != 0) {
    *reason = systemReason(errno);
    return false;
  }
  if (named.st_dev == t.device && named.st_ino == t.inode) return true;
  *reason = S_ISDIR(named.st_mode) ? systemReason(EISDIR)
                                   : t.writtenPath + " a ete remplace";
  return false;
}

std::string wholeTranscript() {
  std::string content;
  for (const std::string& answer : t.answers) content += answer + '\n';
  return content;
}

// Writes the owed backup, then every answer of the run over save.txt, and
// appends to it from then on. False, with failure set, when a step fails.
bool rebuild() {
  std::string reason, refused, ignored;
  if (t.backupOwed) {
    if (!replaceDurably(t.path + ".bak", t.backupContent, "backup-data",
                        "backup-folder", nullptr, &reason, &refused)) {
      fail(reason);
      return false;
    }
    t.backupOwed = false;
    t.backupContent.clear();
  }
  // Only a regular file (or nothing) is replaced: never a folder or a device.
  struct stat info;
  if (lstat(t.path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    fail(systemReason(S_ISDIR(info.st_mode) ? EISDIR : EINVAL));
    return false;
  }
  const std::string content = wholeTranscript();
  int fd = -1;
  if (!replaceDurably(t.path, content, "rewrite-data", "rewrite-folder", &fd, &reason,
                      &refused)) {
    fail(reason);
    return false;
  }
  adopt(fd, t.path, static_cast<off_t>(content.size()));
  t.aside = false;
  t.failure.clear();
  noteForcing(refused, t.path, &ignored);
  return true;
}

// Appends one line; on a failed write the file is cut back to its whole
// lines. False with the message for the operator.
bool append(const std::string& line, std::string* err) {
  std::string reason;
  if (!stillNamed(&reason)) {
    fail(reason);
    if (!t.aside && rebuild()) return true;
    *err = "Impossible d'ecrire " + t.path + " : " + t.failure;
    return false;
  }
  if (!writeAll(t.fd, line, &reason)) {
    if (ftruncate(t.fd, t.size) != 0) {
      // The cut itself failed: the rebuild replaces the file anyway.
    }
    *err = "Impossible d'ecrire " + t.writtenPath + " : " + reason;
    fail(reason);
    return false;
  }
  std::string refused;
  if (!t.aside && !forceData(t.fd, "answer", &reason, &refused)) {
    *err = "Impossible de forcer " + t.writtenPath + " sur le disque : " + reason;
    fail(reason);
    return false;
  }
  t.size += static_cast<off_t>(line.size());
  return t.aside || noteForcing(refused, t.writtenPath, err);
}

// Opens target, emptying it. A file emptied in place is forced empty, and a
// new name is forced into its folder, before the first question is asked.
bool openTarget(const std::string& target, bool aside, std::string* err) {
  int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    int error = errno;
    // Opening a directory for writing gives EISDIR; anything else is kept.
    *err = "Impossible d'ouvrir " + target + " : " + systemReason(error);
    fail(systemReason(error));
    return false;
  }
  adopt(fd, target, 0);
  struct stat info;
  std::string reason, refused;
  if (aside || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return true;
  if (!forceData(fd, "truncate", &reason, &refused) ||
      !forceFolderOf(target, "truncate", &reason, &refused)) {
    *err = "Impossible d'ecrire " + target + " : " + reason;
    fail(reason);
    return false;
  }
  return noteForcing(refused, target, err);
}

}  // namespace

bool openTranscript(const std::string& path, std::string* err, bool replaying) {
  closeTranscript();
  t.opened = true;
  t.path = path;
  t.replaying = replaying;
  // The saved tournament is kept in the backup before the file is emptied.
  // If it cannot be kept, the file is left alone and the run goes on without
  // a transcript until the backup can be made.
  if (holdsSavedBytes(path)) {
    // A refusal to force shows again when save.txt is opened, on the same
    // file system; it is reported there.
    std::string content, reason, refused;
    if (!readWholeFile(path, &content, &reason) ||
        !replaceDurably(path + ".bak", content, "backup-data", "backup-folder",
                        nullptr, &reason, &refused)) {
      *err = "Impossible de copier " + path + " vers " + path + ".bak : " + reason;
      t.backupOwed = true;
      t.backupContent = std::move(content);
      fail(reason);
      return false;
    }
  }
  t.aside = replaying;
  return openTarget(replaying ? path + ".tmp" : path, replaying, err);
}

bool settleTranscript(std::string* err) {
  t.replaying = false;
  if (!t.aside) return true;
  t.aside = false;
  const std::string from = t.writtenPath;
  // A failed write has already been reported; save.txt then stays as loaded
  // until a rebuild replaces it.
  if (!t.failure.empty()) {
    ::unlink(from.c_str());
    return true;
  }
  std::string reason, refused;
  // The descriptor stays open: after the rename it goes on writing to the
  // same file, now under its real name.
  if (!forceData(t.fd, "replay-data", &reason, &refused)) {
    *err = "Impossible de forcer " + from + " sur le disque : " + reason;
  } else if (::rename(from.c_str(), t.path.c_str()) != 0) {
    reason = systemReason(errno);
    *err = "Impossible de renommer " + from + " : " + reason;
  } else {
    t.writtenPath = t.path;
    if (forceFolderOf(t.path, "replay-folder", &reason, &refused))
      return noteForcing(refused, t.path, err);
    *err = "Impossible d'ecrire " + t.path + " : " + reason;
    fail(reason);
    return false;
  }
  fail(reason);
  ::unlink(from.c_str());
  return false;
}

bool recordAnswer(const std::string& text, std::string* err) {
  if (!t.opened) return true;
  t.answers.push_back(text);
  if (!t.failure.empty()) {
    if (!t.replaying) rebuild();
    return true;
  }
  return append(text + '\n', err);
}

bool transcriptHealthy() { return t.fd >= 0 && t.failure.empty() && t.unforced.empty(); }

std::string transcriptFailure() { return t.failure.empty() ? t.unforced : t.failure; }

void closeTranscript() {
  closeFd();
  t = Transcript();
}

bool readWholeFile(const std::string& path, std::string* content, std::string* err) {
  // Opening a directory for reading succeeds on some systems; refuse it here
  // with the reason a read would give.
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    *err = systemReason(EISDIR);
    return false;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    *err = systemReason(errno);
    return false;
  }
  std::string bytes;
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
    bytes.append(chunk, static_cast<size_t>(in.gcount()));
  if (in.bad()) {
    *err = systemReason(errno);
    return false;
  }
  *content = std::move(bytes);
  return true;
}
