// replay_fuzzer.cpp: libFuzzer entry point; every input is a loaded save.txt.
//
// Run it through scripts/fuzz, which builds it with clang and feeds it the
// corpus and the dictionary of this folder.
#include <cstddef>
#include <cstdint>

#include "replay_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  runReplayInput(data, size);
  return 0;
}
