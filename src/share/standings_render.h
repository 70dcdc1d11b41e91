// standings_render.h: the tournament as the players see it, rendered from
// the value of one rebuild and the match log it was built from: the page
// (tournoi.html), the standings sheet (classement.csv) and the same state as
// JSON (tournoi.json). Pure functions: no I/O, no globals read.
//
// Names are Latin-1 bytes in the engine; every rendering is UTF-8 with each
// name escaped for its format, so a name shows exactly as typed.
#pragma once

#include <string>
#include <vector>

#include "engine/participant.h"
#include "engine/tournament_state.h"

// The three renderings of one state, made together after a turn and never
// changed afterwards, so they can be handed to another thread as they are.
struct SharedStandings {
  std::string page;
  std::string csv;
  std::string json;
};

// One self-contained HTML page in French: the matches to play (playable ones
// numbered, then the waiting ones), the provisional standings, the places
// each player can still reach, the results in entry order and the count of
// matches played and left. While the tournament runs the page asks the
// browser to reload it every 10 seconds; once it is finished the page holds
// only the final standings and the results. log is the match log the state
// was rebuilt from.
std::string renderPage(const TournamentState& state, const std::vector<MatchRecord>& log);

// "Place;Joueur" then one row per place, an undecided place with an empty
// name; UTF-8 with a byte order mark, lines ended by CR LF.
std::string renderCsv(const TournamentState& state);

// The same content as the page, as one JSON object.
std::string renderJson(const TournamentState& state, const std::vector<MatchRecord>& log);

SharedStandings renderStandings(const TournamentState& state,
                                const std::vector<MatchRecord>& log);
