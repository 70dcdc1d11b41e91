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
#include <deque>
#include <functional>
#include <iostream>
#include <memory>

#include "control/answer_source.h"
#include "control/correction.h"
#include "control/name_prompts.h"
#include "control/prompts.h"
#include "control/transcript.h"
#include "engine/match_log.h"
#include "engine/tables.h"
#include "engine/tournament_state.h"
#include "share/standings_files.h"
#include "views/band.h"
#include "views/panel_rows.h"
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
const char* const kTablesPrompt = "Nombre de tables : ";
const char* const kTablesRefusal = "Le nombre de tables doit etre un nombre de 0 a 100";
constexpr int kMaxTables = 100;
const char* const kFinishedNotice = "Tournoi termine : classement final";
const char* const kFinishedRefusal =
    "Tournoi termine : plus de resultat a entrer ('quit', 'annuler' ou 'corriger')";
const char* const kNothingToCancel = "Aucun match a annuler";
const char* const kUnreadableSave = "Impossible de lire save.txt : ";
const char* const kSavingWarning = "ATTENTION : le tournoi n'est plus sauvegarde (";
const char* const kSavingBack = "save.txt est de nouveau a jour : le tournoi est sauvegarde";

std::ostream& outStream(const DialogueFiles& files) {
  return files.out != nullptr ? *files.out : std::cout;
}

std::ostream& errStream(const DialogueFiles& files) {
  return files.err != nullptr ? *files.err : std::cerr;
}

struct Session;

// The keys of every typed answer: characters type, view keys move the
// panels of the session.
class SessionTyping : public AnswerTyping {
 public:
  explicit SessionTyping(Session& s) : s_(s) {}
  void view(ViewKey key) override;

 private:
  Session& s_;
};

// Everything one run of the dialogue works with.
struct Session {
  Session(const Frontend& ui, const DialogueFiles& files)
      : ui(ui), files(files), echo(outStream(files)), typing(*this) {
    band.set(StatusPart::kAddress, files.shareNote);
  }
  const Frontend& ui;
  const DialogueFiles& files;
  std::ostream& echo;  // the replay echo
  std::vector<Participant> players;
  TournamentState state;  // as shown by the latest turn
  PanelScroll scroll;     // the rows shown, kept from turn to turn
  StatusBand band;
  SessionTyping typing;
  bool lastReplayed = false;  // the latest answer read came from the file
  // Answers given ahead (the players of a list file): taken before any is
  // typed, checked and recorded as if typed.
  std::deque<std::string> given;
  // Said in the message strip at the next turn instead of the hint.
  std::string turnNote;
  // The tables the operator has, and the matches called to them, kept from
  // turn to turn.
  int tableCount = 0;
  TableAssignment tables;
};

// Why a typed answer is refused, or "" when it is taken; a check may put
// the answer in the form to record (a player's own name for a name typed
// without its accents). Replayed answers are never refused or changed, so
// every saved file replays as it was written.
using AnswerCheck = std::function<std::string(std::string* answer)>;

// A saving failure: the reason, then the warning that the run goes on
// without a transcript.
void reportUnsaved(const Session& s, const std::string& reason) {
  errStream(s.files) << reason << '\n' << kUnsavedWarning << std::endl;
}

// Draws the status band as its parts stand. drawPanels clears the whole
// window, the band included, so this follows every drawPanels.
void showStatus(const Session& s) {
  if (s.ui.drawStatusLine != nullptr) s.ui.drawStatusLine(s.band.text(), s.band.warning());
}

void setViewParts(Session& s) {
  s.band.set(StatusPart::kRows, s.scroll.rowsPart());
  s.band.set(StatusPart::kKeys, s.scroll.keysPart());
}

void SessionTyping::view(ViewKey key) {
  if (!s_.scroll.press(key)) return;
  setViewParts(s_);
  s_.ui.redrawPanels(s_.scroll.view, s_.band.text(), s_.band.warning());
}

// Puts the saving part of the status band in line with the transcript and
// redraws the band when it changed: red while saving fails, so the warning
// is in view at every prompt; gone, with a note on standard error, once a
// rebuild has brought save.txt back.
void showSaving(Session& s) {
  const std::string failure = transcriptFailure();
  const std::string text = failure.empty() ? "" : std::string(kSavingWarning) + failure + ")";
  if (!s.band.set(StatusPart::kSaving, text)) return;
  if (text.empty()) errStream(s.files) << kSavingBack << std::endl;
  showStatus(s);
}

// The transcript rebuilt by a replay takes the place of save.txt.
void settleReplayedTranscript(Session& s) {
  std::string reason;
  if (!settleTranscript(&reason)) reportUnsaved(s, reason);
  showSaving(s);
}

// The tournament as last shown, rendered for the players: published for the
// page server and written into the standings folder. A failed write is
// reported once, when it starts or its reason changes, and cleared when the
// files are written again. True when the status band changed.
bool shareStandings(Session& s) {
  auto standings = std::make_shared<const SharedStandings>(
      renderStandings(s.state, matchLog(), s.tables));
  publishStandings(standings);
  if (s.files.standingsFolder.empty()) return false;
  std::string reason;
  const bool written = writeStandingsFiles(s.files.standingsFolder, *standings, &reason);
  if (!s.band.set(StatusPart::kFiles, reason)) return false;
  if (!written) errStream(s.files) << reason << std::endl;
  return true;
}

// What happens once the last replayed answer has been taken: the frames
// held meanwhile are shown, and the standings reached by the replay are
// shared. The transcript is settled once that answer is recorded, so the new
// save.txt holds every answer of the old one.
void replayEnded(Session& s) {
  s.ui.holdFrames(false);
  if (shareStandings(s)) showStatus(s);
}

// The next answer: replayed while replayBuffer is pending, else typed.
// Frames stay held while answers remain to replay. False when the window
// was closed.
bool nextAnswer(Session& s, std::string* answer, AnswerTyping& typing) {
  const bool replaying = replayBuffer.pending();
  if (replaying) {
    *answer = takeReplayedAnswer(replayBuffer, s.echo);
  } else if (!s.given.empty()) {
    *answer = s.given.front();
    s.given.pop_front();
  } else if (!s.ui.typeAnswer(typing, answer)) {
    return false;
  }
  if (!replaying) return true;
  if (replayBuffer.pending()) {
    s.ui.holdFrames(true);
  } else {
    replayEnded(s);
  }
  return true;
}

// Records an answer just read, on the disk before the next question; a
// failed write is reported. The last replayed answer also settles the
// transcript written aside.
void record(Session& s, const std::string& answer) {
  std::string reason;
  if (!recordAnswer(answer, &reason)) reportUnsaved(s, reason);
  if (!replayBuffer.pending()) {
    settleReplayedTranscript(s);
  } else {
    showSaving(s);
  }
}

// Draws the panels, then the status band over them.
void drawPanelsAndStatus(const Session& s) {
  s.ui.drawPanels(s.scroll.view);
  showStatus(s);
}

// Reads the next answer and records it at once. A typed answer that
// `check` refuses is not recorded: its reason goes to the message strip and
// the same question is asked again. False when the window was closed; the
// partial answer is then not recorded.
bool readRecorded(Session& s, std::string* answer, const AnswerCheck& check = nullptr,
                  AnswerTyping* typing = nullptr) {
  for (;;) {
    const bool typed = !replayBuffer.pending();
    if (!nextAnswer(s, answer, typing != nullptr ? *typing : s.typing)) return false;
    const std::string refusal = typed && check ? check(answer) : "";
    if (refusal.empty()) {
      s.lastReplayed = !typed;
      break;
    }
    s.ui.drawMessageLine(refusal);
  }
  record(s, *answer);
  return true;
}

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
    if (k == 0) s.ui.drawMessageLine(kAutoNamingHint);
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

// Calls the matches of the new turn to the free tables; the calls made are
// said at the turn, and the band counts the busy tables.
void callTables(Session& s) {
  const TableAssignment before = s.tables;
  s.tables = assignTables(before, s.tableCount, s.state, matchLog());
  std::string calls;
  for (const SeatedMatch& m : newlyCalled(before, s.tables)) {
    if (!calls.empty()) calls += kStatusSeparator;
    calls += "Table " + std::to_string(m.table) + " : " +
             s.players[static_cast<size_t>(m.first)].name + " contre " +
             s.players[static_cast<size_t>(m.second)].name;
  }
  if (!calls.empty() && s.turnNote.empty()) s.turnNote = calls;
  s.band.set(StatusPart::kTables,
             s.tableCount > 0 ? "Tables : " + std::to_string(busyTables(s.tables)) +
                                    " occupees sur " + std::to_string(s.tableCount)
                              : "");
}

// Rebuilds the tournament from nothing and draws the announcements and the
// standings. Outside a replay the players' standings follow each turn.
void showTournament(Session& s) {
  s.state = computeTournament(s.players, resultLog());
  if (s.files.turnShown != nullptr) s.files.turnShown(s.state);
  callTables(s);
  const bool withTables = s.tableCount > 0 || !s.tables.seated.empty();
  s.scroll.showTurn(writeTournament(
      s.state, withTables ? tableOfMatches(s.tables, s.state) : std::vector<int>{}));
  setViewParts(s);
  if (!replayBuffer.pending()) shareStandings(s);
  drawPanelsAndStatus(s);
}

bool isCancelWord(const std::string& answer) {
  return answer == "cancel" || answer == "annuler" || answer == "anuler";
}

bool isQuitWord(const std::string& answer) { return answer == "quit" || answer == "exit"; }

// The words the winner prompt takes as commands rather than names.
bool isTurnCommand(const std::string& answer) {
  return isQuitWord(answer) || isCancelWord(answer) || answer == "corriger" ||
         answer == "tables";
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
std::vector<int32_t> opponentsToPlay(const Session& s, int32_t winner) {
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
bool announced(const TournamentState& state, int32_t a, int32_t b) {
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
