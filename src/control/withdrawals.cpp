// withdrawals.cpp: see withdrawals.h.
#include "control/withdrawals.h"

#include <algorithm>

#include "control/name_prompts.h"
#include "control/prompts.h"
#include "engine/match_log.h"

namespace {

const char* const kWithdrawalPrompt = "Joueur qui abandonne : ";

std::string leavingNotice(const std::string& name) {
  return name + " abandonne : ses matchs non joues sont perdus par forfait";
}

std::string returningNotice(const std::string& name) {
  return name + " revient : ses prochains matchs seront joues";
}

bool isWithdrawn(const Session& s, int32_t id) {
  return std::find(s.withdrawn.begin(), s.withdrawn.end(), id) != s.withdrawn.end();
}

// Applies a withdrawal or a return, and notes it for "annuler".
void change(Session& s, int32_t id, bool returning) {
  WithdrawalChange c;
  c.returned = returning;
  c.player = id;
  c.logSize = matchLog().size();
  if (returning) {
    const auto at = std::find(s.withdrawn.begin(), s.withdrawn.end(), id);
    c.position = static_cast<size_t>(at - s.withdrawn.begin());
    s.withdrawn.erase(at);
  } else {
    c.position = s.withdrawn.size();
    s.withdrawn.push_back(id);
  }
  s.withdrawalChanges.push_back(c);
}

}  // namespace

bool withdrawOrReturn(Session& s) {
  s.ui.drawPromptLine(kWithdrawalPrompt);
  NameTyping typing(s.typing, s.ui.drawMessageLine, s.players, s.withdrawn);
  const AnswerCheck isPlayer = [&s](std::string* typed) {
    return checkPlayerName(s.players, typed);
  };
  std::string name, confirmation;
  if (!readRecorded(s, &name, isPlayer, &typing)) return false;
  drawPanelsAndStatus(s);
  const int32_t id = lastNamed(s.players, name).id;
  const bool known = isPlayerId(id);
  const bool returning = known && isWithdrawn(s, id);
  s.ui.drawMessageLine(!known      ? "Aucun joueur ne s'appelle \xAB " + name + " \xBB"
                       : returning ? returningNotice(name)
                                   : leavingNotice(name));
  s.ui.drawPromptLine(known ? kConfirmPrompt : kAcknowledgePrompt);
  if (!readRecorded(s, &confirmation)) return false;
  if (known && confirmation != kRefusal) change(s, id, returning);
  return true;
}

bool cancelNewestWithdrawal(Session& s, bool* handled) {
  *handled = !s.withdrawalChanges.empty() &&
             s.withdrawalChanges.back().logSize == matchLog().size();
  if (!*handled) return true;
  const WithdrawalChange c = s.withdrawalChanges.back();
  const std::string& name = s.players[static_cast<size_t>(c.player)].name;
  s.ui.drawMessageLine(c.returned ? "Le retour de " + name + " sera annule (" +
                                        leavingNotice(name) + ")"
                                  : "Le forfait de " + name + " sera annule (" + name +
                                        " revient)");
  s.ui.drawPromptLine(kAcknowledgePrompt);
  std::string acknowledgement;
  if (!readRecorded(s, &acknowledgement)) return false;
  if (c.returned) {
    s.withdrawn.insert(s.withdrawn.begin() + static_cast<long>(c.position), c.player);
  } else {
    s.withdrawn.erase(s.withdrawn.begin() + static_cast<long>(c.position));
  }
  s.withdrawalChanges.pop_back();
  return true;
}
