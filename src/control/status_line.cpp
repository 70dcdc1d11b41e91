// status_line.cpp: see status_line.h.
#include "control/status_line.h"

#include <utility>

std::array<std::string, static_cast<size_t>(StatusPart::kCount)> statusParts;

void setStatus(StatusPart part, std::string text) {
  statusParts[static_cast<size_t>(part)] = std::move(text);
}

std::string statusText() {
  std::string line;
  for (const std::string& part : statusParts) {
    if (part.empty()) continue;
    if (!line.empty()) line += kStatusSeparator;
    line += part;
  }
  return line;
}

bool statusIsWarning() {
  return !statusParts[static_cast<size_t>(StatusPart::kSaving)].empty();
}

void resetStatus() {
  for (std::string& part : statusParts) part.clear();
}
