// panel_rows.h: the rows of the window's text panels, written from the
// tournament's value: the matches to play in leftPanel, the standings in
// rightPanel, the places each player can still reach in placesPanel.
//
// Changes leftPanel, rightPanel and placesPanel (through stream output and
// clear()); reads nothing else.
#pragma once

#include <string>
#include <vector>

#include "engine/tournament_state.h"
#include "views/scroll.h"

// The name unchanged if it is at most width bytes long, else "X".
std::string fitName(std::string name, unsigned width);

// One row "***** Play match <first> vs <second>" per match into leftPanel,
// names cut by fitName to 50 bytes. A match between two names that both hold
// '(' gets no row: such a row could not be told from a pairing of two
// placeholders. With tables (for each match its table, 0 when it waits;
// empty without tables) the matches called to a table come first, by
// table, each row starting "T<table> ", then the others in their order.
// Returns the number of rows written.
int writeAnnouncements(const std::vector<MatchToPlay>& matches,
                       const std::vector<int>& tables = {});

// For each entry, the template with its first '%' replaced by the ordinal,
// then fitName(name, 30), then an end of line, all into rightPanel. The turn
// passes the template "% -> ".
void writeStandings(std::string rowTemplate, std::vector<Participant> placement);

// placesPanel cleared, then one row "<places> -> <name>" per player, the
// name cut by fitName to 30 bytes as in the standings, in the order of
// playersByBestPlace.
void writePlaces(const TournamentState& state);

// The three panels cleared, then the announcements and the standings of the
// state (each panel's rows followed by one end of line) and the places.
// `tables` as for writeAnnouncements. Returns how many rows of content each
// panel now holds.
ViewRows writeTournament(const TournamentState& state, const std::vector<int>& tables = {});
