// transcript.h: save.txt, one answer per line, flushed after every answer.
//
// Owns transcript, the output stream opened once after the start choice.
// Only openTranscript, settleTranscript and recordAnswer touch it. A
// transcript that cannot be opened or written leaves the run going without
// one; the call that fails says why through its result, once, and prints
// nothing: the dialogue reports it.
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
// over or the run ends; true with nothing to do otherwise. A failed move
// leaves the run without a transcript and gives false, with the reason in
// err. A transcript whose writing already failed is closed, and save.txt
// stays as loaded (that failure was reported when it happened).
bool settleTranscript(std::string* err);

// Writes the text and a line end to transcript and flushes. False, with the
// reason in err, for the write that fails; every later call, like any call
// without a transcript, is skipped and gives true.
bool recordAnswer(const std::string& text, std::string* err);

// False once the transcript failed to open or a write to it failed.
bool transcriptHealthy();

// The whole file, byte for byte, no line-end translation. False, with the
// system's reason in err, when it cannot be read (missing, a directory,
// unreadable).
bool readWholeFile(const std::string& path, std::string* content, std::string* err);
