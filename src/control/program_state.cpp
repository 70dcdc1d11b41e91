// program_state.cpp: see program_state.h.
#include "control/program_state.h"

#include "control/answer_source.h"
#include "control/transcript.h"
#include "engine/match_log.h"
#include "engine/participant.h"
#include "share/standings_files.h"
#include "views/text_panel.h"

void resetProgramState() {
  resetMatchLog();
  resetPlaceholders();
  leftPanel.clear();
  rightPanel.clear();
  placesPanel.clear();
  replayBuffer = {};
  resetPublishedStandings();
  closeTranscript();
}
