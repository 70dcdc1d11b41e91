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
bool openTranscript(const std::string& path, std::string* err);

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
