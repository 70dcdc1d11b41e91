// transcript.h: save.txt, one answer per line, each on the disk before the
// next question is shown.
//
// Owns the transcript: the open save file, every answer recorded in this run
// (kept so a failed save can be rebuilt whole), and why saving fails, if it
// does. Only openTranscript, settleTranscript, recordAnswer and
// closeTranscript change it. A transcript that cannot be opened or written
// leaves the run going; the call that fails says why through its result,
// once, and prints nothing: the dialogue reports it. Every later answer then
// tries again by writing the whole transcript aside and renaming it over
// save.txt, so freeing disk space brings back a complete file.
#pragma once

#include <string>

constexpr const char* kSaveFile = "save.txt";
constexpr const char* kUnsavedWarning =
    "Impossible d'ecrire save.txt : le tournoi ne sera pas sauvegarde";

// Copies a non-empty file at path to path + ".bak" (replacing an older
// backup; written aside, forced, renamed, the folder forced), then opens
// path for writing, which empties it. False, with the reason in err, when
// either fails; path is then left as it was, and the backup is tried again
// before the first rebuild of path.
//
// With replaying set, the transcript is written to path + ".tmp" instead and
// takes the place of path only at settleTranscript: a run cut short while a
// loaded tournament is being replayed then leaves save.txt whole, rather
// than holding part of it (which the next start would also copy over the
// backup).
bool openTranscript(const std::string& path, std::string* err,
                    bool replaying = false);

// Moves a transcript written aside over its real path (forced first, the
// folder after) once the replay is over or the run ends; true with nothing
// to do otherwise. A failed move leaves save.txt as loaded, removes the
// file written aside and gives false, with the reason in err; a transcript
// whose writing already failed is removed the same way, silently.
bool settleTranscript(std::string* err);

// Writes the text and a line end and forces them to the disk (while a
// replay is written aside, only at settleTranscript). False, with the
// reason in err, for the answer at which saving stops working; while it is
// not working, each later call tries to rebuild path whole and gives true
// whether it manages or not. Also notices a save file removed or replaced
// since the last answer, and rebuilds it.
bool recordAnswer(const std::string& text, std::string* err);

// False once the transcript failed to open or a write to it failed, until
// a rebuild succeeds; false without a transcript.
bool transcriptHealthy();

// Why saving is not working (the system's reason), or "" while it works or
// when no transcript was opened. A file system that refuses to force data
// to the disk counts as not working, though answers still reach the file.
std::string transcriptFailure();

// Closes the transcript and forgets the run's answers, leaving the files as
// a killed process would. For tests and repeated runs.
void closeTranscript();

// The whole file, byte for byte, no line-end translation. False, with the
// system's reason in err, when it cannot be read (missing, a directory,
// unreadable).
bool readWholeFile(const std::string& path, std::string* content, std::string* err);
