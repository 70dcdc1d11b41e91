// name_prompts.h: the questions whose answer is a player's name (the
// winner, the loser, the two names of a correction), made quick to answer
// and hard to get wrong: Tab completes the name being typed, the loser
// prompt may open on the one opponent the winner can have, and a typed name
// that names nobody is refused with the closest names.
//
// Nothing here reads answers or records them: the dialogue does, handing
// a NameTyping to the keyboard and the checks below to its reading.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "control/answer_source.h"
#include "control/name_match.h"
#include "engine/participant.h"

// How many bytes the message strip shows whole: the candidates after a Tab,
// the matches called to tables at a turn.
constexpr size_t kMessageStripBytes = 110;

// The keys of a name prompt. Tab completes (see pressTab) among the
// preferred players when some of them match (the players who can play now,
// so a letter or two is enough), else among all, listing the candidates in
// the message strip when there are several; an offered name
// fills the input strip at the start: Enter takes it, BackSpace edits it,
// and the first character typed replaces it. Keys that type nothing go to
// `views`, which moves the panels.
class NameTyping : public AnswerTyping {
 public:
  // `preferred`: the players Tab offers first. `whenEmpty`: when not empty,
  // Tab on an empty line offers these players alone (the two opponents a
  // member of a three-way group may have). players and views must outlive
  // the typing; showMessage draws the message strip.
  NameTyping(AnswerTyping& views, void (*showMessage)(std::string),
             const std::vector<Participant>& players, std::vector<int32_t> preferred,
             std::string offered = "", std::vector<int32_t> whenEmpty = {});

  AnswerEdit start() override;
  AnswerEdit press(AnswerEdit edit, unsigned unicode) override;
  void view(ViewKey key) override { views_.view(key); }

 private:
  AnswerEdit pressTab(AnswerEdit edit);

  AnswerTyping& views_;
  void (*showMessage_)(std::string);
  const std::vector<Participant>& players_;
  std::vector<int32_t> preferred_;
  std::string offered_;
  std::vector<int32_t> whenEmpty_;
  bool offering_ = false;  // the line still shows the offered name, untouched
  Completion tab_;         // the Tabs pressed in a row
  // The players the current Tabs complete among; empty: everybody.
  std::vector<Participant> among_;
};

// "" when the answer names a player (case and accents aside); otherwise
// "Aucun joueur ne s'appelle « X »", followed by the closest names when
// some are close. When it names one, *answer becomes that player's own
// name, so the transcript holds the name as entered.
std::string checkPlayerName(const std::vector<Participant>& players, std::string* answer);

// checkPlayerName, and the loser must not be the winner.
std::string checkLoserName(const std::vector<Participant>& players, const std::string& winner,
                           std::string* answer);
