// The bracket laid out in the tournament's value: every pairing and
// three-way group with its sides' origins, its places and where its winner
// and loser go. Worked examples for four and five players, then whole
// tournaments of every size checked for consistency turn by turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "engine/tournament_state.h"
#include "tournament_play.h"

namespace {

using Rows = std::vector<std::string>;

std::string originText(const SideOrigin& o) {
  const std::string n = std::to_string(o.number);
  switch (o.kind) {
    case SideOrigin::Kind::kEntry: return "";
    case SideOrigin::Kind::kWinnerOf: return "W" + n;
    case SideOrigin::Kind::kLoserOf: return "L" + n;
    case SideOrigin::Kind::kGroupPlace: return "G" + n + "." + std::to_string(o.place);
  }
  return "?";
}

// A known side as "A", or "A(W1)" once it came from somewhere; else "W1".
std::string sideText(const PairingSide& s) {
  const std::string from = originText(s.origin);
  if (!s.known) return from;
  return from.empty() ? s.player.name : s.player.name + "(" + from + ")";
}

std::string destinationText(const Destination& d) {
  const std::string n = std::to_string(d.number);
  switch (d.kind) {
    case Destination::Kind::kNone: return "-";
    case Destination::Kind::kPairing: return "P" + n;
    case Destination::Kind::kGroup: return "G" + n;
    case Destination::Kind::kPlace: return "#" + n;
  }
  return "?";
}

std::string placesText(const PlaceRange& r) {
  return std::to_string(r.first) + "-" + std::to_string(r.winnersLast) + "-" +
         std::to_string(r.last);
}

// "3 W1 v W2 | wait | 1-1-2 | #1 #2", a played one "| n0 A |" (log position
// and winner), a group's matches "| G1 |" in place of destinations.
Rows pairingRows(const TournamentState& state) {
  Rows rows;
  for (const Pairing& p : state.pairings) {
    std::string status = p.status == PairingStatus::kToPlay ? "play" : "wait";
    if (p.status == PairingStatus::kPlayed)
      status = "n" + std::to_string(p.logPosition) + " " + state.players.at(p.winner).name;
    rows.push_back(std::to_string(p.number) + " " + sideText(p.sides[0]) + " v " +
                   sideText(p.sides[1]) + " | " + status + " | " + placesText(p.places) + " | " +
                   (p.group != 0 ? "G" + std::to_string(p.group)
                                 : destinationText(p.winnerTo) + " " + destinationText(p.loserTo)));
  }
  return rows;
}

// "G1 C D E | 2 3 4 | 1-3-5 | G2 G2 P9", then " | C D E" once decided.
Rows groupRows(const TournamentState& state) {
  Rows rows;
  for (const ThreeWayGroup& g : state.groups) {
    std::string row = "G" + std::to_string(g.number);
    for (const PairingSide& m : g.members) row += " " + sideText(m);
    row += " |";
    for (int p : g.pairings) row += " " + std::to_string(p);
    row += " | " + placesText(g.places) + " |";
    for (const Destination& d : g.to) row += " " + destinationText(d);
    if (g.finish[0] != kNoParticipant) {
      row += " |";
      for (int32_t id : g.finish) row += " " + state.players.at(static_cast<size_t>(id)).name;
    }
    rows.push_back(row);
  }
  return rows;
}

// One result entered (none with winner -1), and the rows after it; steps
// with no rows expected are only played.
struct Step {
  int winner, loser;
  Rows pairings, groups;
};

void playSteps(const std::vector<Participant>& players, const std::vector<Step>& steps) {
  ResultLog log;
  for (const Step& step : steps) {
    if (step.winner >= 0) log.append(MatchRecord{players[step.winner], players[step.loser]});
    if (step.pairings.empty()) continue;
    const std::string after =
        step.winner < 0 ? "no result" : "entry " + std::to_string(log.entries().size() - 1);
    const TournamentState state = computeTournament(players, log);
    EXPECT_EQ(pairingRows(state), step.pairings) << "after " << after;
    EXPECT_EQ(groupRows(state), step.groups) << "after " << after;
  }
}

// --- worked examples

TEST(PairingTest, FourPlayersPlayTwoRoundsOfTwoPairings) {
  playSteps({{0, "A"}, {1, "B"}, {2, "C"}, {3, "D"}},
            {{-1, -1,
              {"1 A v B | play | 1-2-4 | P3 P4", "2 C v D | play | 1-2-4 | P3 P4",
               "3 W1 v W2 | wait | 1-1-2 | #1 #2", "4 L1 v L2 | wait | 3-3-4 | #3 #4"},
              {}},
             {0, 1,
              {"1 A v B | n0 A | 1-2-4 | P3 P4", "2 C v D | play | 1-2-4 | P3 P4",
               "3 A(W1) v W2 | wait | 1-1-2 | #1 #2", "4 B(L1) v L2 | wait | 3-3-4 | #3 #4"},
              {}},
             {3, 2,
              {"1 A v B | n0 A | 1-2-4 | P3 P4", "2 C v D | n1 D | 1-2-4 | P3 P4",
               "3 A(W1) v D(W2) | play | 1-1-2 | #1 #2", "4 B(L1) v C(L2) | play | 3-3-4 | #3 #4"},
              {}},
             {3, 0,
              {"1 A v B | n0 A | 1-2-4 | P3 P4", "2 C v D | n1 D | 1-2-4 | P3 P4",
               "3 A(W1) v D(W2) | n2 D | 1-1-2 | #1 #2", "4 B(L1) v C(L2) | play | 3-3-4 | #3 #4"},
              {}}});
}

// A-B is a pair; C, D and E form group 1. Its two best and the winner of
// A-B form group 2 for places 1 to 3; the loser of A-B meets the group's
// third for places 4 and 5. Once group 1 is decided its first two (C and D)
// meet again in group 2, settled by their match in group 1.
TEST(PairingTest, FivePlayersPlayTwoThreeWayGroups) {
  playSteps(
      {{0, "A"}, {1, "B"}, {2, "C"}, {3, "D"}, {4, "E"}},
      {{-1, -1,
        {"1 A v B | play | 1-3-5 | G2 P9", "2 D v E | play | 1-3-5 | G1",
         "3 C v E | play | 1-3-5 | G1", "4 C v D | play | 1-3-5 | G1",
         "5 G1.1 v G1.2 | wait | 1-2-3 | G2", "6 W1 v G1.2 | wait | 1-2-3 | G2",
         "7 W1 v G1.1 | wait | 1-2-3 | G2", "8 G2.1 v G2.2 | wait | 1-1-2 | #1 #2",
         "9 L1 v G1.3 | wait | 4-4-5 | #4 #5"},
        {"G1 C D E | 2 3 4 | 1-3-5 | G2 G2 P9", "G2 W1 G1.1 G1.2 | 5 6 7 | 1-2-3 | P8 P8 #3"}},
       {0, 1, {}, {}},
       {3, 4, {}, {}},
       {2, 4, {}, {}},
       {2, 3,
        {"1 A v B | n0 A | 1-3-5 | G2 P9", "2 D v E | n1 D | 1-3-5 | G1",
         "3 C v E | n2 C | 1-3-5 | G1", "4 C v D | n3 C | 1-3-5 | G1",
         "5 C(G1.1) v D(G1.2) | n3 C | 1-2-3 | G2", "6 A(W1) v D(G1.2) | play | 1-2-3 | G2",
         "7 A(W1) v C(G1.1) | play | 1-2-3 | G2", "8 G2.1 v G2.2 | wait | 1-1-2 | #1 #2",
         "9 B(L1) v E(G1.3) | play | 4-4-5 | #4 #5"},
        {"G1 C D E | 2 3 4 | 1-3-5 | G2 G2 P9 | C D E",
         "G2 A(W1) C(G1.1) D(G1.2) | 5 6 7 | 1-2-3 | P8 P8 #3"}}});
}

// --- every size from two to a hundred players, turn by turn

bool sameOrigin(const SideOrigin& a, const SideOrigin& b) {
  return a.kind == b.kind && a.number == b.number && a.place == b.place;
}

// How many sides of the destination (a pairing outside groups, or a
// group's members) come from `origin`, and the places the destination's
// group decides; an empty range for a destination that is none of these.
int arrivals(const TournamentState& s, const Destination& to, const SideOrigin& origin,
             PlaceRange* places) {
  const size_t index = static_cast<size_t>(to.number) - 1;
  int count = 0;
  if (to.kind == Destination::Kind::kPairing && index < s.pairings.size() &&
      s.pairings[index].group == 0) {
    for (const PairingSide& side : s.pairings[index].sides)
      count += sameOrigin(side.origin, origin);
    *places = s.pairings[index].places;
  } else if (to.kind == Destination::Kind::kGroup && index < s.groups.size()) {
    for (const PairingSide& side : s.groups[index].members)
      count += sameOrigin(side.origin, origin);
    *places = s.groups[index].places;
  }
  return count;
}

// Who is sent where: each winner, loser and group place goes to a pairing
// or group that takes it in exactly one side, within the half's places, or
// to the half's single place. Returns each final place's sender count, and
// the number of sides sent on.
void checkDestinations(const TournamentState& s, const std::string& where,
                       std::vector<int>* placeSenders, int* sent) {
  const auto check = [&](const Destination& to, const SideOrigin& from, const PlaceRange& r,
                         bool upper) {
    const int first = upper ? r.first : r.winnersLast + 1;
    const int last = upper ? r.winnersLast : r.last;
    const std::string what = where + ", " + originText(from) + " to " + destinationText(to);
    if (to.kind == Destination::Kind::kPlace) {
      EXPECT_TRUE(first == last && to.number == first) << what << " of " << placesText(r);
      const int place = std::clamp(to.number, 0, static_cast<int>(s.placement.size()));
      ++placeSenders->at(static_cast<size_t>(place));
      return;
    }
    PlaceRange arrived;
    EXPECT_EQ(arrivals(s, to, from, &arrived), 1) << what;
    EXPECT_TRUE(arrived.first == first && arrived.last == last) << what << " of " << placesText(r);
    ++*sent;
  };
  for (const Pairing& p : s.pairings) {
    EXPECT_EQ(p.number, &p - s.pairings.data() + 1) << where;
    if (p.group != 0) continue;
    check(p.winnerTo, SideOrigin{SideOrigin::Kind::kWinnerOf, p.number, 0}, p.places, true);
    check(p.loserTo, SideOrigin{SideOrigin::Kind::kLoserOf, p.number, 0}, p.places, false);
  }
  for (const ThreeWayGroup& g : s.groups) {
    EXPECT_EQ(g.number, &g - s.groups.data() + 1) << where;
    for (int place = 1; place <= 3; ++place) {
      const int pairing = g.pairings[static_cast<size_t>(place - 1)];
      EXPECT_EQ(s.pairings.at(static_cast<size_t>(pairing) - 1).group, g.number) << where;
      check(g.to[static_cast<size_t>(place - 1)],
            SideOrigin{SideOrigin::Kind::kGroupPlace, g.number, place}, g.places, place < 3);
    }
  }
}

// Statuses, results and known sides against the log, the matches to play
// and the results the rebuild used.
void checkAgainstLog(const TournamentState& s, const ResultLog& log, const std::string& where) {
  std::vector<MatchToPlay> open;
  std::vector<int> openNumbers;  // their pairings' numbers
  std::set<size_t> positions;
  for (const Pairing& p : s.pairings) {
    const std::string at = where + ", pairing " + std::to_string(p.number);
    const PairingSide& a = p.sides[0];
    const PairingSide& b = p.sides[1];
    EXPECT_EQ(p.status == PairingStatus::kPlayed, p.logPosition != kNoLogPosition) << at;
    if (p.status == PairingStatus::kPlayed) {
      ASSERT_TRUE(a.known && b.known) << at;
      const size_t* deciding = log.deciding(a.player.id, b.player.id);
      ASSERT_NE(deciding, nullptr) << at;
      EXPECT_EQ(*deciding, p.logPosition) << at;
      EXPECT_EQ(p.winner, log.entries()[p.logPosition].winner.id) << at;
      positions.insert(p.logPosition);
    } else {
      EXPECT_EQ(p.status == PairingStatus::kToPlay, a.known && b.known) << at;
      EXPECT_EQ(p.winner, kNoParticipant) << at;
      if (a.known || b.known) {
        open.push_back({a.known ? a.player : Participant{}, b.known ? b.player : Participant{}});
        openNumbers.push_back(p.number);
      }
    }
  }
  EXPECT_EQ(std::vector<size_t>(positions.begin(), positions.end()), s.usedResults) << where;
  ASSERT_EQ(open.size(), s.toPlay.size()) << where;
  // The announced placeholder sides are not compared: their ids are the
  // placeholders', which the value does not keep.
  for (size_t i = 0; i < open.size(); ++i) {
    const auto player = [](const Participant& p) { return isPlayerId(p.id) ? p.id : -1; };
    EXPECT_EQ(open[i].first.id, player(s.toPlay[i].first)) << where << ", open " << i;
    EXPECT_EQ(open[i].second.id, player(s.toPlay[i].second)) << where << ", open " << i;
    EXPECT_EQ(openNumbers[i], s.toPlay[i].pairing) << where << ", open " << i;
  }
}

// Everything about the value's pairings and groups that one state shows.
void checkBracket(const TournamentState& s, const ResultLog& log, const std::string& where) {
  const size_t n = s.players.size();
  std::vector<int> placeSenders(n + 1, 0);
  int sent = 0;
  checkDestinations(s, where, &placeSenders, &sent);
  for (size_t place = 1; place <= n; ++place)
    EXPECT_EQ(placeSenders[place], 1) << where << ": place " << place;
  // Every side that comes from somewhere was sent there, and the players
  // enter once each, in order, at the top.
  int fromSomewhere = 0;
  std::vector<int32_t> entered;
  const auto count = [&](const PairingSide& side) {
    if (side.origin.kind != SideOrigin::Kind::kEntry) ++fromSomewhere;
    else entered.push_back(side.known ? side.player.id : kNoParticipant);
  };
  for (const Pairing& p : s.pairings)
    if (p.group == 0) std::for_each(p.sides.begin(), p.sides.end(), count);
  for (const ThreeWayGroup& g : s.groups) std::for_each(g.members.begin(), g.members.end(), count);
  EXPECT_EQ(fromSomewhere, sent) << where;
  std::vector<int32_t> ids;
  for (const Participant& p : s.players) ids.push_back(p.id);
  EXPECT_EQ(entered, ids) << where;
  checkAgainstLog(s, log, where);
}

TEST(PairingTest, EveryTournamentLaysOutTheSameConsistentBracketEachTurn) {
  for (int n = kMinPlayers; n <= kMaxPlayers; ++n) {
    size_t turn = 0;
    size_t pairings = 0;
    const TournamentState end = playThrough(
        numberedPlayers(n), static_cast<uint32_t>(n) * 7919u,
        [&](const TournamentState& state, const ResultLog& log) {
          const std::string where = std::to_string(n) + " players, turn " + std::to_string(turn);
          if (turn++ == 0) pairings = state.pairings.size();
          EXPECT_EQ(state.pairings.size(), pairings) << where;
          checkBracket(state, log, where);
        });
    ASSERT_TRUE(end.finished()) << n << " players";
    // Each final place holds the player sent to it.
    const auto holder = [&end](const Destination& to) {
      return end.placement.at(static_cast<size_t>(to.number) - 1).id;
    };
    const auto isPlace = [](const Destination& to) { return to.kind == Destination::Kind::kPlace; };
    for (const Pairing& p : end.pairings) {
      const std::string where = std::to_string(n) + " players, pairing " + std::to_string(p.number);
      ASSERT_EQ(p.status, PairingStatus::kPlayed) << where;
      const bool firstWon = p.sides[0].player.id == p.winner;
      if (isPlace(p.winnerTo)) {
        EXPECT_EQ(holder(p.winnerTo), p.winner) << where;
      }
      if (isPlace(p.loserTo)) {
        EXPECT_EQ(holder(p.loserTo), p.sides[firstWon ? 1 : 0].player.id) << where;
      }
    }
    for (const ThreeWayGroup& g : end.groups) {
      for (size_t place = 0; place < 3; ++place) {
        if (!isPlace(g.to[place])) continue;
        EXPECT_EQ(holder(g.to[place]), g.finish[place]) << n << " players, group " << g.number;
      }
    }
  }
}

}  // namespace
