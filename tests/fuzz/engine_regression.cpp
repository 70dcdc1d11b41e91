// engine_regression.cpp: runs the engine harness without libFuzzer, so every
// test run checks it: over seeded random inputs, then over every file in the
// folders given (saved findings of engine_fuzzer).
//
// Usage: engine_regression [--inputs=N] [FOLDER...]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine_harness.h"

// As scripts/fuzz engine limits its inputs.
constexpr size_t kMaxInputBytes = 128;

int main(int argc, char** argv) {
  long inputs = 2000;
  std::vector<std::string> folders;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--inputs=", 9) == 0) {
      inputs = std::atol(argv[i] + 9);
    } else {
      folders.push_back(argv[i]);
    }
  }
  std::mt19937 random(20261207);
  size_t operations = 0;
  for (long i = 0; i < inputs; ++i) {
    std::vector<uint8_t> bytes(1 + random() % kMaxInputBytes);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    operations += runEngineInput(bytes.data(), bytes.size()).operations;
  }
  size_t files = 0;
  for (const std::string& folder : folders) {
    if (!std::filesystem::is_directory(folder)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().filename().string()[0] == '.') continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
      operations += runEngineInput(bytes.data(), bytes.size()).operations;
      ++files;
    }
  }
  std::printf("engine_regression: %ld random inputs and %zu saved ones, %zu operations, "
              "every promise kept\n", inputs, files, operations);
  return 0;
}
