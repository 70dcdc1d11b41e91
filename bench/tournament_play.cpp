// tournament_play.cpp: see tournament_play.h.
#include "tournament_play.h"

#include <map>
#include <ostream>
#include <random>

#include "display/text_panel.h"
#include "engine/bracket.h"
#include "engine/match_log.h"

namespace {

const std::string kAnnouncePrefix = "***** Play match ";
const std::string kVersus = " vs ";

// Row 0 of leftPanel without its trailing spaces: the first match the last
// rebuild announced, or "" when nothing is left to play.
std::string firstAnnouncement() {
  std::string row = leftPanel.row(0);
  size_t end = row.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : row.substr(0, end + 1);
}

// The two player indices of an announcement row; false if it is anything
// else (a placeholder side, a cut name, an unknown name).
bool parseAnnouncement(const std::string& row,
                       const std::map<std::string, int>& byName, int* a, int* b) {
  if (row.compare(0, kAnnouncePrefix.size(), kAnnouncePrefix) != 0) return false;
  std::string rest = row.substr(kAnnouncePrefix.size());
  size_t versus = rest.find(kVersus);
  if (versus == std::string::npos) return false;
  auto first = byName.find(rest.substr(0, versus));
  auto second = byName.find(rest.substr(versus + kVersus.size()));
  if (first == byName.end() || second == byName.end()) return false;
  *a = first->second;
  *b = second->second;
  return true;
}

MatchRecord recordOf(const std::vector<Participant>& players, int winner, int loser) {
  return MatchRecord{players[winner], players[loser]};
}

}  // namespace

std::vector<Participant> numberedPlayers(int count) {
  std::vector<Participant> players;
  for (int k = 0; k < count; ++k) players.push_back(Participant{k, std::to_string(k + 1)});
  return players;
}

std::vector<Participant> longNamedPlayers(int count, size_t length) {
  std::vector<Participant> players;
  for (int k = 0; k < count; ++k) {
    std::string number = std::to_string(k + 1);
    std::string name(length - number.size(), 'a' + k % 26);
    players.push_back(Participant{k, name + number});
  }
  return players;
}

bool playWholeTournament(const std::vector<Participant>& players, uint32_t seed,
                         int maxCancels, std::vector<PlayedResult>* played,
                         std::string* err) {
  std::map<std::string, int> byName;
  for (size_t k = 0; k < players.size(); ++k) byName[players[k].name] = static_cast<int>(k);
  std::mt19937 coin(seed);
  int cancels = 0;
  resetMatchLog();
  played->clear();
  for (;;) {
    leftPanel.clear();
    buildBracket(players);
    std::string row = firstAnnouncement();
    if (row.empty()) return true;
    int a = 0, b = 0;
    if (!parseAnnouncement(row, byName, &a, &b)) {
      *err = "unexpected announcement: " + row;
      return false;
    }
    PlayedResult result{a, b, false};
    if (coin() % 2) std::swap(result.winner, result.loser);
    if (cancels < maxCancels && coin() % 7 == 0) {
      appendResult(recordOf(players, result.loser, result.winner));
      cancelLastResult();
      result.mistakeCancelled = true;
      ++cancels;
    }
    appendResult(recordOf(players, result.winner, result.loser));
    played->push_back(result);
  }
}

void enterResults(const std::vector<Participant>& players,
                  const std::vector<PlayedResult>& played, size_t count) {
  resetMatchLog();
  for (size_t i = 0; i < count && i < played.size(); ++i) {
    const PlayedResult& r = played[i];
    if (r.mistakeCancelled) {
      appendResult(recordOf(players, r.loser, r.winner));
      cancelLastResult();
    }
    appendResult(recordOf(players, r.winner, r.loser));
  }
}
