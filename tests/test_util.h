// test_util.h: small helpers shared by the tests.
#pragma once

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "control/program_state.h"
#include "views/text_panel.h"
#include "engine/match_log.h"
#include "engine/participant.h"

// Row r of a panel with its trailing spaces removed.
inline std::string panelRow(const TextPanel& panel, int r) {
  std::string row = panel.row(r);
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

// Every non-blank row of a panel, top to bottom, trailing spaces removed.
inline std::vector<std::string> panelLines(const TextPanel& panel) {
  std::vector<std::string> lines;
  for (int r = 0; r < panel.height(); ++r) {
    std::string row = panelRow(panel, r);
    if (!row.empty()) lines.push_back(row);
  }
  return lines;
}

// Readable failure messages for the engine's records.
inline void PrintTo(const Participant& p, std::ostream* os) {
  *os << "{" << p.id << ", \"" << p.name << "\"}";
}
inline bool operator==(const Participant& a, const Participant& b) {
  return a.id == b.id && a.name == b.name;
}

inline bool operator==(const MatchRecord& a, const MatchRecord& b) {
  return a.winner == b.winner && a.loser == b.loser;
}
inline void PrintTo(const MatchRecord& r, std::ostream* os) {
  *os << "{";
  PrintTo(r.winner, os);
  *os << " beat ";
  PrintTo(r.loser, os);
  *os << "}";
}

// A record as one line, "{id, "name"} beat {id, "name"}", for comparing
// whole records with readable failures.
inline std::string recordText(const MatchRecord& r) {
  std::ostringstream text;
  PrintTo(r.winner, &text);
  text << " beat ";
  PrintTo(r.loser, &text);
  return text.str();
}

// Every global back to its start value: an empty match log, the
// placeholder counter at 100, both panels blank, nothing to replay.
inline void resetEngineState() { resetProgramState(); }

// The names of a list of participants, in order.
inline std::vector<std::string> namesOf(const std::vector<Participant>& list) {
  std::vector<std::string> names;
  for (const Participant& p : list) names.push_back(p.name);
  return names;
}

// The ids of a list of participants, in order.
inline std::vector<int32_t> idsOf(const std::vector<Participant>& list) {
  std::vector<int32_t> ids;
  for (const Participant& p : list) ids.push_back(p.id);
  return ids;
}
