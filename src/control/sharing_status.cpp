// sharing_status.cpp: see sharing_status.h.
#include "control/sharing_status.h"

#include <utility>

#include "control/status_line.h"

namespace {

std::string addressNote;
std::string filesNote;

void showNotes() {
  std::string text = addressNote;
  if (!text.empty() && !filesNote.empty()) text += kStatusSeparator;
  setStatus(StatusPart::kSharing, text + filesNote);
}

}  // namespace

void setShareAddressNote(std::string text) {
  addressNote = std::move(text);
  showNotes();
}

bool setStandingsFilesNote(std::string text) {
  if (text == filesNote) return false;
  filesNote = std::move(text);
  showNotes();
  return true;
}

void resetSharingStatus() {
  addressNote.clear();
  filesNote.clear();
  setStatus(StatusPart::kSharing, "");
}
