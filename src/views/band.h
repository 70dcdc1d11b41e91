// band.h: the one-line status band under the prompt (window y 780 to 799),
// shared by several features, each owning one part of it.
//
// A plain value: the dialogue keeps the band of its run and sets each part
// as its owner has something to say (empty when it has nothing). The line
// shows the non-empty parts in the order of StatusPart, joined by
// kStatusSeparator. While the saving part is set the line is a warning
// (drawn in red).
#pragma once

#include <array>
#include <string>

enum class StatusPart {
  kSaving,   // saving is not working: why (the most urgent, so first)
  kAddress,  // the address of the players' page, or why it is not shared
  kFiles,    // why the standings files could not be written
  kTables,   // how many tables are busy, while there are tables
  kRows,     // which panel rows are shown, while some are hidden
  kKeys,     // the keys that can be used now
  kCount     // number of parts, not a part
};

constexpr const char* kStatusSeparator = "   ";

struct StatusBand {
  std::array<std::string, static_cast<size_t>(StatusPart::kCount)> parts;

  const std::string& part(StatusPart p) const { return parts[static_cast<size_t>(p)]; }
  // Sets a part; true when it differs from the text it replaces.
  bool set(StatusPart p, std::string text);
  // The non-empty parts joined; "" when all are empty.
  std::string text() const;
  // True while the saving part is set.
  bool warning() const { return !part(StatusPart::kSaving).empty(); }
};
