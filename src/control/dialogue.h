// dialogue.h: the operator's dialogue and the endless turns, without SDL.
//
// The dialogue is the one place that reads answers, changes the match log,
// rebuilds the tournament and hands what to show to the outputs, once per
// turn: the window's panels and band through a Frontend of plain function
// pointers (so the same code runs in the window, in headless tests and
// under the fuzzer), the players' files and page server through a snapshot
// of the renderings. Answers come from replayBuffer while it is pending,
// otherwise from Frontend::typeAnswer; every answer after the start choice
// is recorded with recordAnswer before it is acted on.
//
// Changes the match log (through its operations), the text panels (through
// their rows), replayBuffer and the transcript; writes the replay echo on
// DialogueFiles::out and every failure on DialogueFiles::err. Nothing else
// in the program prints. After every turn shown (never during a replay, and
// once when a replay ends) the standings are rendered, published for the
// players' page (publishStandings) and written into
// DialogueFiles::standingsFolder; a failed write goes to the status band and
// to err, and the tournament goes on. The view of the panels (the row shown,
// standings or places) and the status band belong to the run.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "control/answer_source.h"
#include "engine/participant.h"
#include "engine/tournament_state.h"
#include "views/scroll.h"

// The calls that touch the window. Every drawing shows what it changed at
// once, unless frames are held.
struct Frontend {
  // Clears the window and draws kPanelHeight rows of leftPanel and of
  // rightPanel (or placesPanel), from the view's top.
  void (*drawPanels)(PanelView view);
  // Draws again what the last drawPanels and every strip since drew, the
  // panels from this view and the status band with this text; shows the
  // window once. For the view keys.
  void (*redrawPanels)(PanelView view, std::string band, bool warning);
  void (*drawMessageLine)(std::string text);
  void (*drawPromptLine)(std::string text);
  // Draws the status band (in red when warning is set). May be null.
  void (*drawStatusLine)(std::string text, bool warning);
  // Reads one typed answer, the keys going through `typing` and the answer
  // echoed in the input strip. False when the window was closed meanwhile;
  // the dialogue then ends with status 0.
  bool (*typeAnswer)(AnswerTyping& typing, std::string* answer);
  // True while the coming answers are replayed: frames drawn meanwhile need
  // not be shown. Called with false before any answer is typed, after which
  // the window must show exactly what was drawn, in order.
  void (*holdFrames)(bool hold);
};

// Where the dialogue's files live and where its console output goes.
struct DialogueFiles {
  std::string savePath = "save.txt";
  // The folder that receives the standings files (tournoi.html,
  // classement.csv and ecran.html) after every turn; empty: none are written. The program
  // gives its working directory, ".".
  std::string standingsFolder;
  // Where the players' page can be read, or why it is not shared: shown in
  // the status band from the first screen on. Empty without sharing.
  std::string shareNote;
  // A list of players (one name per line): when given, the run starts a
  // new tournament of these players without asking, the count and the
  // names recorded as if typed. A file with a bad line is refused, every
  // bad line said in the window and on err, before anything is written,
  // and the run ends with status 1.
  std::string playersFile;
  // Told each turn's tournament as rebuilt, before it is drawn: for checks
  // in tests and the fuzzer. May be null.
  void (*turnShown)(const TournamentState& state) = nullptr;
  std::ostream* out = nullptr;  // replay echo and the loaded file; stdout if null
  std::ostream* err = nullptr;  // failure messages; stderr if null
};

// The count answer parsed like atoi, but clamped to the 32-bit range.
int parseCount(const std::string& answer);

// The whole run after the window is up: the start choice ("load" replays
// save.txt), the transcript, the count, the names, then turns until "quit",
// "exit" or the window's close. Returns the process's exit status.
int runDialogue(const Frontend& ui, const DialogueFiles& files);

// The part after the transcript is open: count, names and turns, with
// whatever replayBuffer holds. Used by runDialogue and by the fuzzer.
int runTournament(const Frontend& ui, const DialogueFiles& files);
