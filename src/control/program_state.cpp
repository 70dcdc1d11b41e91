// program_state.cpp: see program_state.h.
#include "control/program_state.h"

#include "control/answer_source.h"
#include "control/status_line.h"
#include "control/transcript.h"
#include "display/text_panel.h"
#include "engine/match_log.h"
#include "engine/participant.h"

void resetProgramState() {
  resetMatchLog();
  resetPlaceholders();
  leftPanel.clear();
  rightPanel.clear();
  replayBuffer = {};
  resetStatus();
  closeTranscript();
}
