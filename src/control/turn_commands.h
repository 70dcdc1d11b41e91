// turn_commands.h: what the winner prompt's commands do besides naming a
// winner: a result (the loser asked), a cancel of the newest result, a
// correction of an older one, the number of tables. Each reads its own
// answers through the session, which records them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "control/session.h"

bool isQuitWord(const std::string& answer);
bool isCancelWord(const std::string& answer);

// The words the winner prompt takes as commands rather than names.
bool isTurnCommand(const std::string& answer);

// The players of the matches that can be played now: those at a table
// first, by table, then the others in announcement order.
std::vector<int32_t> playersToPlay(const Session& s);

// Asks the loser of the winner just named and logs the result. The loser
// prompt opens on the winner's opponent when the winner can play one match
// only. A result between players who have no match to play is taken all the
// same, for the match to come; the next turn says so.
bool enterResult(Session& s, const std::string& winner);

// Takes back the newest action: a withdrawal or a return when nothing was
// entered since (see withdrawals.h), else the newest result: names it,
// waits for an acknowledgement, then marks it cancelled. With no result yet
// there is nothing to name or to mark.
bool cancelNewest(Session& s);

// "corriger": asks the true winner and loser, shows what correcting their
// result would do, then reads the confirmation (or acknowledgement) and
// applies it. Closing the window at any of these prompts applies nothing.
bool correctOlderResult(Session& s);

// "tables": the number of tables from now on, 0 to 100. A typed count must
// be a number in that range; a replayed one is taken as far as it can.
bool askTables(Session& s);
