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

}  // namespace

std::string nameText(const std::string& latin1) {
  return latin1.empty() ? "?" : latin1ToUtf8(latin1);
}

std::string sideText(const Participant& side) {
  const std::string name = nameText(side.name);
  return isPlayerId(side.id) ? name : describe(name);
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

bool hasWithdrawn(const TournamentState& state, int32_t id) {
  for (int32_t w : state.withdrawn)
    if (w == id) return true;
  return false;
}

std::string standingsName(const TournamentState& state, const Participant& player) {
  const std::string name = nameText(player.name);
  return hasWithdrawn(state, player.id) ? name + " (forfait)" : name;
}
