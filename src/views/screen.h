// screen.h: the room's screen (ecran.html), for a projector or a television
// read from across the room, rendered from the value of one rebuild, the
// match log it was built from and the tables. Pure: no I/O, no globals.
#pragma once

#include <string>
#include <vector>

#include "engine/participant.h"
#include "engine/tables.h"
#include "engine/tournament_state.h"

// One self-contained HTML page in French, light text on a dark background,
// its type sized on the viewport (about 30 px on a 1920x1080 screen):
//   - the matches to play now: those called to a table first, by table
//     ("Table 3 : Ann contre Bob"), then the playable ones waiting for a
//     table (or simply the playable ones, without tables); matches that
//     wait for another result are left out;
//   - the last five results the rebuild used, newest first ("Ann bat Bob");
//   - the standings, place and name, "à décider" for an open place.
// Once every place is decided the matches are left out and the final
// standings take their room.
// Its small script splits each list into pages that fit the window and
// shows one page of each; every 15 seconds it reloads the page (the
// snapshot of the latest turn) showing the next page, whose number it keeps
// in the address ("#page=2"). A screen of one page reloads every 10
// seconds, as the players' page does, and not at all once the tournament
// is over. "delai=S" in the address sets another pace in seconds. Without
// script the screen reloads every 10 seconds while the tournament runs and
// shows what fits.
std::string renderScreen(const TournamentState& state, const std::vector<MatchRecord>& log,
                         const TableAssignment& tables = {});

// How many results the screen lists.
constexpr size_t kScreenResults = 5;

// A link to the room's screen, for the players' page: "ecran.html" is the
// file beside tournoi.html and a path the page server answers too.
std::string screenLink();
