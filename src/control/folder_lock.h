// folder_lock.h: one program per working folder.
//
// Two copies started in the same folder would both write save.txt, the
// second emptying the file the first still appends to. The program holds an
// exclusive flock on a lock file in the folder for its whole run; the system
// releases it when the process ends, however it ends. No globals.
#pragma once

#include <string>

constexpr const char* kLockFile = ".brackora.lock";
constexpr const char* kFolderBusy = "Un tournoi est deja ouvert dans ce dossier";

enum class FolderLock {
  kTaken,  // this process holds the lock until it ends
  kBusy,   // another open of the lock file holds it
  kNone,   // the lock file cannot be made or locked: the run goes on
           // without one, and saving reports its own failures
};

// Opens (creating it if missing, without changing its content) and locks
// path without waiting. The descriptor is kept open, and so the lock held,
// until the process ends; *fd receives it (-1 unless kTaken).
FolderLock lockFolder(const std::string& path, int* fd);
