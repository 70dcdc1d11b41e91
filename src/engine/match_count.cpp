// match_count.cpp: see match_count.h. Follows bracket.cpp's shape: a group
// pairs off in order, an odd group's last three play a three-way group, then
// the winners' and the losers' halves are played out the same way.
//
// One pairing is not a new match: the two members a three-way group sends
// up have met in the group, and as the last two of the winners' half they
// are paired again (in its last pair, or in its own three-way group), which
// the earlier result settles. No other two members of a half ever met.
#include "engine/match_count.h"

#include <algorithm>

namespace {

// The new matches a group of that size plays, including its halves';
// lastTwoMet when its last two members come from one three-way group.
int groupMatches(int size, bool lastTwoMet) {
  if (size < 2) return 0;
  const int rematch = lastTwoMet ? 1 : 0;
  if (size % 2 == 0) {
    return size / 2 - rematch + 2 * groupMatches(size / 2, false);
  }
  const int pairs = (size - 3) / 2;
  return pairs + 3 - rematch + groupMatches(pairs + 2, true) + groupMatches(pairs + 1, false);
}

}  // namespace

int totalMatches(int players) { return groupMatches(players, false); }

int matchesLeft(int players, int used, int forfeits) {
  return std::max(0, totalMatches(players) - used - forfeits);
}
