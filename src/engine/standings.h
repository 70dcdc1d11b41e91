// standings.h: one numbered row per place in rightPanel.
#pragma once

#include <string>
#include <vector>

#include "engine/participant.h"

// The ordinal of a place: "1er", then "2e ", "3e ", ... (with a space).
std::string ordinal(int place);

// For each entry, the template with its first '%' replaced by the ordinal,
// then fitName(name, 30), then an end of line, all into rightPanel. The main
// loop passes the template "% -> ".
void writeStandings(std::string rowTemplate, std::vector<Participant> placement);
