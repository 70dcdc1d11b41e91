// transcript.cpp: save.txt, its backup, and reading a saved file back whole.
//
// The transcript's health lives in the stream itself: a failed open leaves it
// closed, a failed write leaves it in the failed state, and recordAnswer
// skips a stream in either condition. So the warning for a failed write is
// printed by the one call that fails, and never again.
#include "control/transcript.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

std::ofstream transcript;

namespace {

// While a replayed transcript is written aside: where it is, and where it
// goes once settled. Both empty otherwise.
std::string asidePath;
std::string settledPath;
// The file transcript writes to, for failure messages.
std::string writtenPath;

// The system's text for an error number; a stream that failed without
// setting errno is reported as an input/output error.
std::string systemReason(int error) {
  return std::strerror(error != 0 ? error : EIO);
}

// True when path names a regular file holding at least one byte, i.e. a
// saved tournament that opening the transcript would destroy.
bool holdsSavedBytes(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         info.st_size > 0;
}

// Copies the file byte for byte, replacing whatever `to` held.
bool copyFile(const std::string& from, const std::string& to, std::string* err) {
  std::string content;
  if (!readWholeFile(from, &content, err)) return false;
  errno = 0;
  std::ofstream copy(to, std::ios::binary | std::ios::trunc);
  if (!copy.is_open()) {
    *err = systemReason(errno);
    return false;
  }
  copy.write(content.data(), static_cast<std::streamsize>(content.size()));
  copy.close();
  if (copy.fail()) {
    *err = systemReason(errno);
    return false;
  }
  return true;
}

}  // namespace

bool openTranscript(const std::string& path, std::string* err, bool replaying) {
  if (transcript.is_open()) transcript.close();
  transcript.clear();
  asidePath.clear();
  settledPath.clear();
  // The saved tournament is kept in the backup before the file is emptied.
  // If it cannot be kept, the file is left alone and the run goes on without
  // a transcript: losing this run's answers is better than losing the old.
  if (holdsSavedBytes(path)) {
    std::string reason;
    if (!copyFile(path, path + ".bak", &reason)) {
      *err = "Impossible de copier " + path + " vers " + path + ".bak : " + reason;
      return false;
    }
  }
  const std::string target = replaying ? path + ".tmp" : path;
  errno = 0;
  transcript.open(target, std::ios::out | std::ios::trunc);
  if (!transcript.is_open()) {
    *err = "Impossible d'ouvrir " + target + " : " + systemReason(errno);
    return false;
  }
  writtenPath = target;
  if (replaying) {
    asidePath = target;
    settledPath = path;
  }
  return true;
}

bool settleTranscript(std::string* err) {
  if (asidePath.empty()) return true;
  const std::string from = asidePath;
  asidePath.clear();
  // The stream stays open: after the rename it goes on writing to the same
  // file, now under its real name.
  transcript.flush();
  // A failed write has already been reported; save.txt then stays as loaded.
  if (!transcript.good()) {
    transcript.close();
    return true;
  }
  errno = 0;
  if (std::rename(from.c_str(), settledPath.c_str()) != 0) {
    *err = "Impossible de renommer " + from + " : " + systemReason(errno);
    transcript.close();
    return false;
  }
  writtenPath = settledPath;
  return true;
}

bool recordAnswer(const std::string& text, std::string* err) {
  if (!transcriptHealthy()) return true;
  errno = 0;
  transcript << text << '\n';
  transcript.flush();
  if (transcript.good()) return true;
  *err = "Impossible d'ecrire " + writtenPath + " : " + systemReason(errno);
  return false;
}

bool transcriptHealthy() { return transcript.is_open() && transcript.good(); }

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
