// pairing.h: the whole bracket as one rebuild lays it out: every pairing it
// makes and every three-way group, with where each side comes from, what
// settled it, the places it decides between and where its winner and its
// loser go next. For views that draw the bracket.
//
// Plain values, filled in during the rebuild (see BracketTrace) and handed
// on in TournamentState::pairings and TournamentState::groups.
//
// Numbering: pairings are numbered 1, 2, ... in the order the rebuild makes
// them, which is the announcement order: a group's pairs in list order, then
// its three-way group's three matches, then its winners' half played out,
// then its losers' half. Pairing k is pairings[k - 1]; three-way groups are
// numbered the same way, group g is groups[g - 1]. The shape (numbers,
// places, origins, destinations) depends only on the number of players; the
// log decides the statuses, the results and which sides are known.
//
// Places: every group the rebuild pairs off (the players, then each half)
// decides a range of consecutive places. A group of n members whose range
// starts after place p decides places p+1 to p+n; its pair winners and the
// two members its three-way group sends up form the winners' half, which
// takes places p+1 to p+w with w = (n+1)/2; the others form the losers'
// half, which takes places p+w+1 to p+n. A half of one member takes its
// place outright.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/participant.h"

// Log position of a pairing that no entry settled.
constexpr size_t kNoLogPosition = static_cast<size_t>(-1);

enum class PairingStatus {
  kPlayed,   // settled by a live result of the log
  kToPlay,   // both sides are players, no result yet
  kWaiting,  // a side is not known yet
  kForfeit,  // decided without being played
};

// Where a side of a pairing (or a member of a three-way group) comes from.
struct SideOrigin {
  enum class Kind {
    kEntry,       // one of the players as entered: the top group
    kWinnerOf,    // the winner of pairing `number`
    kLoserOf,     // the loser of pairing `number`
    kGroupPlace,  // place `place` (1, 2 or 3) of three-way group `number`
  };
  Kind kind = Kind::kEntry;
  int number = 0;
  int place = 0;
};

// One side of a pairing. `origin` is always set; `player` only once the side
// is known (then known is true), otherwise it has id -1 and an empty name:
// an unknown side is described by its origin, never by a placeholder name.
struct PairingSide {
  bool known = false;
  Participant player;
  SideOrigin origin;
};

// Where the winner, the loser or a group's place goes once decided.
struct Destination {
  enum class Kind {
    kNone,     // nowhere of its own: a match inside a three-way group
    kPairing,  // plays pairing `number` next
    kGroup,    // plays in three-way group `number` next
    kPlace,    // ends in final place `number` (1 = first)
  };
  Kind kind = Kind::kNone;
  int number = 0;
};

// The places decided by the group a pairing or a three-way group belongs
// to: first to last, the winners' half taking first to winnersLast.
struct PlaceRange {
  int first = 0;
  int winnersLast = 0;
  int last = 0;
};

struct Pairing {
  int number = 0;
  PairingStatus status = PairingStatus::kWaiting;
  // In the order they were paired.
  std::array<PairingSide, 2> sides;
  // The winner's id when played (or forfeited), else -1.
  int32_t winner = kNoParticipant;
  // The log entry that settled it, when played, else kNoLogPosition. Two
  // pairings can share one: the two members a three-way group sends up meet
  // again in the winners' half, settled by their match in the group.
  size_t logPosition = kNoLogPosition;
  // The three-way group this is one of the matches of, 0 for none.
  int group = 0;
  PlaceRange places;
  // Both kNone inside a three-way group, whose places say where its
  // members go.
  Destination winnerTo;
  Destination loserTo;
};

// The last three members of an odd group each meet the other two once; the
// two who come out ahead join the winners' half, the third the losers'.
// Its places 1 and 2 are those two in member order, not ranked; place 3 is
// the one who drops.
struct ThreeWayGroup {
  int number = 0;
  std::array<PairingSide, 3> members;
  // Numbers of its matches: members 2-3, 1-3, 1-2, the order they are made.
  std::array<int, 3> pairings{};
  // Player ids at places 1, 2 and 3 once all three matches are in, else -1.
  std::array<int32_t, 3> finish{kNoParticipant, kNoParticipant, kNoParticipant};
  PlaceRange places;
  // Where places 1, 2 and 3 go next.
  std::array<Destination, 3> to;
};
