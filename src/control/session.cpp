// session.cpp: see session.h.
#include "control/session.h"

#include <iostream>
#include <memory>

#include "control/name_match.h"
#include "control/name_prompts.h"
#include "control/transcript.h"
#include "engine/match_log.h"
#include "share/standings_files.h"
#include "views/panel_rows.h"

namespace {

const char* const kSavingWarning = "ATTENTION : le tournoi n'est plus sauvegarde (";
const char* const kSavingBack = "save.txt est de nouveau a jour : le tournoi est sauvegarde";

}  // namespace

std::ostream& outStream(const DialogueFiles& files) {
  return files.out != nullptr ? *files.out : std::cout;
}

std::ostream& errStream(const DialogueFiles& files) {
  return files.err != nullptr ? *files.err : std::cerr;
}

// A saving failure: the reason, then the warning that the run goes on
// without a transcript.
static void reportUnsaved(const Session& s, const std::string& reason) {
  errStream(s.files) << reason << '\n' << kUnsavedWarning << std::endl;
}

// Draws the status band as its parts stand. drawPanels clears the whole
// window, the band included, so this follows every drawPanels.
void showStatus(const Session& s) {
  if (s.ui.drawStatusLine != nullptr) s.ui.drawStatusLine(s.band.text(), s.band.warning());
}

static void setViewParts(Session& s) {
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
static bool shareStandings(Session& s) {
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
static void replayEnded(Session& s) {
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
bool readRecorded(Session& s, std::string* answer, const AnswerCheck& check,
                  AnswerTyping* typing) {
  s.lastRefused = false;
  for (;;) {
    const bool typed = !replayBuffer.pending();
    if (!nextAnswer(s, answer, typing != nullptr ? *typing : s.typing)) return false;
    const std::string refusal = typed && check ? check(answer) : "";
    if (refusal.empty()) {
      s.lastReplayed = !typed;
      break;
    }
    s.ui.drawMessageLine(refusal);
    s.lastRefused = true;
  }
  record(s, *answer);
  return true;
}

// Calls the matches of the new turn to the free tables; the calls made are
// said at the turn, and the band counts the busy tables.
static void callTables(Session& s) {
  const TableAssignment before = s.tables;
  s.tables = assignTables(before, s.tableCount, s.state, matchLog());
  std::vector<std::string> called;
  for (const SeatedMatch& m : newlyCalled(before, s.tables))
    called.push_back("Table " + std::to_string(m.table) + " : " +
                     s.players[static_cast<size_t>(m.first)].name + " contre " +
                     s.players[static_cast<size_t>(m.second)].name);
  // Setting up several tables at once calls more than one line holds.
  const std::string calls = joinWhatFits(called, kStatusSeparator, kMessageStripBytes);
  if (!calls.empty() && s.turnNote.empty()) s.turnNote = calls;
  s.band.set(StatusPart::kTables,
             s.tableCount > 0 ? "Tables : " + std::to_string(busyTables(s.tables)) +
                                    " occupees sur " + std::to_string(s.tableCount)
                              : "");
}

// Rebuilds the tournament from nothing and draws the announcements and the
// standings. Outside a replay the players' standings follow each turn.
void showTournament(Session& s) {
  s.state = computeTournament(s.players, resultLog(), s.withdrawn);
  if (s.files.turnShown != nullptr) s.files.turnShown(s.state);
  callTables(s);
  s.scroll.showTurn(writeTournament(
      s.state, tablesInUse(s.tables) ? tableOfMatches(s.tables, s.state) : std::vector<int>{}));
  setViewParts(s);
  if (!replayBuffer.pending()) shareStandings(s);
  drawPanelsAndStatus(s);
}

