// player_view.h: each player's own view on the players' page: a list of
// the names to pick one's own from, and for every player a block with only
// what concerns them. Pure: no I/O, no globals.
#pragma once

#include <string>
#include <vector>

#include "engine/participant.h"
#include "engine/tables.h"
#include "engine/tournament_state.h"

// The section "Mon tournoi" of the players' page, empty without players.
// It holds a <select> of the players' names (alphabetical, case and accents
// aside) and one block per player, in entry order, each hidden until its
// name is picked:
//   - the matches the player can play now, with the table when the match
//     is called to one ("Table 3 : contre Bob"), or "en attente d'une
//     table";
//   - the matches that wait for another result, in words ("En attente :
//     contre le vainqueur de Inès – Jérôme", see matchSidesText), never a
//     placeholder's name;
//   - the places still possible ("1er à 4e"), or the place once decided;
//   - the player's results the rebuild used, in entry order ("Gagné
//     contre Bob", "Perdu contre Ann"), then the matches a withdrawal
//     settled ("Gagné par forfait contre Cid"); cancelled and unused
//     results are left out.
// The section itself is hidden: its small script shows it, shows the
// block of the name picked, and keeps the name in the browser's local
// storage, so the choice survives the page's reloads. Without script the
// page is as it was without this section.
std::string renderPlayerViews(const TournamentState& state, const std::vector<MatchRecord>& log,
                              const TableAssignment& tables = {});

// The section's style rules, for the page's style sheet.
const char* playerViewStyle();
