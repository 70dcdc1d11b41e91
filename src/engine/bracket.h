// bracket.h: the placement tournament, rebuilt from nothing on every turn.
//
// A group is paired off in list order (an odd group's last three play a
// three-way group); winners and losers each form a half that is played out
// the same way; the winners' half is placed above the losers' half. Every
// pairing goes through resolveMatch, so undecided matches reach the trace in
// this depth-first order and stand as placeholders in the placement; with a
// trace, the whole bracket is laid out there too (see pairing.h). Draws
// placeholder ids from the trace, or from placeholderCounter without one;
// keeps no state of its own.
#pragma once

#include <vector>

#include "engine/bracket_trace.h"
#include "engine/participant.h"

// The placement of the group, first place first, as long as the group.
// The group must have at least two members. When trace is given (see
// startTrace), the matches to play, the results consulted, the candidates
// of every placeholder and every pairing are recorded there.
std::vector<Participant> buildBracket(std::vector<Participant> group,
                                      BracketTrace* trace = nullptr);

// The elements of first followed by those of second.
std::vector<Participant> concatenate(std::vector<Participant> first,
                                     std::vector<Participant> second);

// Which member of a three-way cycle drops: 0 for X, 1 for Y, 2 for Z.
// A fixed function of the three ids, so the same cycle is settled the same way
// in every turn and every run, while different cycles spread over X, Y and Z.
int cycleDraw(const Participant& x, const Participant& y, const Participant& z);
