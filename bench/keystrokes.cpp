// keystrokes.cpp: how many keys a careful operator presses per result.
//
// A 30-player tournament with real names (accents among them) is played
// through the dialogue itself, as in the window: at each winner prompt the
// operator picks the first match to play and a winner by a seeded coin, and
// types the winner's then the loser's name. For every name typed the
// operator presses the fewest keys that give it with the prompt's own
// completion: the first letters and Tab (again, to go through several
// candidates), or Enter alone on the offered opponent; typing a name whole
// costs its length. Enter counts as a key. Prints one figure per line.
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "control/dialogue.h"
#include "control/program_state.h"
#include "engine/match_log.h"
#include "engine/tournament_state.h"

namespace {

const std::vector<std::string> kNames = {
    "Jean Dupont",       "H\xE9l\xE8ne Martin",   "Marie Dupuis",     "Lucas Bernard",
    "Chlo\xE9 Petit",    "Hugo Durand",          "L\xE9" "a Leroy",      "Louis Moreau",
    "Emma Simon",        "Gabriel Laurent",      "In\xE8s Lef\xE8vre", "J\xE9r\xF4me Michel",
    "Manon Garcia",      "Arthur David",         "Camille Bertrand", "Jules Roux",
    "Zo\xE9 Vincent",    "Rapha\xEBl Fournier",  "Alice Morel",      "Adam Girard",
    "Ana\xEFs Andr\xE9", "Nathan Mercier",       "Juliette Blanc",   "Th\xE9o Guerin",
    "Sarah Boyer",       "Tom Garnier",          "Jade Chevalier",   "Ethan Fran\xE7ois",
    "Rose Legrand",      "No\xE9 Gauthier"};

// What the operator means to answer next, and the keys it took.
struct Operator {
  std::vector<std::string> given;  // the count and the names, typed whole
  std::string prompt;
  std::string nextLoser;
  std::mt19937 coin{20261208};
  std::vector<int> keysPerResult;
  int keysThisResult = 0;
  std::vector<Participant> players;
} op;

void noPanels(PanelView) {}
void noRedraw(PanelView, std::string, bool) {}
void noText(std::string) {}
void notePrompt(std::string text) { op.prompt = std::move(text); }
void noHold(bool) {}

// The answer the operator means to give at the current prompt.
bool intendedAnswer(std::string* target) {
  if (!op.given.empty()) {
    *target = op.given.front();
    op.given.erase(op.given.begin());
    return true;
  }
  if (op.prompt.rfind("Perdant contre ", 0) == 0) {
    *target = op.nextLoser;
    return true;
  }
  if (op.prompt != "Gagnant : ") return false;
  const TournamentState state = computeTournament(op.players, resultLog());
  for (const MatchToPlay& m : state.toPlay) {
    if (!m.playable) continue;
    const bool firstWins = op.coin() % 2 == 0;
    *target = firstWins ? m.first.name : m.second.name;
    op.nextLoser = firstWins ? m.second.name : m.first.name;
    return true;
  }
  return false;  // finished: the window is closed
}

// Presses `letters` of the target then `tabs` Tabs and Enter; the answer.
std::string pressKeys(AnswerTyping& typing, const std::string& target, size_t letters,
                      int tabs) {
  AnswerEdit edit = typing.start();
  for (size_t i = 0; i < letters; ++i)
    edit = typing.press(std::move(edit), static_cast<unsigned char>(target[i]));
  for (int t = 0; t < tabs; ++t) edit = typing.press(std::move(edit), 9);
  return typing.press(std::move(edit), 13).text;
}

bool typeAsAnOperator(AnswerTyping& typing, std::string* answer) {
  std::string target;
  if (!intendedAnswer(&target)) return false;
  const bool naming = op.prompt == "Gagnant : " || op.prompt.rfind("Perdant contre ", 0) == 0;
  // The fewest keys: Enter alone, or some letters and some Tabs, or the
  // whole name.
  size_t bestLetters = target.size();
  int bestTabs = 0;
  int best = static_cast<int>(target.size()) + 1;
  if (naming) {
    for (size_t letters = 0; letters <= target.size(); ++letters) {
      for (int tabs = 0; tabs <= 4 && static_cast<int>(letters) + tabs + 1 < best; ++tabs) {
        if (pressKeys(typing, target, letters, tabs) != target) continue;
        best = static_cast<int>(letters) + tabs + 1;
        bestLetters = letters;
        bestTabs = tabs;
      }
    }
  }
  *answer = pressKeys(typing, target, bestLetters, bestTabs);
  if (!naming) return true;
  if (*answer != target) {
    std::fprintf(stderr, "typed %s, meant %s\n", answer->c_str(), target.c_str());
    std::exit(1);
  }
  op.keysThisResult += best;
  if (op.prompt.rfind("Perdant contre ", 0) == 0) {
    op.keysPerResult.push_back(op.keysThisResult);
    op.keysThisResult = 0;
  }
  return true;
}

}  // namespace

int main() {
  resetProgramState();
  op.given.push_back(std::to_string(kNames.size()));
  for (size_t i = 0; i < kNames.size(); ++i) {
    op.given.push_back(kNames[i]);
    op.players.push_back(Participant{static_cast<int32_t>(i), kNames[i]});
  }
  const Frontend ui{noPanels, noRedraw, noText, notePrompt, nullptr, typeAsAnOperator, noHold};
  DialogueFiles files;
  files.savePath = "/dev/null";
  std::string sink;
  runTournament(ui, files);

  std::vector<int> keys = op.keysPerResult;
  std::sort(keys.begin(), keys.end());
  size_t typedWhole = 0;
  for (const std::string& name : kNames) typedWhole += 2 * name.size() + 2;
  std::printf("keystrokes_per_result_median: %d keys\n", keys[keys.size() / 2]);
  std::printf("keystrokes_per_result_max: %d keys\n", keys.back());
  std::printf("#   %zu results, 30 players with real names; typed whole: about %zu keys a "
              "result (twice the name length plus two)\n",
              keys.size(), typedWhole / kNames.size());
  return 0;
}
