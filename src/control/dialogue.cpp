// dialogue.cpp: the start choice, the count, the names and the endless turns.
//
// Every turn rebuilds the bracket from the players and MatchLog, shows it,
// and reads one answer: a result (winner then loser), a cancel of the newest
// result, a correction of an older one, or the end of the run. Answers are
// recorded as soon as they are read, before they are acted on, so a replay
// of save.txt takes the same road.
#include "control/dialogue.h"

#include <algorithm>
#include <cstdint>
#include <iostream>

#include "control/answer_source.h"
#include "control/name_match.h"
#include "control/name_prompts.h"
#include "control/session.h"
#include "control/transcript.h"
#include "control/turn_commands.h"
#include "control/withdrawals.h"
#include "engine/match_log.h"
#include "views/text_panel.h"

namespace {

const char* const kStartQuestion =
    "Appuyez sur entree pour commencer un tournoi ou tapez 'load' pour "
    "charger un tournoi";
const char* const kCountPrompt = "Nombre de joueurs : ";
const char* const kCountOutOfRange =
    "Le nombre de joueurs doit etre compris entre 2 et 100";
const char* const kAutoNamingHint =
    "Tapez 'auto' pour nommer les joueurs automatiquement";
const char* const kTurnHint =
    "Vous pouvez aussi entrer 'quit', 'annuler' ou 'corriger'";
const char* const kWinnerPrompt = "Gagnant : ";
const std::string kPlayerListRefused = "Liste de joueurs refusee : ";
const char* const kLeavePrompt = "Entree pour quitter";
const char* const kFinishedNotice = "Tournoi termine : classement final";
const char* const kFinishedRefusal =
    "Tournoi termine : plus de resultat a entrer ('quit', 'annuler' ou 'corriger')";
const char* const kUnreadableSave = "Impossible de lire save.txt : ";

// Asks the count until it lies between kMinPlayers and kMaxPlayers. Every
// try is recorded as the decimal text of its parsed value, so a replay
// retraces the same tries.
bool askCount(Session& s, int* count) {
  std::string message = transcriptHealthy() ? "" : kUnsavedWarning;
  for (;;) {
    if (!message.empty()) s.ui.drawMessageLine(message);
    s.ui.drawPromptLine(kCountPrompt);
    std::string answer;
    if (!nextAnswer(s, &answer, s.typing)) return false;
    *count = parseCount(answer);
    record(s, std::to_string(*count));
    if (*count >= kMinPlayers && *count <= kMaxPlayers) return true;
    message = kCountOutOfRange;
  }
}

// Player k gets id k. "auto" names the player at whose prompt it is typed
// "1" and every later player by its own number, without asking.
bool enterPlayers(Session& s, int count) {
  bool autoNaming = false;
  for (int k = 0; k < count; ++k) {
    std::string number = std::to_string(k + 1);
    // The hint again once a refused name has taken its place.
    if (k == 0 || s.lastRefused) s.ui.drawMessageLine(kAutoNamingHint);
    s.ui.drawPromptLine("Nom du joueur " + number + " : ");
    std::string name = number;
    if (!autoNaming) {
      const AnswerCheck check = [&s](std::string* typed) {
        return *typed == "auto" ? "" : entryRefusal(s.players, *typed);
      };
      if (!readRecorded(s, &name, check)) return false;
      if (name == "auto") {
        autoNaming = true;
        name = "1";
      }
    }
    s.players.push_back(Participant{k, name});
  }
  return true;
}

// At the winner prompt: a command, or the name of a player; once every
// place is decided, a command only.
std::string checkWinner(const Session& s, std::string* answer) {
  if (isTurnCommand(*answer)) return "";
  if (s.state.finished()) return kFinishedRefusal;
  return checkPlayerName(s.players, answer);
}

// The message of a turn: what the last answer left to say, or that the
// tournament is over, or the hint.
std::string turnMessage(Session& s) {
  std::string note = std::move(s.turnNote);
  s.turnNote.clear();
  if (s.state.finished()) return kFinishedNotice;
  return note.empty() ? kTurnHint : note;
}

// One turn. False when the run ends: a typed "quit" or "exit", or the
// window's close.
bool playTurn(Session& s) {
  showTournament(s);
  s.ui.drawMessageLine(turnMessage(s));
  s.ui.drawPromptLine(kWinnerPrompt);
  NameTyping typing(s.typing, s.ui.drawMessageLine, s.players, playersToPlay(s));
  const AnswerCheck check = [&s](std::string* typed) { return checkWinner(s, typed); };
  std::string answer;
  if (!readRecorded(s, &answer, check, &typing)) return false;
  drawPanelsAndStatus(s);
  // A replayed quit marks where an earlier run stopped; the tournament goes
  // on past it.
  if (isQuitWord(answer)) return s.lastReplayed;
  if (isCancelWord(answer)) return cancelNewest(s);
  if (answer == "corriger") return correctOlderResult(s);
  if (answer == "tables") return askTables(s);
  if (answer == "forfait") return withdrawOrReturn(s);
  return enterResult(s, answer);
}

// Fills replayBuffer from the save file and shows what was loaded. An
// unreadable file is reported and the tournament starts afresh.
void loadSave(const Session& s) {
  std::string content, reason;
  if (!readWholeFile(s.files.savePath, &content, &reason)) {
    errStream(s.files) << kUnreadableSave << reason << std::endl;
    return;
  }
  s.echo << content << std::endl;
  replayBuffer.load(content);
  s.ui.holdFrames(replayBuffer.pending());
}

// Count, names and turns, with whatever replayBuffer holds.
int playTournament(Session& s) {
  showSaving(s);
  int count = 0;
  if (askCount(s, &count) && enterPlayers(s, count)) {
    while (playTurn(s)) {
    }
  }
  // A run that ends while answers are still being replayed (the window
  // closed at the count of a file holding nothing more) is settled here.
  settleReplayedTranscript(s);
  return 0;
}

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int parseCount(const std::string& answer) {
  size_t i = 0;
  while (i < answer.size() && isSpace(answer[i])) ++i;
  bool negative = false;
  if (i < answer.size() && (answer[i] == '+' || answer[i] == '-'))
    negative = answer[i++] == '-';
  // Accumulate the magnitude, saturating one past INT32_MAX so that the
  // most negative value still fits after the sign.
  const int64_t limit = int64_t{INT32_MAX} + 1;
  int64_t magnitude = 0;
  for (; i < answer.size() && answer[i] >= '0' && answer[i] <= '9'; ++i)
    magnitude = std::min(limit, magnitude * 10 + (answer[i] - '0'));
  int64_t value = negative ? -magnitude : magnitude;
  return static_cast<int>(std::min<int64_t>(value, INT32_MAX));
}

// Takes the players of the list file as the first answers. False, with
// every problem in the window (in the left panel's rows) and on err, when
// the file cannot be read or holds a bad line; the operator's Enter then
// ends the run.
bool takePlayerList(Session& s) {
  std::string bytes, reason;
  std::vector<std::string> names, problems;
  if (!readWholeFile(s.files.playersFile, &bytes, &reason)) {
    problems.push_back("Impossible de lire " + s.files.playersFile + " : " + reason);
  } else if (readPlayerList(bytes, &names, &problems)) {
    s.given.push_back(std::to_string(names.size()));
    s.given.insert(s.given.end(), names.begin(), names.end());
    return true;
  }
  leftPanel.clear();
  rightPanel.clear();
  for (const std::string& problem : problems) {
    errStream(s.files) << s.files.playersFile << " : " << problem << std::endl;
    leftPanel << problem << std::endl;
  }
  s.ui.drawPanels(PanelView{});
  s.ui.drawMessageLine(kPlayerListRefused + s.files.playersFile);
  s.ui.drawPromptLine(kLeavePrompt);
  std::string ignored;
  s.ui.typeAnswer(s.typing, &ignored);
  return false;
}

int runDialogue(const Frontend& ui, const DialogueFiles& files) {
  Session s(ui, files);
  if (!files.playersFile.empty()) {
    if (!takePlayerList(s)) return 1;
    std::string reason;
    if (!openTranscript(files.savePath, &reason))
      errStream(files) << reason << '\n' << kUnsavedWarning << std::endl;
    return playTournament(s);
  }
  ui.drawMessageLine(kStartQuestion);
  // With sharing, the address is in view from the first screen on.
  if (!s.band.text().empty()) showStatus(s);
  // The start choice is always typed and never recorded.
  std::string choice;
  if (!ui.typeAnswer(s.typing, &choice)) return 0;
  if (choice == "load") loadSave(s);

  std::string reason;
  if (!openTranscript(files.savePath, &reason, replayBuffer.pending()))
    errStream(files) << reason << '\n' << kUnsavedWarning << std::endl;
  return playTournament(s);
}

int runTournament(const Frontend& ui, const DialogueFiles& files) {
  Session s(ui, files);
  return playTournament(s);
}
