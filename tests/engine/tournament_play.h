// tournament_play.h: helpers for tests that play whole tournaments through
// the engine, as the operator does: the matches a rebuild offers, and
// placements in a form two rebuilds can be compared in.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/match_log.h"
#include "engine/tournament_state.h"

using IdPair = std::pair<int32_t, int32_t>;

inline IdPair unordered(int32_t a, int32_t b) { return {std::min(a, b), std::max(a, b)}; }

// The playable matches of the state, in announcement order.
inline std::vector<IdPair> playableMatches(const TournamentState& state) {
  std::vector<IdPair> matches;
  for (const MatchToPlay& m : state.toPlay) {
    EXPECT_TRUE(isPlayerId(m.first.id) || isPlayerId(m.second.id));
    EXPECT_EQ(m.playable, isPlayerId(m.first.id) && isPlayerId(m.second.id));
    if (m.playable) matches.push_back({m.first.id, m.second.id});
  }
  return matches;
}

// Names, and ids of players only: placeholder ids change at every rebuild.
inline std::vector<std::string> comparable(const std::vector<Participant>& placement) {
  std::vector<std::string> out;
  for (const Participant& p : placement)
    out.push_back(p.name + (p.id < kFirstPlaceholderId ? "#" + std::to_string(p.id) : ""));
  return out;
}

// Players 0 to n-1 named "p0", "p1", ...
inline std::vector<Participant> numberedPlayers(int n) {
  std::vector<Participant> players;
  for (int i = 0; i < n; ++i) players.push_back({i, "p" + std::to_string(i)});
  return players;
}

// Plays the players' tournament to its end on a log of its own (no global
// is touched), seeded: each turn rebuilds, calls check(state, log), then
// logs results for the first playable matches, either side winning at
// random: one per turn up to 40 players, a random number of them beyond.
// Returns the final state.
template <class Check>
TournamentState playThrough(const std::vector<Participant>& players, uint32_t seed,
                            Check check) {
  std::mt19937 rng(seed);
  ResultLog log;
  for (size_t turn = 0;; ++turn) {
    TournamentState state = computeTournament(players, log);
    check(state, log);
    const std::vector<IdPair> playable = playableMatches(state);
    if (playable.empty() || turn > players.size() * players.size()) return state;
    const size_t count = players.size() <= 40 ? 1 : 1 + rng() % playable.size();
    for (size_t i = 0; i < count; ++i) {
      IdPair match = playable[i];
      if (rng() % 2) std::swap(match.first, match.second);
      log.append(MatchRecord{players[match.first], players[match.second]});
    }
  }
}
