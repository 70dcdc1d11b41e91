// tournament_checks.h: the promises every rebuilt tournament keeps, checked
// by both fuzzers: as many places as players, each place reachable by
// somebody and a decided place by its player alone, every player holding at
// most one place, every match to play with a player and playable exactly
// when it has two, and one use per entry of the match log.
#pragma once

#include <string>

#include "engine/tournament_state.h"

// "" when the state keeps every promise, else what is wrong.
std::string tournamentProblem(const TournamentState& state, size_t logSize);
