// page.h: the players' page (tournoi.html), rendered from the value of one
// rebuild and the match log it was built from. Pure: no I/O, no globals.
//
// Names are Latin-1 bytes in the engine; every rendering is UTF-8 with each
// name escaped for its format, so a name shows exactly as typed.
#pragma once

#include <string>
#include <vector>

#include "engine/participant.h"
#include "engine/tables.h"
#include "engine/tournament_state.h"

// One self-contained HTML page in French: the matches to play (playable ones
// numbered, then the waiting ones), the provisional standings, the places
// each player can still reach, the results in entry order and the count of
// matches played and left. While the tournament runs the page asks the
// browser to reload it every 10 seconds; once it is finished the page holds
// only the final standings and the results. log is the match log the state
// was rebuilt from.
// With tables, the matches called to a table come first, each with its
// table, and those waiting for one are listed apart.
// Above them, each player's own view (player_view.h); in the footer, a link
// to the room's screen (screen.h).
std::string renderPage(const TournamentState& state, const std::vector<MatchRecord>& log,
                       const TableAssignment& tables = {});

