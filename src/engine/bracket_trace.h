// bracket_trace.h: what one rebuild of the bracket learns besides the
// placement: the matches to play now, the logged results it consulted, the
// pairings it settled by forfeit, for every placeholder it made, the players
// who can still end up in it, and the whole bracket laid out (every pairing
// and three-way group, see pairing.h).
//
// A trace belongs to one rebuild: start it with startTrace() (match_log.h)
// just before buildBracket, and read it once the rebuild is over. It also
// carries what the rebuild reads: the log, the withdrawn players, and its
// own placeholder ids.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "engine/pairing.h"
#include "engine/participant.h"

class ResultLog;

// A pairing the log has no result for and at least one side of which is a
// player who has not withdrawn. Playable when both sides are players;
// otherwise it waits for the placeholder side's match to be played.
struct MatchToPlay {
  Participant first;
  Participant second;
  bool playable = false;
  // The number of the pairing it is (BracketTrace::pairings, from 1).
  int pairing = 0;
};

struct BracketTrace {
  // In the order the rebuild met them, which is the announcement order.
  std::vector<MatchToPlay> toPlay;
  // Positions in the match log of the results that settled a pairing.
  std::vector<size_t> consulted;

  // For each pair of players the log has a live result for, who won it (the
  // oldest live entry decides, as in a look-up): beats[p] holds the players
  // p has beaten, beatenBy[p] those who beat p. A pair with a withdrawn
  // player and no result is noted as the forfeit it will be.
  std::array<PlayerSet, kMaxPlayers> beats{};
  std::array<PlayerSet, kMaxPlayers> beatenBy{};
  // Players with a logged result, and withdrawn players: everyone else
  // beats exactly the withdrawn players and is beaten by nobody.
  PlayerSet withResults;

  // Withdrawn players, and for each, its rank in the order of withdrawal
  // (0 for the earliest). A withdrawn player loses every pairing of two
  // players the log has no result for, to a player who has not withdrawn
  // or who withdrew later.
  PlayerSet withdrawn;
  std::array<int, kMaxPlayers> withdrawalRank{};
  // Pairings settled by forfeit, winner first, in the order the rebuild met
  // them; a pairing met twice (two members of a three-way group sent up
  // together) is listed twice.
  std::vector<MatchRecord> forfeits;

  // The log the rebuild reads, and a correction it tries out, if any (see
  // startTrace in match_log.h).
  const ResultLog* log = nullptr;
  const MatchRecord* corrected = nullptr;

  // The rebuild's own placeholder counter: placeholders made during the
  // rebuild have the ids that follow firstPlaceholderId, up to
  // lastPlaceholderId.
  int32_t firstPlaceholderId = 0;
  int32_t lastPlaceholderId = 0;
  int32_t nextPlaceholderId() { return ++lastPlaceholderId; }
  // Candidates of those placeholders, by id - firstPlaceholderId - 1.
  std::vector<PlayerSet> placeholderCandidates;

  // The players who can still fill the participant's slot: the player
  // itself, the recorded set of a placeholder of this rebuild, or nobody.
  PlayerSet candidates(const Participant& p) const;
  // Records the candidates of a placeholder made during this rebuild.
  void setCandidates(int32_t placeholderId, const PlayerSet& players);

  // The bracket laid out, numbered as pairing.h says (bracket_trace.cpp).
  std::vector<Pairing> pairings;
  std::vector<ThreeWayGroup> groups;
  // Where each placeholder of this rebuild comes from, by
  // id - firstPlaceholderId - 1; where each player was last sent, by id
  // (kEntry until its first match is settled).
  std::vector<SideOrigin> placeholderOrigins;
  std::array<SideOrigin, kMaxPlayers> playerOrigins{};
  // The places of the group being paired off, and how many places halves of
  // one member have taken so far: the recursion places its groups from the
  // first place down, so the next group starts right after them.
  PlaceRange groupPlaces;
  int placesTaken = 0;
  // The three-way group whose matches are being resolved, 0 outside one.
  int openGroup = 0;

  // buildBracket, as it starts pairing off a group of that many members.
  void startGroup(size_t members);
  // resolveMatch, for every pairing: a and b as paired, the result (two
  // placeholders while open), and the log entry that settled it when
  // played. Outside a three-way group, the origins of a and b are sent to
  // this pairing and the result's two sides get it as origin.
  void notePairing(const Participant& a, const Participant& b, const MatchRecord& result,
                   PairingStatus status, size_t logPosition);
  // playThreeWay, before its three matches are resolved.
  void startThreeWay(const std::array<Participant, 3>& members);
  // playThreeWay, once it has sent on the members at places 1, 2 and 3
  // (players once decided, else its three placeholders).
  void endThreeWay(const Participant& first, const Participant& second,
                   const Participant& third, bool decided);
  // A half of one member: it takes the next place.
  void notePlace(const Participant& member);

  // Where the participant comes from, as a side of this rebuild.
  PairingSide sideOf(const Participant& p) const;
  SideOrigin originOf(const Participant& p) const;
  void setOrigin(const Participant& p, const SideOrigin& origin);
  // Sets the destination of whatever `origin` names.
  void sendOn(const SideOrigin& origin, const Destination& to);
};
