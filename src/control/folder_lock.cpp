// folder_lock.cpp: see folder_lock.h.
#include "control/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

FolderLock lockFolder(const std::string& path, int* fd) {
  *fd = -1;
  int lock = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  // A read-only folder that already holds the lock file can still be locked.
  if (lock < 0) lock = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (lock < 0) return FolderLock::kNone;
  int taken;
  do {
    taken = ::flock(lock, LOCK_EX | LOCK_NB);
  } while (taken != 0 && errno == EINTR);
  if (taken == 0) {
    *fd = lock;
    return FolderLock::kTaken;
  }
  const bool busy = errno == EWOULDBLOCK;
  ::close(lock);
  return busy ? FolderLock::kBusy : FolderLock::kNone;
}
