// program_state.cpp: see program_state.h.
#include "control/program_state.h"

#include "control/answer_source.h"
#include "control/panel_view.h"
#include "control/sharing_status.h"
#include "control/status_line.h"
#include "control/transcript.h"
#include "display/text_panel.h"
#include "engine/match_log.h"
#include "engine/participant.h"
#include "share/standings_files.h"

void resetProgramState() {
  resetMatchLog();
  resetPlaceholders();
  leftPanel.clear();
  rightPanel.clear();
  placesPanel.clear();
  resetPanelView();
  replayBuffer = {};
  resetStatus();
  resetSharingStatus();
  resetPublishedStandings();
  closeTranscript();
}
