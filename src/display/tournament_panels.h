// tournament_panels.h: the rows of the text panels, written from the
// tournament's value: the matches to play in leftPanel, the standings in
// rightPanel, the places each player can still reach in placesPanel.
//
// Changes leftPanel, rightPanel and placesPanel (through stream output and
// clear()).
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

// A place as a word: "1er", "2e", "3e", ...
std::string placeName(int place);

// The places of a sorted list as the places view shows them: "1er", "3e",
// "5e a 8e" for a run of consecutive places, runs joined by ", "
// ("1er, 3e a 4e"); "-" for none. `to` joins the ends of a run: " a " in
// the window (ASCII, like every text there), " \xC3\xA0 " (UTF-8 "à") on the
// players' page.
std::string placesText(const std::vector<int>& places, const char* to = " a ");

// placesPanel cleared, then one row "<places> -> <name>" per player, the
// name cut by fitName to 30 bytes as in the standings: players with the best
// (lowest) reachable place first, ties in entry order; a player with no
// reachable place last.
void writePlaces(const TournamentState& state);
