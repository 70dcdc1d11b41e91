// tournament_play.h: helpers for tests that play whole tournaments through
// the engine, as the operator does: the matches a rebuild offers, and
// placements in a form two rebuilds can be compared in.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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
