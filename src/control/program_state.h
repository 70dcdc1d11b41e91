// program_state.h: one way to put every global of the program back to its
// start value, for tests, the fuzzer and the benchmarks, which run many
// dialogues or tournaments in one process.
#pragma once

// Empties the match log, the panels, replayBuffer, the status line (with
// its sharing notes) and the published standings, puts placeholderCounter
// back to 100, the panel view back to its first row and the standings, and
// closes the transcript.
void resetProgramState();
