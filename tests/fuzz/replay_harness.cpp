// replay_harness.cpp: the headless Frontend and the checks made along a run.
//
// Besides surviving the sanitizers, a run must keep these promises:
//  - runTournament returns status 0;
//  - the keyboard is asked at most once (it reports the window closed, after
//    which the dialogue must end), only once the replay is used up, and only
//    after frames were released;
//  - at every "Gagnant : " the standings hold one numbered row per player
//    and nothing below;
//  - the tournament of every turn is whole: every place can be reached by
//    somebody, a decided place by its player alone, every match to play has
//    a player and is playable exactly when it has two, and every result it
//    used is a live entry of the match log;
//  - a cancel notice names the newest entry of the match log, and a
//    correction's reversal notice a live one;
//  - the match log holds players only: ids from 0 to the player count - 1,
//    or -1.
#include "replay_harness.h"

#include <cstdio>
#include <cstdlib>
#include <streambuf>
#include <string>
#include <vector>

#include "control/answer_source.h"
#include "control/dialogue.h"
#include "views/text_panel.h"
#include "control/program_state.h"
#include "views/panel_rows.h"
#include "views/place_words.h"
#include "engine/match_log.h"
#include "engine/tournament_state.h"
#include "tournament_checks.h"

namespace {

// Swallows everything written to it, through the same calls a real stream
// buffer would see.
class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    return traits_type::eq_int_type(c, traits_type::eof()) ? int_type(0) : c;
  }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// What the dialogue has done so far in the current run.
struct RunState {
  int keyboardCalls = 0;
  bool held = false;
  int playersPrompted = 0;  // highest k of "Nom du joueur k : "
  int turns = 0;
  size_t checkedResults = 0;  // entries of the match log already checked
};

RunState run;

const std::string kPlayerPrompt = "Nom du joueur ";
const std::string kWinnerPrompt = "Gagnant : ";
const std::string kCancelNotice = "Le dernier match sera annule (";
const std::string kReversalNotice = "Le resultat sera inverse (";

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "replay harness: %s\n", what.c_str());
  std::abort();
}

std::string gridRow(const std::vector<char>& grid, int width, int r) {
  std::string row(grid.begin() + static_cast<long>(r) * width,
                  grid.begin() + static_cast<long>(r + 1) * width);
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

// Checks the entries appended since the last call. A cancel only turns a
// winner id into -1, so older entries need no second look.
void checkLog() {
  for (size_t i = run.checkedResults; i < matchLog().size(); ++i) {
    const MatchRecord& r = matchLog()[i];
    for (int32_t id : {r.winner.id, r.loser.id}) {
      if (id != kNoParticipant && (id < 0 || id >= run.playersPrompted))
        fail("match log entry " + std::to_string(i) + " holds id " +
             std::to_string(id) + " with " +
             std::to_string(run.playersPrompted) + " players");
    }
  }
  run.checkedResults = matchLog().size();
}

// The matches called to tables lead the left panel ("T3 ***** Play
// match ..."), each table once, in the order of the tables.
void checkTableRows() {
  std::vector<char> left = leftPanel.getGrid();
  int lastTable = 0;
  bool calledRowsOver = false;
  for (int r = 0; r < leftPanel.height(); ++r) {
    const std::string row = gridRow(left, leftPanel.width, r);
    const bool called = row.size() > 1 && row[0] == 'T' && row[1] >= '1' && row[1] <= '9';
    if (!called) {
      calledRowsOver = true;
      continue;
    }
    const int table = std::atoi(row.c_str() + 1);
    if (calledRowsOver || table <= lastTable || table > 100)
      fail("table row out of place: " + row);
    lastTable = table;
  }
}

// The panels as they stand when the winner is asked for.
void checkPanels() {
  int n = run.playersPrompted;
  if (n < kMinPlayers || n > kMaxPlayers)
    fail("turn with " + std::to_string(n) + " players");
  std::vector<char> right = rightPanel.getGrid();
  for (int r = 0; r < rightPanel.height(); ++r) {
    std::string row = gridRow(right, rightPanel.width, r);
    if (r >= n) {
      if (!row.empty()) fail("standings row " + std::to_string(r) +
                             " below the last place: " + row);
      continue;
    }
    std::string prefix = ordinal(r + 1) + " -> ";
    if (row.compare(0, prefix.size(), prefix) != 0 &&
        row + " " != prefix)  // an empty name leaves the trailing space cut
      fail("standings row " + std::to_string(r) + ": " + row);
  }
  checkTableRows();
}

void tournamentShown(const TournamentState& state) {
  std::string problem = tournamentProblem(state, matchLog().size());
  if (!problem.empty()) fail(problem);
}

void drawPanels(PanelView) {}

void redrawPanels(PanelView, std::string, bool) {}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The notice starts with a live entry's names, then the count of results
// set aside, if any.
void checkReversalNotice(const std::string& text) {
  for (const MatchRecord& r : matchLog()) {
    if (r.winner.id == kNoParticipant) continue;
    const std::string named =
        kReversalNotice + r.winner.name + " avait gagne contre " + r.loser.name + ")";
    if (startsWith(text, named) &&
        (text.size() == named.size() || startsWith(text.substr(named.size()), " ; ")))
      return;
  }
  fail("reversal notice naming no live result: " + text);
}

void drawMessageLine(std::string text) {
  if (startsWith(text, kReversalNotice)) checkReversalNotice(text);
  if (!startsWith(text, kCancelNotice)) return;
  if (!hasResults()) fail("cancel notice with an empty match log: " + text);
  MatchRecord last = lastResult();
  std::string expected = kCancelNotice + last.winner.name +
                         " avait gagne contre " + last.loser.name + ")";
  if (text != expected) fail("cancel notice \"" + text + "\", expected \"" +
                             expected + "\"");
}

void drawPromptLine(std::string text) {
  if (text == kWinnerPrompt) {
    ++run.turns;
    checkPanels();
    checkLog();
    return;
  }
  if (text.compare(0, kPlayerPrompt.size(), kPlayerPrompt) == 0)
    run.playersPrompted =
        std::atoi(text.c_str() + kPlayerPrompt.size());
}

bool typeAnswer(AnswerTyping&, std::string*) {
  if (++run.keyboardCalls > 1) fail("keyboard asked again after the window closed");
  if (replayBuffer.pending()) fail("keyboard asked while the replay is pending");
  if (run.held) fail("keyboard asked while frames are held");
  return false;
}

void holdFrames(bool hold) { run.held = hold; }

}  // namespace

ReplayFigures runReplayInput(const uint8_t* data, size_t size) {
  static NullBuffer nullBuffer;
  static std::ostream nullStream(&nullBuffer);
  static const Frontend ui{drawPanels, redrawPanels, drawMessageLine, drawPromptLine,
                           nullptr,    typeAnswer,   holdFrames};

  run = RunState();
  resetProgramState();
  replayBuffer.load(std::string(reinterpret_cast<const char*>(data), size));

  DialogueFiles files;
  files.savePath = "";  // never opened: runTournament starts after that step
  files.out = &nullStream;
  files.err = &nullStream;
  files.turnShown = tournamentShown;
  int status = runTournament(ui, files);
  if (status != 0) fail("exit status " + std::to_string(status));
  checkLog();
  return ReplayFigures{run.playersPrompted, run.turns, matchLog().size()};
}
