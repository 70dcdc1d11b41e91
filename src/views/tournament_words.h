// tournament_words.h: the words of the players' views, shared by the page,
// the standings sheet and the JSON document, all UTF-8 and unescaped: a
// name, a side of a match (a placeholder in French), what became of a
// result, and the count of matches played and left. Pure functions.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/participant.h"
#include "engine/tournament_state.h"

// A name from the match log converted to UTF-8; "?" when empty (an answer
// that named no player).
std::string nameText(const std::string& latin1);

// A player's name converted to UTF-8; a placeholder described by the match
// or group it waits for ("vainqueur de A – B"); "?" for an empty name.
std::string sideText(const Participant& side);

// The two sides of each match of state.toPlay, in order, in words: a
// player's name, or, for a side not known yet, what it waits for, read from
// the bracket's pairings (the origins the bracket drawing shows) rather
// than from a placeholder's generated name: "vainqueur de Inès – Jérôme",
// "perdant de Ann – vainqueur du match 7", "qualifié du groupe A – B – C",
// "dernier du groupe 4". A side further up is named by its match's number,
// as the bracket numbers its boxes. UTF-8, unescaped.
std::vector<std::array<std::string, 2>> matchSidesText(const TournamentState& state);

// "compte", "annulé", "sans objet" or "nom inconnu".
std::string resultUseText(ResultUse use);

// True when the player has withdrawn.
bool hasWithdrawn(const TournamentState& state, int32_t id);

// A player's name in the standings, UTF-8: marked " (forfait)" once the
// player has withdrawn.
std::string standingsName(const TournamentState& state, const Participant& player);

// The results the latest rebuild used, and the matches still to play
// (forfeits are not played).
struct MatchCount {
  int played = 0;
  int left = 0;
};
MatchCount countMatches(const TournamentState& state);

// True while the tournament is being set up or played: no players yet, or a
// place still open.
bool isRunning(const TournamentState& state);

// The heading of the page and the screen: "Tournoi en préparation", "Tournoi
// en cours" or "Tournoi terminé".
std::string tournamentHeading(const TournamentState& state);
