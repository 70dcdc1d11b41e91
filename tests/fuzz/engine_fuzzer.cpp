// engine_fuzzer.cpp: libFuzzer entry point for the engine alone; see
// engine_harness.h. Run it through scripts/fuzz engine.
#include <cstddef>
#include <cstdint>

#include "engine_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  runEngineInput(data, size);
  return 0;
}
