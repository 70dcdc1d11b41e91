// json.h: the tournament as one JSON object (tournoi.json), for club
// displays and scripts: the same content as the players' page. Pure: no I/O.
#pragma once

#include <string>
#include <vector>

#include "engine/participant.h"
#include "engine/tables.h"
#include "engine/tournament_state.h"

// en_cours, joueurs, matchs_joues, matchs_restants, tables (the count, 0
// without tables), a_jouer (each with its table or null), classement,
// places_possibles and resultats; log is the match log the state was
// rebuilt from. UTF-8, names escaped as JSON strings.
std::string renderJson(const TournamentState& state, const std::vector<MatchRecord>& log,
                       const TableAssignment& tables = {});
