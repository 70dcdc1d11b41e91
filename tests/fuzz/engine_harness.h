// engine_harness.h: the engine alone, driven by fuzz bytes: a player count
// from 2 to 100 (up to 24 for seven eighths of the first byte's values, and
// 16 operations at most above that), then results of matches to play,
// results between any two players (or nobody), cancels of the newest
// result, cancels of an older one, corrections (an older result cancelled
// and its reverse logged), withdrawals of any player (or nobody, or one
// withdrawn already) and withdrawals taken back.
//
// After every operation the tournament is rebuilt and must keep the
// promises of tournament_checks.h and those of withdrawals (see
// withdrawalProblem in engine_harness.cpp); a withdrawal taken straight
// back must restore the state before it. At the end, a fresh log and list
// of withdrawals given the same operations must rebuild to the same
// tournament. Resets the match log and placeholderCounter; prints what went
// wrong and aborts on a broken promise.
#pragma once

#include <cstddef>
#include <cstdint>

// What one input did, for the regression runner's report.
struct EngineFigures {
  int players = 0;
  size_t operations = 0;
};

EngineFigures runEngineInput(const uint8_t* data, size_t size);
