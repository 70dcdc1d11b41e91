// status_line.h: the one-line status band under the prompt (window y 780 to
// 799), shared by several features, each owning one part of it.
//
// Owns statusParts. Each part is set by its owner and is empty when it has
// nothing to say; the line shows the non-empty parts in the order of
// StatusPart, joined by kStatusSeparator. While the saving part is set the
// line is a warning (drawn in red). Nothing here draws: the dialogue passes
// statusText() and statusIsWarning() to Frontend::drawStatusLine.
#pragma once

#include <array>
#include <string>

enum class StatusPart {
  kSaving,   // saving is not working: why (the most urgent, so first)
  kSharing,  // the address of the players' page, or why it is not shared
  kRows,     // which panel rows are shown, while some are hidden
  kKeys,     // the keys that can be used now
  kCount     // number of parts, not a part
};

constexpr const char* kStatusSeparator = "   ";

extern std::array<std::string, static_cast<size_t>(StatusPart::kCount)> statusParts;

void setStatus(StatusPart part, std::string text);

// The non-empty parts joined; "" when all are empty.
std::string statusText();

// True while the saving part is set.
bool statusIsWarning();

// Empties every part. For tests and repeated runs.
void resetStatus();
