// dialogue.cpp: the start choice, the count, the names and the endless turns.
//
// Every turn rebuilds the bracket from the players and MatchLog, shows it,
// and reads one answer: a result (winner then loser), a cancel of the newest
// result, or the end of the run. Answers are recorded as soon as they are
// read, before they are acted on, so a replay of save.txt takes the same road.
#include "control/dialogue.h"

#include <algorithm>
#include <cstdint>
#include <iostream>

#include "control/answer_source.h"
#include "control/transcript.h"
#include "display/text_panel.h"
#include "engine/bracket.h"
#include "engine/match_log.h"
#include "engine/standings.h"

namespace {

const char* const kStartQuestion =
    "Appuyez sur entree pour commencer un tournoi ou tapez 'load' pour "
    "charger un tournoi";
const char* const kCountPrompt = "Nombre de joueurs : ";
const char* const kCountOutOfRange =
    "Le nombre de joueurs doit etre compris entre 2 et 100";
const char* const kAutoNamingHint =
    "Tapez 'auto' pour nommer les joueurs automatiquement";
const char* const kTurnHint = "Vous pouvez aussi entrer 'quit' ou 'annuler'";
const char* const kWinnerPrompt = "Gagnant : ";
const char* const kAcknowledgePrompt = "Entree pour continuer";
const char* const kNothingToCancel = "Aucun match a annuler";
const char* const kUnreadableSave = "Impossible de lire save.txt : ";
const char* const kStandingsTemplate = "% -> ";

std::ostream& outStream(const DialogueFiles& files) {
  return files.out != nullptr ? *files.out : std::cout;
}

std::ostream& errStream(const DialogueFiles& files) {
  return files.err != nullptr ? *files.err : std::cerr;
}

// Reads the next answer and records it at once. False when the window was
// closed; the partial answer is then not recorded.
bool readRecorded(const Frontend& ui, std::ostream& echo, std::string* answer) {
  if (!readAnswer(ui, echo, answer)) return false;
  recordAnswer(*answer);
  return true;
}

// Asks the count until it lies between kMinPlayers and kMaxPlayers. Every
// try is recorded as the decimal text of its parsed value, so a replay
// retraces the same tries.
bool askCount(const Frontend& ui, std::ostream& echo, int* count) {
  std::string message = transcriptHealthy() ? "" : kUnsavedWarning;
  for (;;) {
    if (!message.empty()) ui.drawMessageLine(message);
    ui.drawPromptLine(kCountPrompt);
    std::string answer;
    if (!readAnswer(ui, echo, &answer)) return false;
    *count = parseCount(answer);
    recordAnswer(std::to_string(*count));
    if (*count >= kMinPlayers && *count <= kMaxPlayers) return true;
    message = kCountOutOfRange;
  }
}

// Player k gets id k. "auto" names the player at whose prompt it is typed
// "1" and every later player by its own number, without asking.
bool enterPlayers(const Frontend& ui, std::ostream& echo, int count,
                  std::vector<Participant>* players) {
  bool autoNaming = false;
  for (int k = 0; k < count; ++k) {
    std::string number = std::to_string(k + 1);
    if (k == 0) ui.drawMessageLine(kAutoNamingHint);
    ui.drawPromptLine("Nom du joueur " + number + " : ");
    std::string name = number;
    if (!autoNaming) {
      if (!readRecorded(ui, echo, &name)) return false;
      if (name == "auto") {
        autoNaming = true;
        name = "1";
      }
    }
    players->push_back(Participant{k, name});
  }
  return true;
}

// Rebuilds the bracket from nothing and draws the announcements and the
// standings.
void showTournament(const Frontend& ui, const std::vector<Participant>& players) {
  leftPanel.clear();
  rightPanel.clear();
  std::vector<Participant> placement = buildBracket(players);
  leftPanel << std::endl;
  writeStandings(kStandingsTemplate, placement);
  rightPanel << std::endl;
  ui.drawPanels();
}

bool isCancelWord(const std::string& answer) {
  return answer == "cancel" || answer == "annuler" || answer == "anuler";
}

// Names the newest result, waits for an acknowledgement, then marks it
// cancelled. With no result yet there is nothing to name or to mark.
bool cancelNewest(const Frontend& ui, std::ostream& echo) {
  bool any = hasResults();
  if (any) {
    MatchRecord newest = lastResult();
    ui.drawMessageLine("Le dernier match sera annule (" + newest.winner.name +
                       " avait gagne contre " + newest.loser.name + ")");
  } else {
    ui.drawMessageLine(kNothingToCancel);
  }
  ui.drawPromptLine(kAcknowledgePrompt);
  std::string acknowledgement;
  if (!readRecorded(ui, echo, &acknowledgement)) return false;
  if (any) cancelLastResult();
  return true;
}

// The player entered last under that exact name; a name that matches nobody
// gives kNoParticipant with an empty name, which no log look-up can match.
Participant lastNamed(const std::vector<Participant>& players,
                      const std::string& name) {
  Participant found;
  for (const Participant& player : players)
    if (player.name == name) found = player;
  return found;
}

// Asks the loser of the winner just named and logs the result.
bool enterResult(const Frontend& ui, std::ostream& echo,
                 const std::vector<Participant>& players,
                 const std::string& winner) {
  ui.drawPromptLine("Perdant contre " + winner);
  std::string loser;
  if (!readRecorded(ui, echo, &loser)) return false;
  appendResult(MatchRecord{lastNamed(players, winner), lastNamed(players, loser)});
  return true;
}

// One turn. False when the run ends: "quit", "exit" or the window's close.
bool playTurn(const Frontend& ui, std::ostream& echo,
              const std::vector<Participant>& players) {
  showTournament(ui, players);
  ui.drawMessageLine(kTurnHint);
  ui.drawPromptLine(kWinnerPrompt);
  std::string answer;
  if (!readRecorded(ui, echo, &answer)) return false;
  ui.drawPanels();
  if (answer == "quit" || answer == "exit") return false;
  if (isCancelWord(answer)) return cancelNewest(ui, echo);
  return enterResult(ui, echo, players, answer);
}

// Fills replayBuffer from the save file and shows what was loaded. An
// unreadable file is reported and the tournament starts afresh.
void loadSave(const Frontend& ui, const DialogueFiles& files) {
  std::string content, reason;
  if (!readWholeFile(files.savePath, &content, &reason)) {
    errStream(files) << kUnreadableSave << reason << std::endl;
    return;
  }
  outStream(files) << content << std::endl;
  replayBuffer.load(content);
  ui.holdFrames(replayBuffer.pending());
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

bool readAnswer(const Frontend& ui, std::ostream& echo, std::string* answer) {
  if (replayBuffer.pending()) {
    *answer = takeReplayedAnswer(replayBuffer, echo);
    // Frames stay held while answers remain to replay and are released
    // before the first typed answer; the transcript rebuilt by the replay
    // takes the place of save.txt then.
    ui.holdFrames(replayBuffer.pending());
    if (!replayBuffer.pending()) settleTranscript();
    return true;
  }
  if (!ui.typeAnswer(answer)) return false;
  if (answer->size() > kMaxAnswerBytes) answer->resize(kMaxAnswerBytes);
  return true;
}

int runDialogue(const Frontend& ui, const DialogueFiles& files) {
  ui.drawMessageLine(kStartQuestion);
  // The start choice is always typed and never recorded.
  std::string choice;
  if (!ui.typeAnswer(&choice)) return 0;
  if (choice == "load") loadSave(ui, files);

  std::string reason;
  if (!openTranscript(files.savePath, &reason, replayBuffer.pending()))
    errStream(files) << reason << '\n' << kUnsavedWarning << std::endl;
  int status = runTournament(ui, files);
  // A replay that ends the run ("quit" as its last answer) is settled here.
  settleTranscript();
  return status;
}

int runTournament(const Frontend& ui, const DialogueFiles& files) {
  std::ostream& echo = outStream(files);
  int count = 0;
  if (!askCount(ui, echo, &count)) return 0;
  std::vector<Participant> players;
  if (!enterPlayers(ui, echo, count, &players)) return 0;
  while (playTurn(ui, echo, players)) {
  }
  return 0;
}
