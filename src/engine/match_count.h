// match_count.h: how many matches a whole tournament takes. The shape of the
// bracket depends only on the number of players, so the count does too.
#pragma once

// The matches of a whole tournament of that many players: every pairing of
// the bracket that needs a result of its own (a three-way group counts
// three; a pairing of two players who met earlier is settled by that
// result and counts nothing). 0 below two players.
int totalMatches(int players);

// How many of those are still to play, given how many results the latest
// rebuild used (ResultUse::kUsed) and how many pairings it settled by
// forfeit (TournamentState::forfeits). A withdrawn player's pairing against
// a side not known yet counts until it is settled. Never below 0.
int matchesLeft(int players, int used, int forfeits = 0);
