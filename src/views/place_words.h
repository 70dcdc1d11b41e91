// place_words.h: places in words, as the window and the players' page show
// them: "1er", "2e", the runs of places a player can still reach, and the
// order in which players are listed by the best place they can reach.
// Pure functions, no state.
#pragma once

#include <string>
#include <vector>

#include "engine/tournament_state.h"

// The ordinal of a place as a standings row starts with it: "1er", then
// "2e ", "3e ", ... (with a space).
std::string ordinal(int place);

// A place as a word: "1er", "2e", "3e", ...
std::string placeName(int place);

// The places of a sorted list: "1er", "3e", "5e a 8e" for a run of
// consecutive places, runs joined by ", " ("1er, 3e a 4e"); "-" for none.
// `to` joins the ends of a run: " a " in the window (ASCII, like every text
// there), " \xC3\xA0 " (UTF-8 "à") on the players' page.
std::string placesText(const std::vector<int>& places, const char* to = " a ");

// The players' ids, those with the best (lowest) reachable place first,
// ties in entry order; a player with no reachable place last.
std::vector<size_t> playersByBestPlace(const TournamentState& state);
