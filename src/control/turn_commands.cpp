// turn_commands.cpp: see turn_commands.h.
#include "control/turn_commands.h"

#include <algorithm>

#include "control/correction.h"
#include "control/name_prompts.h"
#include "control/prompts.h"
#include "control/withdrawals.h"
#include "engine/match_log.h"

namespace {

const char* const kNothingToCancel = "Aucun match a annuler";
const char* const kTablesPrompt = "Nombre de tables : ";
const char* const kTablesRefusal = "Le nombre de tables doit etre un nombre de 0 a 100";
constexpr int kMaxTables = 100;

}  // namespace

bool isCancelWord(const std::string& answer) {
  return answer == "cancel" || answer == "annuler" || answer == "anuler";
}

bool isQuitWord(const std::string& answer) { return answer == "quit" || answer == "exit"; }

// The words the winner prompt takes as commands rather than names.
bool isTurnCommand(const std::string& answer) {
  return isQuitWord(answer) || isCancelWord(answer) || answer == "corriger" ||
         answer == "tables" || answer == "forfait";
}

// The players of the matches that can be played now: those at a table
// first, by table, then the others in announcement order.
std::vector<int32_t> playersToPlay(const Session& s) {
  std::vector<int32_t> ids;
  for (const SeatedMatch& m : s.tables.seated) ids.insert(ids.end(), {m.first, m.second});
  for (const MatchToPlay& m : s.state.toPlay)
    if (m.playable) ids.insert(ids.end(), {m.first.id, m.second.id});
  return ids;
}

// The winner's opponents in the matches that can be played now; only the
// one at the winner's table when the winner sits at one.
static std::vector<int32_t> opponentsToPlay(const Session& s, int32_t winner) {
  for (const SeatedMatch& m : s.tables.seated) {
    if (m.first == winner) return {m.second};
    if (m.second == winner) return {m.first};
  }
  std::vector<int32_t> ids;
  for (const MatchToPlay& m : s.state.toPlay) {
    if (!m.playable) continue;
    if (m.first.id == winner) ids.push_back(m.second.id);
    if (m.second.id == winner) ids.push_back(m.first.id);
  }
  return ids;
}

// The tables the operator has from now on: 0 to kMaxTables. A typed count
// must be a number in that range; a replayed one is taken as far as it can.
bool askTables(Session& s) {
  s.ui.drawPromptLine(kTablesPrompt);
  const AnswerCheck check = [](std::string* typed) {
    const size_t digits = typed->find_first_not_of("0123456789");
    if (typed->empty() || digits != std::string::npos || typed->size() > 3 ||
        parseCount(*typed) > kMaxTables)
      return std::string(kTablesRefusal);
    *typed = std::to_string(parseCount(*typed));
    return std::string();
  };
  std::string answer;
  if (!readRecorded(s, &answer, check)) return false;
  s.tableCount = std::max(0, std::min(parseCount(answer), kMaxTables));
  return true;
}

// Names the newest result, waits for an acknowledgement, then marks it
// cancelled. With no result yet there is nothing to name or to mark.
bool cancelNewest(Session& s) {
  bool withdrawal = false;
  if (!cancelNewestWithdrawal(s, &withdrawal)) return false;
  if (withdrawal) return true;
  bool any = hasResults();
  if (any) {
    MatchRecord newest = lastResult();
    s.ui.drawMessageLine("Le dernier match sera annule (" + newest.winner.name +
                         " avait gagne contre " + newest.loser.name + ")");
  } else {
    s.ui.drawMessageLine(kNothingToCancel);
  }
  s.ui.drawPromptLine(kAcknowledgePrompt);
  std::string acknowledgement;
  if (!readRecorded(s, &acknowledgement)) return false;
  if (any) cancelLastResult();
  return true;
}

// True when the state has a match to play between the two players.
static bool announced(const TournamentState& state, int32_t a, int32_t b) {
  for (const MatchToPlay& m : state.toPlay)
    if ((m.first.id == a && m.second.id == b) || (m.first.id == b && m.second.id == a))
      return true;
  return false;
}

// Asks the loser of the winner just named and logs the result. The loser
// prompt opens on the winner's opponent when the winner can play one match
// only. A result between players who have no match to play is taken all the
// same, for the match to come; the next turn says so.
bool enterResult(Session& s, const std::string& winner) {
  s.ui.drawPromptLine("Perdant contre " + winner);
  const int32_t winnerId = lastNamed(s.players, winner).id;
  const std::vector<int32_t> opponents = opponentsToPlay(s, winnerId);
  const std::string offered =
      opponents.size() == 1 ? s.players[static_cast<size_t>(opponents[0])].name : "";
  NameTyping typing(s.typing, s.ui.drawMessageLine, s.players, opponents, offered,
                    opponents.size() > 1 ? opponents : std::vector<int32_t>{});
  const AnswerCheck check = [&s, &winner](std::string* typed) {
    return checkLoserName(s.players, winner, typed);
  };
  std::string loser;
  if (!readRecorded(s, &loser, check, &typing)) return false;
  const MatchRecord result{lastNamed(s.players, winner), lastNamed(s.players, loser)};
  appendResult(result);
  if (!s.lastReplayed && !announced(s.state, result.winner.id, result.loser.id))
    s.turnNote = "Resultat " + winner + " contre " + loser +
                 " enregistre : il comptera quand leur match viendra";
  return true;
}

// "corriger": asks the true winner and loser, shows what correcting their
// result would do, then reads the confirmation (or acknowledgement) and
// applies it. Closing the window at any of these prompts applies nothing.
bool correctOlderResult(Session& s) {
  s.ui.drawPromptLine(kTrueWinnerPrompt);
  std::string winner, loser, confirmation;
  NameTyping winnerTyping(s.typing, s.ui.drawMessageLine, s.players, {});
  const AnswerCheck isPlayer = [&s](std::string* typed) {
    return checkPlayerName(s.players, typed);
  };
  if (!readRecorded(s, &winner, isPlayer, &winnerTyping)) return false;
  drawPanelsAndStatus(s);
  s.ui.drawPromptLine(trueLoserPrompt(winner));
  NameTyping loserTyping(s.typing, s.ui.drawMessageLine, s.players, {});
  const AnswerCheck isLoser = [&s, &winner](std::string* typed) {
    return checkLoserName(s.players, winner, typed);
  };
  if (!readRecorded(s, &loser, isLoser, &loserTyping)) return false;
  drawPanelsAndStatus(s);
  const CorrectionPlan plan = planCorrection(s.state, winner, loser);
  s.ui.drawMessageLine(plan.message);
  s.ui.drawPromptLine(plan.prompt);
  if (!readRecorded(s, &confirmation)) return false;
  applyCorrection(plan, confirmation);
  return true;
}

