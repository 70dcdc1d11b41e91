// sharing_status.h: the sharing part of the status band (StatusPart::kSharing),
// made of two notes: where the players' page can be read, or why it is not
// shared (set by main once the server has started or failed), and why the
// standings files could not be written (set by the dialogue after each turn).
//
// Owns both notes (changed only through these functions); every change sets
// the kSharing part to the non-empty notes joined by kStatusSeparator.
#pragma once

#include <string>

void setShareAddressNote(std::string text);

// True when the note differs from the one it replaces, so a failure is
// reported once rather than at every turn.
bool setStandingsFilesNote(std::string text);

// Empties both notes and the kSharing part. For tests and repeated runs.
void resetSharingStatus();
