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

// The players of `ids` alone, for a Tab that offers only them.
std::vector<Participant> onlyThese(const std::vector<Participant>& players,
                                   const std::vector<int32_t>& ids) {
  std::vector<Participant> these;
  for (int32_t id : ids)
    if (id >= 0 && static_cast<size_t>(id) < players.size()) these.push_back(players[id]);
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
  // On an empty line the only possible opponents come first and alone.
  const bool restricted = !whenEmpty_.empty() && (edit.text.empty() || !tab_.cycle.empty());
  const std::vector<Participant> restrictedPlayers =
      restricted ? onlyThese(players_, whenEmpty_) : std::vector<Participant>{};
  const std::vector<Participant>& among = restricted ? restrictedPlayers : players_;
  tab_ = ::pressTab(tab_, edit.text, among, preferred_);
  // Between two opponents there is nothing to complete: the first Tab
  // shows the first of them.
  if (restricted && tab_.outcome == TabOutcome::kSeveral && tab_.text == edit.text)
    tab_ = ::pressTab(tab_, tab_.text, among, preferred_);
  switch (tab_.outcome) {
    case TabOutcome::kNoCandidate:
      showMessage_(kNoCandidateMessage);
      break;
    case TabOutcome::kSeveral:
    case TabOutcome::kNextInCycle:
      showMessage_(candidatesLine(among, tab_.cycle, kCandidatesLineBytes));
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
