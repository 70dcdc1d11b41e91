// name_match.cpp: folding, matching and checking player names.
#include "control/name_match.h"

#include <algorithm>
#include <tuple>

namespace {

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


const Participant* playerWithId(const std::vector<Participant>& players, int32_t id) {
  for (const Participant& player : players)
    if (player.id == id) return &player;
  return nullptr;
}

// The longest start of the first candidate's name whose folded form is the
// longest common start of every candidate's folded name.
std::string commonStart(const std::vector<Participant>& players,
                        const std::vector<int32_t>& ids) {
  const std::string& first = playerWithId(players, ids[0])->name;
  std::string common = foldName(first);
  for (int32_t id : ids) {
    const std::string folded = foldName(playerWithId(players, id)->name);
    size_t length = 0;
    while (length < common.size() && length < folded.size() &&
           common[length] == folded[length])
      ++length;
    common.resize(length);
  }
  // A letter that folds to two stops the start before it when only its
  // first half is common.
  std::string start, folded;
  for (char c : first) {
    folded += foldName(std::string(1, c));
    if (folded.size() > common.size()) break;
    start.push_back(c);
  }
  return start;
}

// The first Tab of a row: see pressTab.
Completion startCompletion(const std::string& input,
                           const std::vector<Participant>& players,
                           const std::vector<int32_t>& preferred) {
  Completion result;
  result.text = input;
  std::vector<int32_t> ids = completionCandidates(players, input, preferred);
  if (ids.empty()) return result;
  if (ids.size() == 1) {
    result.outcome = TabOutcome::kWholeName;
    result.text = playerWithId(players, ids[0])->name;
    return result;
  }
  result.outcome = TabOutcome::kSeveral;
  const std::string start = commonStart(players, ids);
  const std::string foldedStart = foldName(start);
  const std::string foldedInput = foldName(input);
  if (foldedStart.size() > foldedInput.size() &&
      foldedStart.compare(0, foldedInput.size(), foldedInput) == 0)
    result.text = start;
  result.cycle = std::move(ids);
  return result;
}

// Edit distance between a and b: letters added, removed or replaced, and
// two neighbours swapped (each letter moved at most once).
size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t replace = d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, replace});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[a.size()][b.size()];
}

size_t commonStartLength(const std::string& a, const std::string& b) {
  size_t length = 0;
  while (length < a.size() && length < b.size() && a[length] == b[length]) ++length;
  return length;
}

// The command word text folds to, or nullptr.
const char* commandWordOf(const std::string& text) {
  const std::string folded = foldName(text);
  for (const char* word : kCommandWords)
    if (folded == word) return word;
  return nullptr;
}

}  // namespace

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

const char* const kNoCandidateMessage = "Aucun joueur ne correspond";

Completion pressTab(const Completion& state, const std::string& input,
                    const std::vector<Participant>& players,
                    const std::vector<int32_t>& preferred) {
  if (state.cycle.empty() || state.text != input)
    return startCompletion(input, players, preferred);
  const size_t size = state.cycle.size();
  size_t place = state.next % size;
  const Participant* shown = playerWithId(players, state.cycle[place]);
  if (shown != nullptr && shown->name == input) {
    place = (place + 1) % size;
    shown = playerWithId(players, state.cycle[place]);
  }
  // Players do not change between two Tabs; if they did, start over.
  if (shown == nullptr) return startCompletion(input, players, preferred);
  Completion result = state;
  result.outcome = TabOutcome::kNextInCycle;
  result.text = shown->name;
  result.next = (place + 1) % size;
  return result;
}

std::string joinWhatFits(const std::vector<std::string>& items, const std::string& separator,
                         size_t maxBytes) {
  const std::string kMore = " ...";
  std::string all;
  std::string line;  // the most whole items that leave room for kMore
  for (size_t i = 0; i < items.size(); ++i) {
    all += (i == 0 ? "" : separator) + items[i];
    if (all.size() + kMore.size() <= maxBytes) line = all;
  }
  if (all.size() <= maxBytes) return all;
  if (maxBytes < kMore.size()) return "";
  if (line.empty()) line = items[0].substr(0, maxBytes - kMore.size());
  return line + kMore;
}

std::string candidatesLine(const std::vector<Participant>& players,
                           const std::vector<int32_t>& ids, size_t maxBytes) {
  std::vector<std::string> names;
  for (int32_t id : ids)
    if (const Participant* player = playerWithId(players, id)) names.push_back(player->name);
  return joinWhatFits(names, "  ", maxBytes);
}

std::vector<std::string> closestNames(const std::vector<Participant>& players,
                                      const std::string& typed, size_t max) {
  const std::string folded = foldName(typed);
  // (distance, common start length negated, entry place) of the names offered
  std::vector<std::tuple<size_t, long, size_t>> offered;
  for (size_t i = 0; i < players.size(); ++i) {
    const std::string name = foldName(players[i].name);
    bool any = false;
    std::tuple<size_t, long, size_t> best;
    for (size_t start = 0; start < name.size(); ++start) {
      if (start > 0 && !isWordSeparator(name[start - 1])) continue;
      const std::string form = name.substr(start);
      size_t distance = editDistance(folded, form);
      if (2 * distance > std::max(folded.size(), form.size())) continue;
      auto rank = std::make_tuple(distance, -static_cast<long>(commonStartLength(folded, form)), i);
      if (!any || rank < best) best = rank;
      any = true;
    }
    if (any) offered.push_back(best);
  }
  std::sort(offered.begin(), offered.end());
  std::vector<std::string> names;
  for (size_t k = 0; k < offered.size() && k < max; ++k)
    names.push_back(players[std::get<2>(offered[k])].name);
  return names;
}

std::string nameRefusal(const std::string& name) {
  if (name.find_first_not_of(' ') == std::string::npos) return "Le nom ne peut pas etre vide";
  if (name.size() > kMaxNameBytes)
    return "Le nom depasse " + std::to_string(kMaxNameBytes) + " caracteres";
  if (name.find('(') != std::string::npos) return "Le nom ne peut pas contenir \"(\"";
  if (const char* word = commandWordOf(name))
    return "\"" + std::string(word) + "\" est une commande, pas un nom";
  return "";
}

bool isCommandWord(const std::string& text) { return commandWordOf(text) != nullptr; }

std::string entryRefusal(const std::vector<Participant>& entered, const std::string& name) {
  std::string refusal = nameRefusal(name);
  if (!refusal.empty()) return refusal;
  const std::string folded = foldName(name);
  for (size_t i = 0; i < entered.size(); ++i)
    if (foldName(entered[i].name) == folded)
      return "Ce nom est deja pris par le joueur " + std::to_string(i + 1);
  return "";
}
