// durable_file.cpp: see durable_file.h.
#include "files/durable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string systemReason(int error) { return std::strerror(error != 0 ? error : EIO); }

bool forcingStep(const char* step) {
#ifdef BRACKORA_FORCING_SWITCHES
  // A comma-separated list of the steps to leave out, e.g. "answer,backup-folder".
  const char* skipped = std::getenv("BRACKORA_SKIP_FORCING");
  if (skipped == nullptr) return true;
  const std::string list = std::string(",") + skipped + ",";
  return list.find(std::string(",") + step + ",") == std::string::npos;
#else
  (void)step;
  return true;
#endif
}

bool writeAll(int fd, const std::string& bytes, std::string* err) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *err = systemReason(n < 0 ? errno : ENOSPC);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

namespace {

// The result of one fsync or fdatasync: true when it forced the data or when
// the file system does not force at all (noted in refused).
bool forced(int result, std::string* err, std::string* refused) {
  if (result == 0) return true;
  const int error = errno;
  if (error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP) {
    *refused = systemReason(error);
    return true;
  }
  *err = systemReason(error);
  return false;
}

}  // namespace

bool forceData(int fd, const char* step, std::string* err, std::string* refused) {
  if (!forcingStep(step)) return true;
  return forced(::fdatasync(fd), err, refused);
}

bool forceFolderOf(const std::string& path, const char* step, std::string* err,
                   std::string* refused) {
  if (!forcingStep(step)) return true;
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    *err = systemReason(errno);
    return false;
  }
  bool done = forced(::fsync(fd), err, refused);
  ::close(fd);
  return done;
}

namespace {

// Writes content to path + ".tmp", forced to the disk unless dataStep is
// null, and renames it over path. On success returns the still open
// descriptor; on failure removes the temporary file.
bool writeAsideAndRename(const std::string& path, const std::string& content,
                         const char* dataStep, int* fd, std::string* err,
                         std::string* refused) {
  const std::string aside = path + ".tmp";
  *fd = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (*fd < 0) {
    *err = systemReason(errno);
    return false;
  }
  bool done = writeAll(*fd, content, err) &&
              (dataStep == nullptr || forceData(*fd, dataStep, err, refused));
  if (done && ::rename(aside.c_str(), path.c_str()) != 0) {
    *err = systemReason(errno);
    done = false;
  }
  if (!done) {
    ::close(*fd);
    ::unlink(aside.c_str());
  }
  return done;
}

}  // namespace

bool replaceDurably(const std::string& path, const std::string& content,
                    const char* dataStep, const char* folderStep, int* fdOut,
                    std::string* err, std::string* refused) {
  int fd = -1;
  if (!writeAsideAndRename(path, content, dataStep, &fd, err, refused)) return false;
  // The new name is in place; a failure to force the folder leaves it there
  // but not yet safe from a power cut, which is still a failure to report.
  bool folderForced = forceFolderOf(path, folderStep, err, refused);
  if (fdOut != nullptr && folderForced) {
    *fdOut = fd;
  } else {
    ::close(fd);
  }
  return folderForced;
}

bool replaceFile(const std::string& path, const std::string& content, std::string* err) {
  int fd = -1;
  std::string refused;
  if (!writeAsideAndRename(path, content, nullptr, &fd, err, &refused)) return false;
  if (::close(fd) == 0) return true;
  *err = systemReason(errno);
  return false;
}
