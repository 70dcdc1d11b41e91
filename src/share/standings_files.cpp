// standings_files.cpp: see standings_files.h.
#include "share/standings_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

// Never destroyed: a server worker still answering while the process
// exits may read it after static destructors have run.
struct Published {
  std::mutex mutex;
  std::shared_ptr<const SharedStandings> standings;
};
Published& published() {
  static Published* board = new Published;
  return *board;
}

std::string failure(const std::string& name, int error) {
  return "Impossible d'ecrire " + name + " : " + std::strerror(error);
}

bool writeAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

// No fsync: both files are made again from the save file at every turn, and
// a flush per turn would cost more than the rendering itself.
bool replaceFile(const std::string& folder, const std::string& name,
                 const std::string& bytes, std::string* err) {
  const std::string path = folder.empty() ? name : folder + "/" + name;
  const std::string temporary = path + ".tmp";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    *err = failure(name, errno);
    return false;
  }
  bool written = writeAll(fd, bytes);
  int error = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  if (written) error = errno;
  *err = failure(name, error);
  ::unlink(temporary.c_str());
  return false;
}

bool writeStandingsFiles(const std::string& folder, const SharedStandings& standings,
                         std::string* err) {
  std::string pageError, sheetError;
  const bool page = replaceFile(folder, kPageFile, standings.page, &pageError);
  const bool sheet = replaceFile(folder, kSheetFile, standings.csv, &sheetError);
  if (!page) *err = pageError;
  else if (!sheet) *err = sheetError;
  return page && sheet;
}

void publishStandings(std::shared_ptr<const SharedStandings> standings) {
  std::lock_guard<std::mutex> lock(published().mutex);
  published().standings = std::move(standings);
}

std::shared_ptr<const SharedStandings> latestStandings() {
  std::lock_guard<std::mutex> lock(published().mutex);
  return published().standings;
}

void resetPublishedStandings() { publishStandings(nullptr); }
