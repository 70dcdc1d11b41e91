// withdrawals.h: a player who leaves. "forfait" at the winner prompt names
// the player; once confirmed, every match of theirs not yet played is lost
// by forfeit (the rebuild decides them from the list of the withdrawn).
// "forfait" on a player who left brings them back. "annuler" takes back the
// newest withdrawal or return when nothing was entered since.
//
// Each reads its answers through the session, which records them:
// "forfait", the name, then the confirmation (or the acknowledgement when
// the name names nobody, which only an older file can hold).
#pragma once

#include "control/session.h"

// "forfait": asks the player, says what it means, reads the confirmation
// ("non" renounces) and applies it. False when the window was closed.
bool withdrawOrReturn(Session& s);

// When the newest action is a withdrawal or a return (no result entered
// since): names it, waits for an acknowledgement and takes it back; true in
// *handled. Otherwise changes nothing and sets *handled to false. False
// when the window was closed.
bool cancelNewestWithdrawal(Session& s, bool* handled);
