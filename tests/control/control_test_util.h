// control_test_util.h: helpers for the control tests: a scratch directory,
// whole-file reads and writes, a standard-error capture, and a fake window
// that records every call the dialogue makes.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "control/answer_source.h"
#include "control/dialogue.h"
#include "control/program_state.h"
#include "control/transcript.h"
#include "views/text_panel.h"
#include "engine/match_log.h"
#include "engine/participant.h"
#include "test_util.h"

// A fresh directory under /tmp, removed by the destructor.
class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/brackora_test_XXXXXX";
    path_ = mkdtemp(pattern) ? pattern : "";
    EXPECT_FALSE(path_.empty()) << "mkdtemp failed";
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Everything written to std::cerr while it lives.
class CerrCapture {
 public:
  CerrCapture() : saved_(std::cerr.rdbuf(captured_.rdbuf())) {}
  ~CerrCapture() { std::cerr.rdbuf(saved_); }
  std::string text() const { return captured_.str(); }

 private:
  std::ostringstream captured_;
  std::streambuf* saved_;
};

// --- the fake window
//
// Calls are logged as "panels", "message:<text>", "prompt:<text>",
// "typed:<answer>", "closed" (no typed answer left: the window is closed),
// "hold" and "release". Typing while frames are held is logged as an error.

struct FakeWindow {
  std::vector<std::string> calls;
  std::deque<std::string> typed;
  bool held = false;
  // leftPanel and rightPanel as drawn by each drawPanels, non-blank rows.
  std::vector<std::vector<std::string>> leftFrames, rightFrames;
  // Run just before the typed answer of that index (0: the first) is given,
  // e.g. to damage the files between two answers.
  std::map<size_t, std::function<void()>> beforeTyping;
  size_t typedCount = 0;

  static FakeWindow& get() {
    static FakeWindow window;
    return window;
  }
  void reset() { get() = FakeWindow(); }
};

inline void fakeDrawPanels(PanelView) {
  FakeWindow& w = FakeWindow::get();
  w.calls.push_back("panels");
  w.leftFrames.push_back(panelLines(leftPanel));
  w.rightFrames.push_back(panelLines(rightPanel));
}
inline void fakeMessage(std::string text) {
  FakeWindow::get().calls.push_back("message:" + text);
}
inline void fakePrompt(std::string text) {
  FakeWindow::get().calls.push_back("prompt:" + text);
}
// Types the next answer key by key through `typing`, each byte as the
// character of one key, then Return; the answer is what the keys made of
// it, logged as "typed:<answer>".
inline bool fakeType(AnswerTyping& typing, std::string* answer) {
  FakeWindow& w = FakeWindow::get();
  if (w.held) w.calls.push_back("error: typed while frames are held");
  if (w.typed.empty()) {
    w.calls.push_back("closed");
    return false;
  }
  auto action = w.beforeTyping.find(w.typedCount++);
  if (action != w.beforeTyping.end()) action->second();
  AnswerEdit edit = typing.start();
  for (char c : w.typed.front()) edit = typing.press(std::move(edit), static_cast<unsigned char>(c));
  edit = typing.press(std::move(edit), 13);
  w.typed.pop_front();
  *answer = edit.text;
  w.calls.push_back("typed:" + *answer);
  return true;
}
inline void fakeHold(bool hold) {
  FakeWindow& w = FakeWindow::get();
  w.held = hold;
  w.calls.push_back(hold ? "hold" : "release");
}

inline void fakeRedraw(PanelView, std::string band, bool warning) {
  FakeWindow::get().calls.push_back(std::string("redraw ") + (warning ? "warning:" : "status:") +
                                    band);
}

// Logs the status band as "status:<text>", or "warning:<text>" in red.
inline void fakeStatus(std::string text, bool warning) {
  FakeWindow::get().calls.push_back((warning ? "warning:" : "status:") + text);
}

inline Frontend fakeFrontend() {
  return Frontend{fakeDrawPanels, fakeRedraw, fakeMessage, fakePrompt,
                  nullptr,        fakeType,   fakeHold};
}

// --- a whole run against the fake window

// Puts every global the dialogue touches back to its start value, points
// save.txt into a scratch directory and captures the console.
class DialogueFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    files.savePath = save;
    files.out = &out;
    files.err = &err;
  }
  void TearDown() override { resetProgramState(); }

  void resetGlobals() {
    resetProgramState();
    FakeWindow::get().reset();
  }

  // Runs the dialogue from the start choice on; `typed` are the answers
  // typed in the window, the start choice first. When they run out, the
  // window is closed.
  int run(const std::vector<std::string>& typed) {
    FakeWindow::get().typed.assign(typed.begin(), typed.end());
    return runDialogue(ui, files);
  }

  const std::vector<std::string>& calls() { return FakeWindow::get().calls; }
  // The panels as last drawn; nothing before the first turn.
  std::vector<std::string> lastLeftFrame() {
    const auto& frames = FakeWindow::get().leftFrames;
    return frames.empty() ? std::vector<std::string>{} : frames.back();
  }
  std::vector<std::string> lastRightFrame() {
    const auto& frames = FakeWindow::get().rightFrames;
    return frames.empty() ? std::vector<std::string>{} : frames.back();
  }

  ScratchDir dir;
  std::string save = dir.file("save.txt");
  std::string backup = dir.file("save.txt.bak");
  std::ostringstream out, err;
  DialogueFiles files;
  Frontend ui = fakeFrontend();
};

inline MatchRecord result(int32_t winnerId, const std::string& winner,
                          int32_t loserId, const std::string& loser) {
  return MatchRecord{Participant{winnerId, winner}, Participant{loserId, loser}};
}

using Lines = std::vector<std::string>;
using Log = std::vector<MatchRecord>;

// The texts the dialogue shows, as they appear in the call log.
const std::string kStartCall =
    "message:Appuyez sur entree pour commencer un tournoi ou tapez 'load' pour "
    "charger un tournoi";
const std::string kCountCall = "prompt:Nombre de joueurs : ";
const std::string kAutoHintCall =
    "message:Tapez 'auto' pour nommer les joueurs automatiquement";
const std::string kTurnHintCall =
    "message:Vous pouvez aussi entrer 'quit', 'annuler' ou 'corriger'";
const std::string kWinnerCall = "prompt:Gagnant : ";
const std::string kFinishedCall = "message:Tournoi termine : classement final";
const std::string kAcknowledgeCall = "prompt:Entree pour continuer";
