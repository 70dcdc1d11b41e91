// The placement tournament, rebuilt from the players and MatchLog each turn.
//
// A group is paired off in list order; an odd group's last three members play
// a three-way group. Pair winners and the advancing members of the three-way
// group form the winners' half, the rest the losers' half; each half is played
// out the same way, and the winners' placement comes before the losers'.
#include "engine/bracket.h"

#include <array>
#include <utility>

#include "engine/match_log.h"

namespace {

// The two halves a group splits into, in the order members were appended.
struct Halves {
  std::vector<Participant> winners;
  std::vector<Participant> losers;
};

// Plays members 0-1, 2-3, ... of the first pairCount pairs. The paired
// members are moved out of the group: long nested names need not be copied.
void playPairs(std::vector<Participant>* group, size_t pairCount,
               Halves* halves) {
  for (size_t i = 0; i < pairCount; ++i) {
    MatchRecord r = resolveMatch(std::move((*group)[2 * i]),
                                 std::move((*group)[2 * i + 1]));
    halves->winners.push_back(std::move(r.winner));
    halves->losers.push_back(std::move(r.loser));
  }
}

bool isDecided(const std::array<MatchRecord, 3>& results) {
  for (const MatchRecord& r : results) {
    if (r.winner.id >= kFirstPlaceholderId) return false;
    if (r.loser.id >= kFirstPlaceholderId) return false;
  }
  return true;
}

// Index (0, 1 or 2) of the member that drops out of a decided group: the one
// without a win, or the drawn one when each member has won once.
int droppingMember(const std::array<Participant, 3>& members,
                   const std::array<MatchRecord, 3>& results) {
  std::array<int, 3> wins{};
  for (int m = 0; m < 3; ++m) {
    for (const MatchRecord& r : results) {
      if (r.winner.id == members[m].id) ++wins[m];
    }
  }
  if (wins[0] == 1 && wins[1] == 1 && wins[2] == 1)
    return cycleDraw(members[0], members[1], members[2]);
  for (int m = 0; m < 3; ++m) {
    if (wins[m] == 0) return m;
  }
  return -1;  // only with duplicate ids among the members: nobody drops
}

// Stand-ins for the three places of a group whose results are not all known.
Participant threeWayPlaceholder(const char* tag,
                                const std::array<Participant, 3>& members) {
  Participant p;
  p.id = nextPlaceholderId();
  p.name = generatedName(tag, {&members[0].name, &members[1].name, &members[2].name});
  return p;
}

// The last three members of an odd group each meet the other two once.
void playThreeWay(const std::array<Participant, 3>& members, Halves* halves) {
  const Participant& x = members[0];
  const Participant& y = members[1];
  const Participant& z = members[2];
  const std::array<MatchRecord, 3> results = {
      resolveMatch(y, z), resolveMatch(x, z), resolveMatch(x, y)};
  if (!isDecided(results)) {
    // Known results shape nothing until all three are in.
    halves->winners.push_back(threeWayPlaceholder("t1", members));
    halves->winners.push_back(threeWayPlaceholder("t2", members));
    halves->losers.push_back(threeWayPlaceholder("t3", members));
    return;
  }
  const int dropping = droppingMember(members, results);
  for (int m = 0; m < 3; ++m) {
    if (m == dropping) {
      halves->losers.push_back(members[m]);
    } else {
      halves->winners.push_back(members[m]);
    }
  }
}

// A half of one member is its own placement; an empty half places nobody.
std::vector<Participant> placeHalf(std::vector<Participant> half) {
  if (half.size() > 1) return buildBracket(std::move(half));
  return half;
}

}  // namespace

// Groups of fewer than two members never arise from the recursion; one given
// from outside comes back as it is rather than being paired.
std::vector<Participant> buildBracket(std::vector<Participant> group) {
  if (group.size() < 2) return group;
  const size_t n = group.size();
  const bool odd = n % 2 == 1;
  Halves halves;
  halves.winners.reserve(n / 2 + 1);
  halves.losers.reserve(n / 2);
  playPairs(&group, odd ? (n - 3) / 2 : n / 2, &halves);
  if (odd) playThreeWay({group[n - 3], group[n - 2], group[n - 1]}, &halves);
  // The winners' half is played out first, so its matches are announced
  // first; hence a statement of its own rather than an argument below.
  std::vector<Participant> winnersPlacement = placeHalf(std::move(halves.winners));
  return concatenate(std::move(winnersPlacement), placeHalf(std::move(halves.losers)));
}

std::vector<Participant> concatenate(std::vector<Participant> first,
                                     std::vector<Participant> second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// FNV-1a over the three ids, reduced mod 3. Sums or plain differences of the
// ids would not do: consecutive ids (k, k+1, k+2) always sum to a multiple
// of 3, and would then always drop the same member.
int cycleDraw(const Participant& x, const Participant& y, const Participant& z) {
  uint32_t hash = 2166136261u;
  for (int32_t id : {x.id, y.id, z.id}) {
    for (int shift = 0; shift < 32; shift += 8) {
      hash ^= (static_cast<uint32_t>(id) >> shift) & 0xffu;
      hash *= 16777619u;
    }
  }
  return static_cast<int>(hash % 3);
}
