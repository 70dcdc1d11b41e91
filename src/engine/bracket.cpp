// The placement tournament, rebuilt from the players and MatchLog each turn.
//
// A group is paired off in list order; an odd group's last three members play
// a three-way group. Pair winners and the advancing members of the three-way
// group form the winners' half, the rest the losers' half; each half is played
// out the same way, and the winners' placement comes before the losers'.
// A withdrawn player loses its pairings without a result by forfeit (see
// resolveMatch), in pairs and in three-way groups alike.
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
               Halves* halves, BracketTrace* trace) {
  for (size_t i = 0; i < pairCount; ++i) {
    MatchRecord r = resolveMatch(std::move((*group)[2 * i]),
                                 std::move((*group)[2 * i + 1]), trace);
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

// Index (0, 1 or 2) of the member that drops out of a group, given each
// member's number of wins: the one without a win, or when each member has
// won once, `forfeiter` if there is one (>= 0), else the drawn one; -1 if
// nobody (only with duplicate ids).
int droppingMember(const std::array<Participant, 3>& members,
                   const std::array<int, 3>& wins, int forfeiter) {
  if (wins[0] == 1 && wins[1] == 1 && wins[2] == 1)
    return forfeiter >= 0 ? forfeiter : cycleDraw(members[0], members[1], members[2]);
  for (int m = 0; m < 3; ++m) {
    if (wins[m] == 0) return m;
  }
  return -1;
}

std::array<int, 3> winsOf(const std::array<Participant, 3>& members,
                          const std::array<MatchRecord, 3>& results) {
  std::array<int, 3> wins{};
  for (int m = 0; m < 3; ++m) {
    for (const MatchRecord& r : results) {
      if (r.winner.id == members[m].id) ++wins[m];
    }
  }
  return wins;
}

// The member who withdrew first among those who lost a match of the group
// by forfeit (trace->forfeits from `firstForfeit` on), or -1. In a cycle it
// drops instead of the drawn one: a withdrawn player must not end above a
// player it forfeited to, and whoever it lost to by forfeit withdrew later
// or not at all.
int earliestForfeiter(const std::array<Participant, 3>& members, const BracketTrace& trace,
                      size_t firstForfeit) {
  int found = -1;
  for (size_t i = firstForfeit; i < trace.forfeits.size(); ++i) {
    const int32_t loser = trace.forfeits[i].loser.id;
    for (int m = 0; m < 3; ++m) {
      if (members[m].id != loser) continue;
      if (found < 0 || trace.withdrawalRank[static_cast<size_t>(loser)] <
                           trace.withdrawalRank[static_cast<size_t>(members[found].id)])
        found = m;
    }
  }
  return found;
}

// Stand-ins for the three places of a group whose results are not all known.
Participant threeWayPlaceholder(const char* tag, const std::array<Participant, 3>& members,
                                BracketTrace* trace) {
  Participant p;
  p.id = trace != nullptr ? trace->nextPlaceholderId() : nextPlaceholderId();
  p.name = generatedName(tag, {&members[0].name, &members[1].name, &members[2].name});
  return p;
}

// Matches of a group, as member indices: y-z, x-z, x-y (the order played).
constexpr int kGroupSides[3][2] = {{1, 2}, {0, 2}, {0, 1}};

// Whether the member (a player) can drop out of, and advance from, a cycle:
// the draw depends on the ids, so every assignment of players to the other
// two slots is tried until both answers are known.
void searchCycle(const std::array<Participant, 3>& members,
                 const std::array<PlayerSet, 3>& candidates, int member,
                 bool* canDrop, bool* canAdvance) {
  const int first = member == 0 ? 1 : 0;
  const int second = member == 2 ? 1 : 2;
  std::array<Participant, 3> trial = members;
  const PlayerSet& firsts = candidates[first];
  const PlayerSet& seconds = candidates[second];
  for (size_t p = firsts._Find_first(); p < firsts.size(); p = firsts._Find_next(p)) {
    for (size_t q = seconds._Find_first(); q < seconds.size(); q = seconds._Find_next(q)) {
      if (p == q || static_cast<int32_t>(p) == members[member].id ||
          static_cast<int32_t>(q) == members[member].id)
        continue;
      trial[first].id = static_cast<int32_t>(p);
      trial[second].id = static_cast<int32_t>(q);
      (cycleDraw(trial[0], trial[1], trial[2]) == member ? *canDrop : *canAdvance) = true;
      if (*canDrop && *canAdvance) return;
    }
  }
}

// Candidates of the three placeholders of a group whose results are not all
// in: every way its open results can go is tried. A result is known only
// between two players; a member that is still a placeholder can win or lose
// both its matches, so its candidates can both advance and drop.
// The two advancing slots get the same set: which pairs of players can
// advance together is not tracked, so two sets built on them later (their
// meeting in the winners' half, say) may hold a player who could only get
// there with a partner that cannot advance beside it. Once results are in,
// the sets shrink to the real players. When a withdrawn player can be in the
// group, a cycle may drop a member who lost by forfeit rather than the drawn
// one (see earliestForfeiter): any member can then advance, and a withdrawn
// one drop.
void noteOpenGroup(const std::array<Participant, 3>& members,
                   const std::array<MatchRecord, 3>& results, const Halves& halves,
                   BracketTrace* trace) {
  const std::array<PlayerSet, 3> candidates = {trace->candidates(members[0]),
                                               trace->candidates(members[1]),
                                               trace->candidates(members[2])};
  const bool mayForfeit =
      ((candidates[0] | candidates[1] | candidates[2]) & trace->withdrawn).any();
  PlayerSet advancing;
  PlayerSet dropping;
  for (int outcome = 0; outcome < 8; ++outcome) {
    std::array<int, 3> wins{};
    bool repeated = false;  // a known result is taken once, not per bit
    for (int m = 0; m < 3; ++m) {
      const bool secondWins = (outcome >> m) & 1;
      const int32_t known = results[m].winner.id;
      if (isPlayerId(known)) {
        repeated = repeated || secondWins;
        ++wins[members[kGroupSides[m][1]].id == known ? kGroupSides[m][1]
                                                        : kGroupSides[m][0]];
      } else {
        ++wins[kGroupSides[m][secondWins ? 1 : 0]];
      }
    }
    if (repeated) continue;
    for (int m = 0; m < 3; ++m) {
      bool canDrop = wins[m] == 0;
      bool canAdvance = wins[m] == 2;
      if (wins[m] == 1 && wins[0] == wins[1] && wins[1] == wins[2]) {
        if (isPlayerId(members[m].id)) {
          searchCycle(members, candidates, m, &canDrop, &canAdvance);
          if (mayForfeit) {
            canAdvance = true;
            canDrop = canDrop || trace->withdrawn.test(static_cast<size_t>(members[m].id));
          }
        } else {
          canDrop = canAdvance = true;
        }
      } else if (wins[m] == 1) {
        canAdvance = true;
      }
      if (canDrop) dropping |= candidates[m];
      if (canAdvance) advancing |= candidates[m];
    }
  }
  const size_t w = halves.winners.size();
  trace->setCandidates(halves.winners[w - 2].id, advancing);
  trace->setCandidates(halves.winners[w - 1].id, advancing);
  trace->setCandidates(halves.losers.back().id, dropping);
}

// Tells the trace who the group sent on: the last two members of the
// winners' half and the last of the losers' half.
void endThreeWay(const Halves& halves, bool decided, BracketTrace* trace) {
  const size_t w = halves.winners.size();
  trace->endThreeWay(halves.winners[w - 2], halves.winners[w - 1], halves.losers.back(),
                     decided);
}

// The last three members of an odd group each meet the other two once.
void playThreeWay(const std::array<Participant, 3>& members, Halves* halves,
                  BracketTrace* trace) {
  const Participant& x = members[0];
  const Participant& y = members[1];
  const Participant& z = members[2];
  const size_t firstForfeit = trace != nullptr ? trace->forfeits.size() : 0;
  if (trace != nullptr) trace->startThreeWay(members);
  const std::array<MatchRecord, 3> results = {
      resolveMatch(y, z, trace), resolveMatch(x, z, trace), resolveMatch(x, y, trace)};
  if (!isDecided(results)) {
    // Known results shape nothing until all three are in.
    halves->winners.push_back(threeWayPlaceholder("t1", members, trace));
    halves->winners.push_back(threeWayPlaceholder("t2", members, trace));
    halves->losers.push_back(threeWayPlaceholder("t3", members, trace));
    if (trace != nullptr) noteOpenGroup(members, results, *halves, trace);
    if (trace != nullptr) endThreeWay(*halves, false, trace);
    return;
  }
  const int forfeiter =
      trace != nullptr ? earliestForfeiter(members, *trace, firstForfeit) : -1;
  const int dropping = droppingMember(members, winsOf(members, results), forfeiter);
  for (int m = 0; m < 3; ++m) {
    if (m == dropping) {
      halves->losers.push_back(members[m]);
    } else {
      halves->winners.push_back(members[m]);
    }
  }
  if (trace != nullptr && dropping >= 0) endThreeWay(*halves, true, trace);
  // With duplicate ids nobody drops: there is no place 3 to send on.
  if (trace != nullptr && dropping < 0) trace->openGroup = 0;
}

// A half of one member is its own placement; an empty half places nobody.
std::vector<Participant> placeHalf(std::vector<Participant> half,
                                   BracketTrace* trace) {
  if (half.size() > 1) return buildBracket(std::move(half), trace);
  if (trace != nullptr && half.size() == 1) trace->notePlace(half.front());
  return half;
}

}  // namespace

// Groups of fewer than two members never arise from the recursion; one given
// from outside comes back as it is rather than being paired.
std::vector<Participant> buildBracket(std::vector<Participant> group,
                                      BracketTrace* trace) {
  if (group.size() < 2) return group;
  const size_t n = group.size();
  const bool odd = n % 2 == 1;
  if (trace != nullptr) trace->startGroup(n);
  Halves halves;
  halves.winners.reserve(n / 2 + 1);
  halves.losers.reserve(n / 2);
  playPairs(&group, odd ? (n - 3) / 2 : n / 2, &halves, trace);
  if (odd) playThreeWay({group[n - 3], group[n - 2], group[n - 1]}, &halves, trace);
  // The winners' half is played out first, so its matches are announced
  // first; hence a statement of its own rather than an argument below.
  std::vector<Participant> winnersPlacement = placeHalf(std::move(halves.winners), trace);
  return concatenate(std::move(winnersPlacement),
                     placeHalf(std::move(halves.losers), trace));
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
