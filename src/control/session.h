// session.h: one run of the dialogue: what it keeps from question to
// question (the players, the tournament as last shown, the view of the
// panels, the status band, the tables), and the plumbing every question
// uses: reading an answer (replayed, given ahead or typed), checking and
// recording it, and showing a turn. Shared by the dialogue and its turn
// commands; nothing outside control/ sees it.
#pragma once

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "control/answer_source.h"
#include "control/dialogue.h"
#include "engine/participant.h"
#include "engine/tables.h"
#include "engine/tournament_state.h"
#include "views/band.h"
#include "views/scroll.h"

std::ostream& outStream(const DialogueFiles& files);
std::ostream& errStream(const DialogueFiles& files);

struct Session;

// A withdrawal, or a return, as given: who, where in the list of the
// withdrawn it was taken or put, and how long the match log was then (a
// result entered after it is newer).
struct WithdrawalChange {
  bool returned = false;
  int32_t player = kNoParticipant;
  size_t position = 0;
  size_t logSize = 0;
};

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
  bool lastRefused = false;   // the latest question refused a typed answer
  // Answers given ahead (the players of a list file): taken before any is
  // typed, checked and recorded as if typed.
  std::deque<std::string> given;
  // Said in the message strip at the next turn instead of the hint.
  std::string turnNote;
  // The tables the operator has, and the matches called to them, kept from
  // turn to turn.
  int tableCount = 0;
  TableAssignment tables;
  // The players who left, earliest first, and each withdrawal or return in
  // the order given, so that "annuler" can take back the newest action.
  std::vector<int32_t> withdrawn;
  std::vector<WithdrawalChange> withdrawalChanges;
};

// Why a typed answer is refused, or "" when it is taken; a check may put
// the answer in the form to record (a player's own name for a name typed
// without its accents). Replayed answers are never refused or changed, so
// every saved file replays as it was written.
using AnswerCheck = std::function<std::string(std::string* answer)>;

// Draws the status band as its parts stand. drawPanels clears the whole
// window, the band included, so this follows every drawPanels.
void showStatus(const Session& s);

// Draws the panels, then the status band over them.
void drawPanelsAndStatus(const Session& s);

// Puts the saving part of the status band in line with the transcript (red
// while saving fails), and redraws the band when it changed.
void showSaving(Session& s);

// The transcript rebuilt by a replay takes the place of save.txt.
void settleReplayedTranscript(Session& s);

// Reads the next answer and records it at once. A typed answer that
// `check` refuses is not recorded: its reason goes to the message strip and
// the same question is asked again. `typing` (the session's own when null)
// takes the keys. False when the window was closed; the partial answer is
// then not recorded.
bool readRecorded(Session& s, std::string* answer, const AnswerCheck& check = nullptr,
                  AnswerTyping* typing = nullptr);

// The next answer, not recorded: replayed, given ahead, or typed. False
// when the window was closed.
bool nextAnswer(Session& s, std::string* answer, AnswerTyping& typing);

// Records an answer just read (see readRecorded).
void record(Session& s, const std::string& answer);

// Rebuilds the tournament, calls matches to the free tables, writes and
// draws the panels and the band; outside a replay, shares the standings.
void showTournament(Session& s);
