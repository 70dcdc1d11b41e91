// replay_regression.cpp: replays every saved fuzz input through the harness.
//
// Usage: replay_regression [--max-seconds=S] PATH...
// Each PATH is a file or a folder whose files are taken in name order (a
// missing PATH is skipped, so an empty crashes/ folder may be absent). An
// input that breaks a promise aborts the run (its name is printed first); an
// input that takes longer than S seconds (default 2) fails it at the end.
// Built with the normal compiler, so the corpus and the crash reproducers are
// checked by every test run, with or without clang.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "replay_harness.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputsOf(const std::vector<std::string>& paths) {
  std::vector<fs::path> files;
  for (const std::string& p : paths) {
    if (!fs::exists(p)) {
      std::fprintf(stderr, "no %s, skipped\n", p.c_str());
      continue;
    }
    if (!fs::is_directory(p)) {
      files.emplace_back(p);
      continue;
    }
    std::vector<fs::path> inFolder;
    for (const fs::directory_entry& e : fs::directory_iterator(p))
      if (e.is_regular_file() && e.path().filename().string()[0] != '.')
        inFolder.push_back(e.path());
    std::sort(inFolder.begin(), inFolder.end());
    files.insert(files.end(), inFolder.begin(), inFolder.end());
  }
  return files;
}

bool readFile(const fs::path& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  double maxSeconds = 2.0;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--max-seconds=", 0) == 0)
      maxSeconds = std::atof(arg.c_str() + 14);
    else
      paths.push_back(arg);
  }

  int slow = 0;
  int missing = 0;
  double slowest = 0;
  std::string slowestName;
  std::vector<fs::path> files = inputsOf(paths);
  for (const fs::path& file : files) {
    std::string bytes;
    if (!readFile(file, &bytes)) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      ++missing;
      continue;
    }
    std::fprintf(stderr, "%s (%zu bytes): ", file.c_str(), bytes.size());
    auto start = std::chrono::steady_clock::now();
    ReplayFigures figures = runReplayInput(
        reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "%d players, %d turns, %zu results, %.3f s\n",
                 figures.players, figures.turns, figures.results, took.count());
    if (took.count() > slowest) {
      slowest = took.count();
      slowestName = file.string();
    }
    if (took.count() > maxSeconds) {
      std::fprintf(stderr, "  too slow: %.3f s\n", took.count());
      ++slow;
    }
  }

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%zu inputs, slowest %.3f s (%s), peak RSS %ld MB\n", files.size(),
              slowest, slowestName.c_str(), usage.ru_maxrss / 1024);
  if (files.empty()) {
    std::fprintf(stderr, "no inputs\n");
    return 1;
  }
  return slow == 0 && missing == 0 ? 0 : 1;
}
