// test_util.h: small helpers shared by the tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "display/text_panel.h"
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
