// durable_file.cpp: see durable_file.h.
#include "control/durable_file.h"

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

bool forceData(int fd, const char* step, std::string* err) {
  if (!forcingStep(step)) return true;
  if (::fdatasync(fd) == 0) return true;
  *err = systemReason(errno);
  return false;
}

bool forceFolderOf(const std::string& path, const char* step, std::string* err) {
  if (!forcingStep(step)) return true;
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    *err = systemReason(errno);
    return false;
  }
  bool forced = ::fsync(fd) == 0;
  if (!forced) *err = systemReason(errno);
  ::close(fd);
  return forced;
}

bool replaceDurably(const std::string& path, const std::string& content,
                    const char* dataStep, const char* folderStep, int* fdOut,
                    std::string* err) {
  const std::string aside = path + ".tmp";
  int fd = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    *err = systemReason(errno);
    return false;
  }
  bool done = writeAll(fd, content, err) && forceData(fd, dataStep, err);
  if (done && ::rename(aside.c_str(), path.c_str()) != 0) {
    *err = systemReason(errno);
    done = false;
  }
  if (!done) {
    ::close(fd);
    ::unlink(aside.c_str());
    return false;
  }
  // The new name is in place; a failure to force the folder leaves it there
  // but not yet safe from a power cut, which is still a failure to report.
  bool forced = forceFolderOf(path, folderStep, err);
  if (fdOut != nullptr && forced) {
    *fdOut = fd;
  } else {
    ::close(fd);
  }
  return forced;
}
