// bracket_svg.h: the whole bracket drawn for the players' page, as inline
// SVG: no script, no library, readable in black and white on paper.
//
// Blocks. Every group the recursion pairs off decides a range of places,
// and the winners' half of a group decides the top of that range, starting
// at the same place. A block follows this line down from a group that no
// winners' half leads to (the players, or a losers' half): its columns are
// that group's pairings, then its winners' half's, then that half's winners'
// half's, and so on to the match for the block's first place. It reads as
// an ordinary knock-out bracket for the best place of its range; the losers
// of each column leave for the block of their own range. So each block
// starts at a different place, and blocks come in the order of those places:
// "Places 1 à 100", "Places 3 à 4", "Places 5 à 7", ... A column is headed
// by the places its group decides, which every player in it ends within.
//
// Output: one <svg> per block, or per piece of a block too big for the
// printable area of an A4 landscape page (kSheetMaxWidth x kSheetMaxHeight
// px, printed unscaled): the block is cut between columns, and a run of
// columns still too tall is cut across between boxes, never through one.
// A cut block's pieces are titled "Places 1 à 100 (1/9)", then "Places 1
// à 100 (suite, 2/9)", ...; a column shared between pieces is headed with
// the numbers of the boxes each holds ("Places 1 à 100 : 8 à 14"). Each
// <svg> carries a viewBox, width and height in px, data-first-place /
// data-last-place with its block's range and data-part / data-parts; each
// column (<g class="tour">) the same place attributes with its own range.
//
// Each pairing is a box (<g class="match" data-pairing="12">): its number,
// then "n° 5" (the result's number in the match log, 1 = first entry),
// "à jouer", "en attente" or "forfait"; both sides, a player's name (with
// data-player="id") or where the side comes from ("Vainqueur de 12",
// "Perdant de 7", "1er du groupe 3"), the winner in bold behind a black
// triangle; a waiting box is dashed, a box to play has a heavy border. A
// line joins each box to the box its winner plays next in the same SVG;
// every other destination (the loser's next match with its block's places,
// a final place, the next match in another piece: "vainqueur → 57
// (suite)") is written under the box, so no line leaves a piece.
// A three-way group is a frame (<g class="groupe" data-group="3">) listing
// its three members, numbered, then its three matches side by side as
// small boxes ("2 bat 3", or "2 – 3" while open), then where its places go.
#pragma once

#include <string>

#include "engine/tournament_state.h"

// The SVGs of every block, one after the other, separated by line ends;
// every pairing of the state appears in exactly one of them. Names are
// converted from Latin-1 and escaped; names longer than 30 characters are
// cut. Empty when the state has no pairing.
std::string renderBracketSvg(const TournamentState& state);
// The same appended to `out`, which grows once for all of it: the drawing
// of a hundred players is a few hundred kilobytes.
void appendBracketSvg(std::string* out, const TournamentState& state);
