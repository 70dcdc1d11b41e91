// dialogue.h: the operator's dialogue and the endless turns, without SDL.
//
// Everything the dialogue shows or reads goes through a Frontend of plain
// function pointers, so the same code runs in the window, in headless tests
// and under the fuzzer. Answers come from replayBuffer while it is pending,
// otherwise from Frontend::typeAnswer; every answer after the start choice is
// recorded with recordAnswer before it is acted on.
//
// Changes the match log (through its operations), leftPanel and rightPanel
// (through the tournament's panel rows), replayBuffer and the transcript;
// writes the replay echo on DialogueFiles::out and every failure on
// DialogueFiles::err. Nothing else in the program prints. After every turn
// shown (never during a replay, and once when a replay ends) the standings
// are rendered, published for the players' page (publishStandings) and
// written into DialogueFiles::standingsFolder; a failed write goes to the
// status band's sharing part and to err, and the tournament goes on.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/participant.h"
#include "engine/tournament_state.h"

struct Frontend {
  void (*drawPanels)();
  void (*drawMessageLine)(std::string text);
  void (*drawPromptLine)(std::string text);
  // Reads one typed answer, echoing it in the input strip. False when the
  // window was closed meanwhile; the dialogue then ends with status 0.
  bool (*typeAnswer)(std::string* answer);
  // True while the coming answers are replayed: frames drawn meanwhile need
  // not be shown. Called with false before any answer is typed, after which
  // the window must show exactly what was drawn, in order.
  void (*holdFrames)(bool hold);
  // Told the tournament as rebuilt at each turn, before its panels are
  // drawn, for views beyond the panels. May be null.
  void (*tournamentShown)(const TournamentState& state);
  // Draws the status band (see status_line.h). May be null.
  void (*drawStatusLine)(std::string text, bool warning);
};

// Where the dialogue's files live and where its console output goes.
struct DialogueFiles {
  std::string savePath = "save.txt";
  // The folder that receives the standings files (tournoi.html and
  // classement.csv) after every turn; empty: none are written. The program
  // gives its working directory, ".".
  std::string standingsFolder;
  std::ostream* out = nullptr;  // replay echo and the loaded file; stdout if null
  std::ostream* err = nullptr;  // failure messages; stderr if null
};

// The count answer parsed like atoi, but clamped to the 32-bit range.
int parseCount(const std::string& answer);

// The next answer: replayed while replayBuffer is pending, else typed.
// False when the window was closed.
bool readAnswer(const Frontend& ui, std::ostream& echo, std::string* answer);

// The whole run after the window is up: the start choice ("load" replays
// save.txt), the transcript, the count, the names, then turns until "quit",
// "exit" or the window's close. Returns the process's exit status.
int runDialogue(const Frontend& ui, const DialogueFiles& files);

// The part after the transcript is open: count, names and turns, with
// whatever replayBuffer holds. Used by runDialogue and by the fuzzer.
int runTournament(const Frontend& ui, const DialogueFiles& files);
