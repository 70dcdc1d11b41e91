// sheet.h: the standings sheet (classement.csv) for a spreadsheet or the
// federation, rendered from the value of one rebuild. Pure: no I/O.
#pragma once

#include <string>

#include "engine/tournament_state.h"

// "Place;Joueur" then one row per place, an undecided place with an empty
// name; UTF-8 with a byte order mark, lines ended by CR LF. Names are
// Latin-1 bytes in the engine, converted and escaped for the sheet.
std::string renderCsv(const TournamentState& state);
