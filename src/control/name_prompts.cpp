// name_prompts.cpp: see name_prompts.h.
#include "control/name_prompts.h"

#include <utility>

namespace {

constexpr unsigned kTabKey = 9;
constexpr unsigned kBackspaceKey = 8;
constexpr size_t kClosestNamesShown = 3;

// A key that adds a character to the answer (see applyKey).
bool typesCharacter(unsigned unicode) {
  return unicode != 0 && unicode != kBackspaceKey && unicode != 10 && unicode != 13 &&
         unicode <= 255;
}

// The players of `ids` alone, each once, for a Tab that offers only them.
std::vector<Participant> onlyThese(const std::vector<Participant>& players,
                                   const std::vector<int32_t>& ids) {
  std::vector<Participant> these;
  std::vector<bool> taken(players.size(), false);
  for (int32_t id : ids) {
    if (id < 0 || static_cast<size_t>(id) >= players.size() || taken[id]) continue;
    taken[id] = true;
    these.push_back(players[id]);
  }
  return these;
}

}  // namespace

NameTyping::NameTyping(AnswerTyping& views, void (*showMessage)(std::string),
                       const std::vector<Participant>& players,
                       std::vector<int32_t> preferred, std::string offered,
                       std::vector<int32_t> whenEmpty)
    : views_(views),
      showMessage_(showMessage),
      players_(players),
      preferred_(std::move(preferred)),
      offered_(std::move(offered)),
      whenEmpty_(std::move(whenEmpty)) {}

AnswerEdit NameTyping::start() {
  offering_ = !offered_.empty();
  tab_ = Completion{};
  AnswerEdit edit;
  edit.text = offered_;
  return edit;
}

AnswerEdit NameTyping::pressTab(AnswerEdit edit) {
  offering_ = false;
  // The players Tab completes among: on an empty line, the only possible
  // opponents alone; else the preferred players (those who can play now)
  // when some of them match, so that a letter or two tells them apart; else
  // everybody. A cycle goes on among the players it started with.
  if (tab_.cycle.empty() || tab_.text != edit.text) {
    among_.clear();
    if (!whenEmpty_.empty() && edit.text.empty()) {
      among_ = onlyThese(players_, whenEmpty_);
    } else if (!completionCandidates(onlyThese(players_, preferred_), edit.text, {}).empty()) {
      among_ = onlyThese(players_, preferred_);
    }
  }
  const std::vector<Participant>& among = among_.empty() ? players_ : among_;
  tab_ = ::pressTab(tab_, edit.text, among, preferred_);
  // A Tab that would change nothing (their common start is what is typed,
  // or nothing is typed) shows the first candidate at once.
  if (tab_.outcome == TabOutcome::kSeveral && tab_.text == edit.text)
    tab_ = ::pressTab(tab_, tab_.text, among, preferred_);
  switch (tab_.outcome) {
    case TabOutcome::kNoCandidate:
      showMessage_(kNoCandidateMessage);
      break;
    case TabOutcome::kSeveral:
    case TabOutcome::kNextInCycle:
      showMessage_(candidatesLine(among, tab_.cycle, kMessageStripBytes));
      break;
    case TabOutcome::kWholeName:
      break;
  }
  edit.changed = tab_.text != edit.text;
  edit.text = tab_.text;
  return edit;
}

AnswerEdit NameTyping::press(AnswerEdit edit, unsigned unicode) {
  if (unicode == kTabKey) return pressTab(std::move(edit));
  // A key that types nothing (Shift before a capital, a dead key) leaves
  // the offer and the Tabs as they are.
  if (unicode == 0) return applyKey(std::move(edit), unicode);
  tab_ = Completion{};
  if (offering_ && typesCharacter(unicode)) edit.text.clear();
  offering_ = false;
  return applyKey(std::move(edit), unicode);
}

std::string checkPlayerName(const std::vector<Participant>& players, std::string* answer) {
  const int32_t id = findPlayer(players, *answer);
  if (id != kNoParticipant) {
    *answer = players[static_cast<size_t>(id)].name;
    return "";
  }
  std::string refusal = "Aucun joueur ne s'appelle \xAB " + *answer + " \xBB";
  const std::vector<std::string> close = closestNames(players, *answer, kClosestNamesShown);
  for (size_t i = 0; i < close.size(); ++i) refusal += (i == 0 ? " : " : " ") + close[i] + " ?";
  return refusal;
}

std::string checkLoserName(const std::vector<Participant>& players, const std::string& winner,
                           std::string* answer) {
  const std::string refusal = checkPlayerName(players, answer);
  if (!refusal.empty()) return refusal;
  if (findPlayer(players, *answer) == findPlayer(players, winner))
    return "Le perdant doit etre un autre joueur que " + winner;
  return "";
}
