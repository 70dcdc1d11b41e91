// make_transcript.cpp: prints the save.txt of a whole tournament, for timing
// how long the program takes to load it.
//
//   make_transcript [PLAYERS [SEED [CANCELS]]]
//
// The lines are the ones the program records: the player count, "auto", then
// for every match in the order the program announces it the winner and the
// loser; a result entered the wrong way round first is followed by
// "annuler" and an empty acknowledgement before the right one. Every match is
// decided at the end.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "engine/participant.h"
#include "tournament_play.h"

int main(int argc, char** argv) {
  int count = argc > 1 ? std::atoi(argv[1]) : 100;
  uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1;
  int cancels = argc > 3 ? std::atoi(argv[3]) : 0;
  if (count < kMinPlayers || count > kMaxPlayers) {
    std::fprintf(stderr, "make_transcript: the player count must be 2 to 100\n");
    return 1;
  }
  std::vector<Participant> players = numberedPlayers(count);
  std::vector<PlayedResult> played;
  std::string err;
  if (!playWholeTournament(players, seed, cancels, &played, &err)) {
    std::fprintf(stderr, "make_transcript: %s\n", err.c_str());
    return 1;
  }
  std::string text = std::to_string(count) + "\nauto\n";
  for (const PlayedResult& r : played) {
    const std::string& winner = players[r.winner].name;
    const std::string& loser = players[r.loser].name;
    if (r.mistakeCancelled) text += loser + "\n" + winner + "\nannuler\n\n";
    text += winner + "\n" + loser + "\n";
  }
  std::cout << text;
  return 0;
}
