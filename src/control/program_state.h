// program_state.h: one way to put every global of the program back to its
// start value, for tests, the fuzzer and the benchmarks, which run many
// dialogues or tournaments in one process.
#pragma once

// Empties the match log, the panels, replayBuffer and the published
// standings, puts placeholderCounter back to 100, and closes the
// transcript. (The view of the panels and the status band belong to each
// run of the dialogue.)
void resetProgramState();
