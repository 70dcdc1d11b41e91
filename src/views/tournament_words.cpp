// tournament_words.cpp: see tournament_words.h.
#include "views/tournament_words.h"

#include "engine/match_count.h"
#include "views/text_escape.h"

namespace {

struct PlaceholderTag {
  const char* tag;
  const char* words;
};

// The tags the bracket gives its placeholders (see bracket.cpp and
// match_log.cpp), in French.
const PlaceholderTag kTags[] = {
    {"winner(", "vainqueur de "},
    {"loser(", "perdant de "},
    {"t1(", "qualifié du groupe "},
    {"t2(", "qualifié du groupe "},
    {"t3(", "dernier du groupe "},
};

// A generated name in French: "winner(A,loser(B,C))" becomes
// "vainqueur de A – (perdant de B – C)". Text that is not a generated name
// (a player's name, or the end of a name cut short) stays as it is.
std::string describe(const std::string& name) {
  for (const PlaceholderTag& t : kTags) {
    const std::string tag = t.tag;
    if (name.compare(0, tag.size(), tag) != 0) continue;
    std::string inner = name.substr(tag.size());
    // A long generated name is cut and may have lost its closing parenthesis.
    if (!inner.empty() && inner.back() == ')') inner.pop_back();
    std::string out = t.words;
    std::string member;
    int depth = 0;
    auto flush = [&out, &member]() {
      const std::string shown = describe(member);
      out += shown == member ? member : "(" + shown + ")";
      member.clear();
    };
    for (char c : inner) {
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (c == ',' && depth == 0) {
        flush();
        out += " \xE2\x80\x93 ";
      } else {
        member += c;
      }
    }
    flush();
    return out;
  }
  return name;
}

const char kDash[] = " \xE2\x80\x93 ";

std::string sideWords(const TournamentState& state, const PairingSide& side, bool inner);

// Where a side not known yet comes from. The side's own match or group is
// named by its sides or members; one further up (inner) by its number only,
// so the words stay short however deep the bracket goes.
std::string originWords(const TournamentState& state, const SideOrigin& origin, bool inner) {
  const size_t index = static_cast<size_t>(origin.number) - 1;
  const std::string number = std::to_string(origin.number);
  switch (origin.kind) {
    case SideOrigin::Kind::kEntry: return "?";
    case SideOrigin::Kind::kWinnerOf:
    case SideOrigin::Kind::kLoserOf: {
      const std::string word =
          origin.kind == SideOrigin::Kind::kWinnerOf ? "vainqueur" : "perdant";
      if (inner || index >= state.pairings.size()) return word + " du match " + number;
      const Pairing& p = state.pairings[index];
      return word + " de " + sideWords(state, p.sides[0], true) + kDash +
             sideWords(state, p.sides[1], true);
    }
    case SideOrigin::Kind::kGroupPlace: {
      std::string out = origin.place < 3 ? "qualifi\xC3\xA9 du groupe " : "dernier du groupe ";
      if (inner || index >= state.groups.size()) return out + number;
      const ThreeWayGroup& g = state.groups[index];
      for (size_t m = 0; m < g.members.size(); ++m)
        out += (m ? kDash : "") + sideWords(state, g.members[m], true);
      return out;
    }
  }
  return "?";
}

std::string sideWords(const TournamentState& state, const PairingSide& side, bool inner) {
  return side.known ? nameText(side.player.name) : originWords(state, side.origin, inner);
}

}  // namespace

std::string nameText(const std::string& latin1) {
  return latin1.empty() ? "?" : latin1ToUtf8(latin1);
}

std::string sideText(const Participant& side) {
  const std::string name = nameText(side.name);
  return isPlayerId(side.id) ? name : describe(name);
}

std::vector<std::array<std::string, 2>> matchSidesText(const TournamentState& state) {
  std::vector<std::array<std::string, 2>> out;
  out.reserve(state.toPlay.size());
  for (const MatchToPlay& m : state.toPlay) {
    const size_t index = static_cast<size_t>(m.pairing) - 1;
    if (m.pairing > 0 && index < state.pairings.size()) {
      const Pairing& p = state.pairings[index];
      out.push_back({sideWords(state, p.sides[0], false), sideWords(state, p.sides[1], false)});
    } else {
      // A match made by hand, outside a rebuild: its generated names.
      out.push_back({sideText(m.first), sideText(m.second)});
    }
  }
  return out;
}

std::string resultUseText(ResultUse use) {
  switch (use) {
    case ResultUse::kCancelled: return "annulé";
    case ResultUse::kUsed: return "compte";
    case ResultUse::kUnused: return "sans objet";
    case ResultUse::kUnknownName: return "nom inconnu";
  }
  return "";
}

MatchCount countMatches(const TournamentState& state) {
  MatchCount count;
  count.played = static_cast<int>(state.usedResults.size());
  count.left = matchesLeft(static_cast<int>(state.players.size()), count.played,
                           static_cast<int>(state.forfeits.size()));
  return count;
}

bool isRunning(const TournamentState& state) {
  return state.players.empty() || !state.finished();
}

std::string tournamentHeading(const TournamentState& state) {
  if (state.players.empty()) return "Tournoi en préparation";
  return isRunning(state) ? "Tournoi en cours" : "Tournoi terminé";
}

bool hasWithdrawn(const TournamentState& state, int32_t id) {
  for (int32_t w : state.withdrawn)
    if (w == id) return true;
  return false;
}

std::string standingsName(const TournamentState& state, const Participant& player) {
  const std::string name = nameText(player.name);
  return hasWithdrawn(state, player.id) ? name + " (forfait)" : name;
}
