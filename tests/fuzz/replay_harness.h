// replay_harness.h: one loaded save.txt run through the dialogue, no window.
//
// The bytes become replayBuffer and runTournament plays them out with a
// Frontend that draws nothing and whose keyboard reports the window closed,
// so the run ends when the replay runs out (or at a replayed "quit").
// Shared by the libFuzzer target and by the regression runner that replays
// the corpus and the saved crashes under the normal compiler.
//
// Resets every global of the program (resetProgramState) before
// the run. Never opens the transcript, so nothing is written to disk.
#pragma once

#include <cstddef>
#include <cstdint>

// What one run got through, for the runner's report.
struct ReplayFigures {
  int players = 0;      // highest player number prompted
  int turns = 0;        // times the winner was asked for
  size_t results = 0;   // final size of the match log
};

// Plays the bytes as a loaded transcript. Returns when the run ended as it
// should; prints what went wrong on standard error and aborts when the
// dialogue broke one of its promises (see replay_harness.cpp).
ReplayFigures runReplayInput(const uint8_t* data, size_t size);
