// standings_text.h: the pieces of text the players' page, the standings
// sheet and the JSON document share, all UTF-8 and unescaped: a place, a
// side of a match, the places a player can still reach, what became of a
// result, and the count of matches played and left.
#pragma once

#include <string>
#include <vector>

#include "display/tournament_panels.h"
#include "engine/participant.h"
#include "engine/tournament_state.h"

// A name from the match log converted to UTF-8; "?" when empty (an answer
// that named no player).
std::string nameText(const std::string& latin1);

// A player's name converted to UTF-8; a placeholder described by the match
// or group it waits for ("vainqueur de A – B"); "?" for an empty name.
std::string sideText(const Participant& side);

// "compte", "annulé" or "sans objet".
std::string resultUseText(ResultUse use);

// The results the latest rebuild used, and the matches still to play.
struct MatchCount {
  int played = 0;
  int left = 0;
};
MatchCount countMatches(const TournamentState& state);

// True while the tournament is being set up or played: no players yet, or a
// place still open.
bool isRunning(const TournamentState& state);
