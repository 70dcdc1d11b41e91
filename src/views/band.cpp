// band.cpp: see band.h.
#include "views/band.h"

#include <utility>

bool StatusBand::set(StatusPart p, std::string text) {
  std::string& slot = parts[static_cast<size_t>(p)];
  if (slot == text) return false;
  slot = std::move(text);
  return true;
}

std::string StatusBand::text() const {
  std::string line;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!line.empty()) line += kStatusSeparator;
    line += part;
  }
  return line;
}
