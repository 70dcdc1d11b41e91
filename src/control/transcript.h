// transcript.h: save.txt, one answer per line, flushed after every answer.
//
// Owns transcript, the output stream opened once after the start choice.
// Only openTranscript and recordAnswer touch it. A transcript that cannot be
// opened or written leaves the run going without one; the failure is
// reported once on standard error.
#pragma once

#include <fstream>
#include <string>

extern std::ofstream transcript;

constexpr const char* kSaveFile = "save.txt";
constexpr const char* kUnsavedWarning =
    "Impossible d'ecrire save.txt : le tournoi ne sera pas sauvegarde";

// Copies a non-empty file at path to path + ".bak" (replacing an older
// backup), then opens transcript on path for writing, which empties it.
// False, with the reason in err, when the file cannot be opened for writing.
//
// With replaying set, the transcript is written to path + ".tmp" instead and
// takes the place of path only at settleTranscript: a run cut short while a
// loaded tournament is being replayed then leaves save.txt whole, rather
// than holding part of it (which the next start would also copy over the
// backup).
bool openTranscript(const std::string& path, std::string* err,
                    bool replaying = false);

// Moves a transcript written aside over its real path, once the replay is
// over or the run ends; nothing to do otherwise. A failed move prints
// kUnsavedWarning on standard error and leaves the run without a transcript.
void settleTranscript();

// Writes the text and a line end to transcript and flushes. A write failure
// prints kUnsavedWarning on standard error, once per run; a transcript that
// was never opened is skipped silently.
void recordAnswer(const std::string& text);

// False once the transcript failed to open or a write to it failed.
bool transcriptHealthy();

// The whole file, byte for byte, no line-end translation. False, with the
// system's reason in err, when it cannot be read (missing, a directory,
// unreadable).
bool readWholeFile(const std::string& path, std::string* content, std::string* err);
