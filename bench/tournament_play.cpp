// tournament_play.cpp: see tournament_play.h.
#include "tournament_play.h"

#include <random>

#include "control/program_state.h"
#include "engine/match_log.h"
#include "engine/tournament_state.h"

namespace {

MatchRecord recordOf(const std::vector<Participant>& players, int winner, int loser) {
  return MatchRecord{players[winner], players[loser]};
}

}  // namespace

std::vector<Participant> numberedPlayers(int count) {
  std::vector<Participant> players;
  for (int k = 0; k < count; ++k) players.push_back(Participant{k, std::to_string(k + 1)});
  return players;
}

std::vector<Participant> longNamedPlayers(int count, size_t length) {
  std::vector<Participant> players;
  for (int k = 0; k < count; ++k) {
    std::string number = std::to_string(k + 1);
    std::string name(length - number.size(), 'a' + k % 26);
    players.push_back(Participant{k, name + number});
  }
  return players;
}

bool playWholeTournament(const std::vector<Participant>& players, uint32_t seed,
                         int maxCancels, std::vector<PlayedResult>* played,
                         std::string* err) {
  std::mt19937 coin(seed);
  int cancels = 0;
  resetProgramState();
  played->clear();
  for (;;) {
    const TournamentState state = computeTournament(players, resultLog());
    if (state.toPlay.empty()) return true;
    const MatchToPlay& first = state.toPlay.front();
    if (!first.playable) {
      *err = "the first match to play waits for " + first.first.name + " vs " +
             first.second.name;
      return false;
    }
    PlayedResult result{first.first.id, first.second.id, false};
    if (coin() % 2) std::swap(result.winner, result.loser);
    if (cancels < maxCancels && coin() % 7 == 0) {
      appendResult(recordOf(players, result.loser, result.winner));
      cancelLastResult();
      result.mistakeCancelled = true;
      ++cancels;
    }
    appendResult(recordOf(players, result.winner, result.loser));
    played->push_back(result);
  }
}

void enterResults(const std::vector<Participant>& players,
                  const std::vector<PlayedResult>& played, size_t count) {
  resetProgramState();
  for (size_t i = 0; i < count && i < played.size(); ++i) {
    const PlayedResult& r = played[i];
    if (r.mistakeCancelled) {
      appendResult(recordOf(players, r.loser, r.winner));
      cancelLastResult();
    }
    appendResult(recordOf(players, r.winner, r.loser));
  }
}
