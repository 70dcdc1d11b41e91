// standings_files.h: the standings written to disk for the players and the
// club (tournoi.html, classement.csv), and the latest renderings handed to
// the players' page server.
//
// Owns the latest published standings (changed only by publishStandings and
// resetPublishedStandings, read from any thread through latestStandings).
#pragma once

#include <memory>
#include <string>

#include "share/standings_render.h"

constexpr const char* kPageFile = "tournoi.html";
constexpr const char* kSheetFile = "classement.csv";

// Writes bytes to folder/name through a temporary file renamed into place,
// so a reader sees the old file or the new one, never a part. False with the
// reason (naming the file) in err; the temporary file is then removed.
bool replaceFile(const std::string& folder, const std::string& name,
                 const std::string& bytes, std::string* err);

// The page and the sheet into folder, each with replaceFile. Both are tried
// even when the first fails; err gets the first failure.
bool writeStandingsFiles(const std::string& folder, const SharedStandings& standings,
                         std::string* err);

// Makes these the standings latestStandings returns. Any thread may call
// both; the renderings themselves are never changed once published.
void publishStandings(std::shared_ptr<const SharedStandings> standings);

// The latest published standings; null before the first.
std::shared_ptr<const SharedStandings> latestStandings();

// Forgets the published standings. For tests and repeated runs.
void resetPublishedStandings();
