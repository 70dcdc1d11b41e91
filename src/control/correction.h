// correction.h: correcting an older result. The operator names the true
// winner and the true loser; this works out what the correction would do,
// in the words the dialogue shows, and applies it once confirmed.
//
// Reads the match log; only applyCorrection changes it (through
// correctResult). Nothing here draws, reads answers or prints: the dialogue
// does that, and records every answer like any other.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/participant.h"
#include "engine/tournament_state.h"

enum class CorrectionOutcome {
  kNoResult,         // no live result between the two (or not two players)
  kAlreadyRecorded,  // their live result already says the same
  kReversed,         // their live result says the opposite: to be reversed
};

struct CorrectionPlan {
  CorrectionOutcome outcome = CorrectionOutcome::kNoResult;
  // kReversed only: the entry that decides the pair now, and its
  // replacement, both as the players are named.
  size_t position = 0;
  MatchRecord corrected;
  // The notice and the prompt to show, in that order.
  std::string message;
  std::string prompt;
};

// The prompts that come before the plan: the true winner, then the true
// loser against the winner as typed.
extern const char* const kTrueWinnerPrompt;
std::string trueLoserPrompt(const std::string& winner);

// What correcting the result between the players named `winner` and `loser`
// (by the same rule as a result's names: the player entered last under that
// exact name) would do to the tournament `now`, computed from the log as it
// stands. The log is left as it is.
CorrectionPlan planCorrection(const TournamentState& now, const std::string& winner,
                              const std::string& loser);

// Applies a kReversed plan unless the answer to its prompt is exactly "non";
// any other plan changes nothing. True when the log was changed.
bool applyCorrection(const CorrectionPlan& plan, const std::string& answer);
