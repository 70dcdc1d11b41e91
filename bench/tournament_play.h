// tournament_play.h: whole tournaments played through the engine with a
// seeded generator, for the benchmarks and for making transcripts to load.
//
// Changes the match log and placeholderCounter (it rebuilds the tournament
// after every result to find the next match, as the main loop does).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/participant.h"

// Players 0 to count-1 named "1" to "count", as automatic naming makes them.
std::vector<Participant> numberedPlayers(int count);

// Players 0 to count-1 whose names are all different and exactly length bytes
// long (length must be at least 3), with no '(' and no space.
std::vector<Participant> longNamedPlayers(int count, size_t length);

// One entered result, as indices into the player list.
struct PlayedResult {
  int winner;
  int loser;
  // Entered the wrong way round first: (loser, winner) was appended and
  // cancelled just before this result.
  bool mistakeCancelled;
};

// Starts from an empty log and plays until no match is left: rebuild, take
// the first match to play, let the seeded coin choose its winner, append. About one result in seven (at most maxCancels in all) is first
// entered reversed and cancelled, so the log also holds dead entries.
// Returns false, with the reason in err, if the first match to play is not
// playable (which would mean the rebuild is wrong).
bool playWholeTournament(const std::vector<Participant>& players, uint32_t seed,
                         int maxCancels, std::vector<PlayedResult>* played,
                         std::string* err);

// Replays the first `count` results of played into a fresh match log,
// cancelled mistakes included.
void enterResults(const std::vector<Participant>& players,
                  const std::vector<PlayedResult>& played, size_t count);
