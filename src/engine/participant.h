// participant.h: the two records every part of the program passes around,
// and the placeholders that stand for players not yet known.
//
// Ids carry meaning: 0 to 99 are players in entry order, 101 and up are
// placeholders standing for the winner or loser of a match not yet played,
// and -1 in a winner id marks a cancelled result (no participant has it).
// Generated placeholder names always contain '('.
//
// Owns placeholderCounter (advanced only by nextPlaceholderId, put back only
// by resetPlaceholders).
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

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

// A set of players, by id.
using PlayerSet = std::bitset<kMaxPlayers>;

// True for the ids of players (0 to 99), false for placeholders and -1.
inline bool isPlayerId(int32_t id) { return id >= 0 && id < kFirstPlaceholderId; }

// The form names are compared and sorted in. ASCII letters go to lower case and the
// Latin-1 letters 0xC0 to 0xFF, upper or lower case, to their base letter:
// A grave to a, C cedilla to c, N tilde to n, O stroke to o, eth to d,
// y diaeresis to y. AE and ae become "ae", sharp s becomes "ss", thorn goes
// to lower case; every other byte (the times and division signs among them)
// is kept. A folded text is never shorter than the name.
std::string foldName(const std::string& latin1);

// The player entered last under that exact name, as an answer designates
// one; a name that matches nobody gives kNoParticipant with an empty name,
// which no log look-up can match.
Participant lastNamed(const std::vector<Participant>& players, const std::string& name);

// Last placeholder id handed out; 100 at start, never reset during a run.
extern int32_t placeholderCounter;

// Advances placeholderCounter and returns the new value (101 first).
int32_t nextPlaceholderId();

// Puts placeholderCounter back to 100. For tests and repeated runs.
void resetPlaceholders();

// Generated names are kept to this many bytes. Announcements and standings
// show any name longer than 50 bytes as "X", and a name built on a long name
// is longer still, so nothing past this point can ever be seen; without the
// bound, names nest and double with every round (kilobytes per placeholder
// with long player names, on every rebuild).
constexpr size_t kMaxGeneratedNameBytes = 64;

// tag + "(" + parts joined by "," + ")", cut to kMaxGeneratedNameBytes.
std::string generatedName(const char* tag,
                          std::initializer_list<const std::string*> parts);
