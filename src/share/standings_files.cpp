// standings_files.cpp: see standings_files.h.
#include "share/standings_files.h"

#include <mutex>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <utility>

#include "files/durable_file.h"
#include "views/json.h"
#include "views/page.h"
#include "views/screen.h"
#include "views/sheet.h"

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

// No fsync: the files are made again from the save file at every turn.
bool writeOne(const std::string& folder, const std::string& name, const std::string& bytes,
              std::string* err) {
  std::string reason;
  if (replaceFile(folder.empty() ? name : folder + "/" + name, bytes, &reason)) return true;
  *err = "Impossible d'ecrire " + name + " : " + reason;
  return false;
}

}  // namespace

SharedStandings renderStandings(const TournamentState& state,
                                const std::vector<MatchRecord>& log,
                                const TableAssignment& tables) {
  return SharedStandings{renderPage(state, log, tables), renderCsv(state),
                         renderJson(state, log, tables), renderScreen(state, log, tables)};
}

bool writeStandingsFiles(const std::string& folder, const SharedStandings& standings,
                         std::string* err) {
  const std::pair<const char*, const std::string*> files[] = {
      {kPageFile, &standings.page},
      {kSheetFile, &standings.csv},
      {kScreenFile, &standings.screen},
  };
  bool all = true;
  for (const auto& file : files) {
    std::string reason;
    if (writeOne(folder, file.first, *file.second, &reason)) continue;
    if (all) *err = reason;
    all = false;
  }
  return all;
}

void keepRenderingMemory() {
#ifdef __GLIBC__
  // Setting either turns glibc's own adjustment of both off.
  mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
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
