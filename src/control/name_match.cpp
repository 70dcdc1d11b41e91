// name_match.cpp: folding, matching and checking player names.
#include "control/name_match.h"

#include <algorithm>
#include <tuple>

namespace {

// The base letters of the Latin-1 letters 0xC0 to 0xDF, which the lower
// case letters 0xE0 to 0xFF repeat 0x20 higher. '*' marks the bytes that
// fold otherwise: AE, the times sign, thorn, and sharp s (y diaeresis in
// the lower half).
constexpr char kBaseLetters[] = "aaaaaa*ceeeeiiiidnooooo*ouuuuy**";

void appendFolded(unsigned char c, std::string* out) {
  switch (c) {
    case 0xC6: case 0xE6: out->append("ae"); return;
    case 0xDF: out->append("ss"); return;
    case 0xFF: out->push_back('y'); return;
    case 0xDE: out->push_back('\xFE'); return;
    default: break;
  }
  if (c >= 'A' && c <= 'Z') {
    c = static_cast<unsigned char>(c - 'A' + 'a');
  } else if (c >= 0xC0 && kBaseLetters[c & 0x1F] != '*') {
    c = static_cast<unsigned char>(kBaseLetters[c & 0x1F]);
  }
  out->push_back(static_cast<char>(c));
}

bool isWordSeparator(char c) { return c == ' ' || c == '-' || c == '\'' || c == '.'; }

// True when foldedTyped starts foldedName or one of its words.
bool startsAWord(const std::string& foldedName, const std::string& foldedTyped) {
  if (foldedTyped.empty()) return true;
  for (size_t i = 0; i < foldedName.size(); ++i) {
    bool wordStart = i == 0 || isWordSeparator(foldedName[i - 1]);
    if (wordStart && foldedName.compare(i, foldedTyped.size(), foldedTyped) == 0)
      return true;
  }
  return false;
}

}  // namespace

std::string foldName(const std::string& latin1) {
  std::string folded;
  folded.reserve(latin1.size());
  for (char c : latin1) appendFolded(static_cast<unsigned char>(c), &folded);
  return folded;
}

bool sameName(const std::string& a, const std::string& b) {
  return foldName(a) == foldName(b);
}

bool matchesName(const std::string& name, const std::string& typed) {
  return startsAWord(foldName(name), foldName(typed));
}

std::vector<int32_t> completionCandidates(const std::vector<Participant>& players,
                                          const std::string& typed,
                                          const std::vector<int32_t>& preferred) {
  const std::string folded = foldName(typed);
  // (not an exact match, place in preferred or past its end, entry place, id)
  std::vector<std::tuple<bool, size_t, size_t, int32_t>> ranked;
  for (size_t i = 0; i < players.size(); ++i) {
    const std::string name = foldName(players[i].name);
    if (!startsAWord(name, folded)) continue;
    size_t place = static_cast<size_t>(
        std::find(preferred.begin(), preferred.end(), players[i].id) - preferred.begin());
    ranked.emplace_back(name != folded, place, i, players[i].id);
  }
  std::sort(ranked.begin(), ranked.end());
  std::vector<int32_t> ids;
  for (const auto& entry : ranked) ids.push_back(std::get<3>(entry));
  return ids;
}

int32_t findPlayer(const std::vector<Participant>& players, const std::string& typed) {
  const std::string folded = foldName(typed);
  int32_t found = kNoParticipant;
  for (const Participant& player : players)
    if (foldName(player.name) == folded) found = player.id;
  return found;
}
