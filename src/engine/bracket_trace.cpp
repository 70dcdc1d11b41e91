// bracket_trace.cpp: the bracket's layout as the rebuild records it (see
// bracket_trace.h and pairing.h).
//
// A side's origin is found from the participant standing in it: a
// placeholder by its id, which is unique within the rebuild; a player by
// where it was last sent, which is enough because a player stands in one
// slot of a group only, and is sent on once per group.
#include "engine/bracket_trace.h"

namespace {

size_t slotOf(int32_t placeholderId, int32_t firstPlaceholderId) {
  return static_cast<size_t>(placeholderId - firstPlaceholderId - 1);
}

}  // namespace

SideOrigin BracketTrace::originOf(const Participant& p) const {
  if (isPlayerId(p.id)) return playerOrigins[static_cast<size_t>(p.id)];
  if (p.id > firstPlaceholderId) {
    const size_t slot = slotOf(p.id, firstPlaceholderId);
    if (slot < placeholderOrigins.size()) return placeholderOrigins[slot];
  }
  return SideOrigin{};
}

void BracketTrace::setOrigin(const Participant& p, const SideOrigin& origin) {
  if (isPlayerId(p.id)) {
    playerOrigins[static_cast<size_t>(p.id)] = origin;
  } else if (p.id > firstPlaceholderId) {
    const size_t slot = slotOf(p.id, firstPlaceholderId);
    if (placeholderOrigins.size() <= slot) placeholderOrigins.resize(slot + 1);
    placeholderOrigins[slot] = origin;
  }
}

// A participant this rebuild did not make (only when buildBracket is handed
// placeholders from elsewhere) counts as known: nothing else describes it.
PairingSide BracketTrace::sideOf(const Participant& p) const {
  PairingSide side;
  side.origin = originOf(p);
  side.known = isPlayerId(p.id) || p.id <= firstPlaceholderId || p.id > lastPlaceholderId;
  if (side.known) side.player = p;
  return side;
}

void BracketTrace::sendOn(const SideOrigin& origin, const Destination& to) {
  const size_t index = static_cast<size_t>(origin.number) - 1;
  switch (origin.kind) {
    case SideOrigin::Kind::kEntry:
      break;
    case SideOrigin::Kind::kWinnerOf:
      if (index < pairings.size()) pairings[index].winnerTo = to;
      break;
    case SideOrigin::Kind::kLoserOf:
      if (index < pairings.size()) pairings[index].loserTo = to;
      break;
    case SideOrigin::Kind::kGroupPlace:
      if (index < groups.size() && origin.place >= 1 && origin.place <= 3)
        groups[index].to[static_cast<size_t>(origin.place - 1)] = to;
      break;
  }
}

void BracketTrace::startGroup(size_t members) {
  const int n = static_cast<int>(members);
  groupPlaces = PlaceRange{placesTaken + 1, placesTaken + (n + 1) / 2, placesTaken + n};
  // At the top group: up to a hundred players, the whole bracket makes
  // fewer than 4n pairings.
  if (pairings.empty()) {
    pairings.reserve(4 * members);
    placeholderOrigins.reserve(8 * members);
  }
}

void BracketTrace::notePairing(const Participant& a, const Participant& b,
                               const MatchRecord& result, PairingStatus status,
                               size_t logPosition) {
  // Filled in place: a pairing holds two names.
  Pairing& pairing = pairings.emplace_back();
  const int number = static_cast<int>(pairings.size());
  pairing.number = number;
  pairing.status = status;
  pairing.sides[0] = sideOf(a);
  pairing.sides[1] = sideOf(b);
  if (status == PairingStatus::kPlayed || status == PairingStatus::kForfeit)
    pairing.winner = result.winner.id;
  pairing.logPosition = logPosition;
  pairing.group = openGroup;
  pairing.places = groupPlaces;
  // A group's matches send nobody anywhere: its places do.
  if (openGroup != 0) return;
  const Destination here{Destination::Kind::kPairing, number};
  sendOn(pairing.sides[0].origin, here);
  sendOn(pairing.sides[1].origin, here);
  setOrigin(result.winner, SideOrigin{SideOrigin::Kind::kWinnerOf, number, 0});
  setOrigin(result.loser, SideOrigin{SideOrigin::Kind::kLoserOf, number, 0});
}

void BracketTrace::startThreeWay(const std::array<Participant, 3>& members) {
  ThreeWayGroup group;
  group.number = static_cast<int>(groups.size()) + 1;
  group.places = groupPlaces;
  const Destination here{Destination::Kind::kGroup, group.number};
  for (size_t m = 0; m < 3; ++m) {
    group.members[m] = sideOf(members[m]);
    sendOn(group.members[m].origin, here);
  }
  const int firstPairing = static_cast<int>(pairings.size()) + 1;
  group.pairings = {firstPairing, firstPairing + 1, firstPairing + 2};
  openGroup = group.number;
  groups.push_back(std::move(group));
}

void BracketTrace::endThreeWay(const Participant& first, const Participant& second,
                               const Participant& third, bool decided) {
  ThreeWayGroup& group = groups.back();
  const Participant* placed[3] = {&first, &second, &third};
  for (int place = 1; place <= 3; ++place) {
    const Participant& p = *placed[place - 1];
    setOrigin(p, SideOrigin{SideOrigin::Kind::kGroupPlace, group.number, place});
    if (decided) group.finish[static_cast<size_t>(place - 1)] = p.id;
  }
  openGroup = 0;
}

void BracketTrace::notePlace(const Participant& member) {
  ++placesTaken;
  sendOn(originOf(member), Destination{Destination::Kind::kPlace, placesTaken});
}
