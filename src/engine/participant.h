// participant.h: the two records every part of the program passes around.
//
// Ids carry meaning: 0 to 99 are players in entry order, 101 and up are
// placeholders standing for the winner or loser of a match not yet played,
// and -1 in a winner id marks a cancelled result (no participant has it).
// Generated placeholder names always contain '('.
#pragma once

#include <cstdint>
#include <string>

// Players' ids stay below this; anything at or above it is a placeholder.
constexpr int32_t kFirstPlaceholderId = 100;
constexpr int kMaxPlayers = 100;
constexpr int kMinPlayers = 2;
// Winner id of a cancelled result, and id of an answer naming no player.
constexpr int32_t kNoParticipant = -1;

struct Participant {
  int32_t id = kNoParticipant;
  std::string name;
};

// The outcome of one match, winner first.
struct MatchRecord {
  Participant winner;
  Participant loser;
};
