// replay_state.cpp: what a "load" of each given save file brings back, for
// the crash-state tool. Headless: the dialogue runs on a Frontend that
// draws into memory and closes the window at the first typed answer.
//
// Usage: replay_state FILE...   One JSON line per file, in order:
//   {"answers": [...], "screen": [...], "next": [first, second]}
// answers: the answers the replay took; screen: the panel rows, message
// and prompt in view when the first answer would be typed; next: the first
// playable match then (empty before the players are named). A missing file
// replays as an empty one.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "control/answer_source.h"
#include "control/dialogue.h"
#include "control/program_state.h"
#include "control/transcript.h"
#include "views/text_panel.h"
#include "engine/tournament_state.h"

namespace {

std::vector<std::string> screen;
std::vector<std::string> next;

void addRows(const TextPanel& panel, const char* side) {
  for (int r = 0; r < panel.height(); ++r) {
    std::string row = panel.row(r);
    row.erase(row.find_last_not_of(' ') + 1);
    if (!row.empty()) screen.push_back(std::string(side) + row);
  }
}

void panels(PanelView) {
  screen.clear();
  addRows(leftPanel, "L ");
  addRows(rightPanel, "R ");
}
void message(std::string text) { screen.push_back("M " + text); }
void prompt(std::string text) { screen.push_back("P " + text); }
bool closeAtFirstAnswer(AnswerTyping&, std::string*) { return false; }
void redraw(PanelView, std::string, bool) {}
void hold(bool) {}
void shown(const TournamentState& state) {
  next.clear();
  for (const MatchToPlay& match : state.toPlay) {
    if (!match.playable) continue;
    next = {match.first.name, match.second.name};
    break;
  }
}

std::string json(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04x", c);
      out += code;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string jsonList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + json(items[i]);
  return out + "]";
}

void replay(const std::string& path) {
  resetProgramState();
  screen.clear();
  next.clear();
  std::string content, reason;
  if (!readWholeFile(path, &content, &reason)) content.clear();
  replayBuffer.load(content);
  std::ostringstream sink;
  Frontend ui{panels, redraw, message, prompt, nullptr, closeAtFirstAnswer, hold};
  DialogueFiles files;
  files.turnShown = shown;
  files.out = &sink;
  files.err = &sink;
  runTournament(ui, files);
  // The answers taken, read again from the part of the file consumed.
  ReplayBuffer taken;
  taken.load(content.substr(0, replayBuffer.next));
  std::vector<std::string> answers;
  while (taken.remaining() > 0) answers.push_back(takeReplayedAnswer(taken, sink));
  std::printf("{\"answers\": %s, \"screen\": %s, \"next\": %s}\n", jsonList(answers).c_str(),
              jsonList(screen).c_str(), jsonList(next).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) replay(argv[i]);
  return 0;
}
