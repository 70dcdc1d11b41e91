// tournament_panels.h: the rows of the two text panels, written from the
// tournament's value: the matches to play in leftPanel, the standings in
// rightPanel.
//
// Changes leftPanel and rightPanel (through stream output and clear()).
#pragma once

#include <string>
#include <vector>

#include "engine/tournament_state.h"

// The name unchanged if it is at most width bytes long, else "X".
std::string fitName(std::string name, unsigned width);

// The ordinal of a place as a standings row starts with it: "1er", then
// "2e ", "3e ", ... (with a space).
std::string ordinal(int place);

// One row "***** Play match <first> vs <second>" per match into leftPanel,
// names cut by fitName to 50 bytes. A match between two names that both hold
// '(' gets no row: such a row could not be told from a pairing of two
// placeholders.
void writeAnnouncements(const std::vector<MatchToPlay>& matches);

// For each entry, the template with its first '%' replaced by the ordinal,
// then fitName(name, 30), then an end of line, all into rightPanel. The turn
// passes the template "% -> ".
void writeStandings(std::string rowTemplate, std::vector<Participant> placement);

// Both panels cleared, then the announcements and the standings of the state,
// each panel's rows followed by one end of line.
void writeTournament(const TournamentState& state);
