// standings_files.h: the players' views of one turn as a snapshot (the page,
// the sheet, the JSON and the room's screen rendered together), written to
// disk for the players and the club (tournoi.html, classement.csv,
// ecran.html), and the latest snapshot handed to the players' page server.
//
// Owns the latest published standings (changed only by publishStandings and
// resetPublishedStandings, read from any thread through latestStandings).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/participant.h"
#include "engine/tables.h"
#include "engine/tournament_state.h"

constexpr const char* kPageFile = "tournoi.html";
constexpr const char* kSheetFile = "classement.csv";
constexpr const char* kScreenFile = "ecran.html";

// The renderings of one state, made together after a turn and never
// changed afterwards, so they can be handed to another thread as they are.
struct SharedStandings {
  std::string page;
  std::string csv;
  std::string json;
  std::string screen;
};

// The page, the sheet, the JSON and the screen of the state; log is the
// match log the state was rebuilt from, tables the matches called to tables.
SharedStandings renderStandings(const TournamentState& state,
                                const std::vector<MatchRecord>& log,
                                const TableAssignment& tables = {});

// The page, the sheet and the screen into folder, each written aside and
// renamed into place, so a reader sees the old file or the new one, never a
// part. Each is tried even when one before failed; err gets the first
// failure, naming the file.
bool writeStandingsFiles(const std::string& folder, const SharedStandings& standings,
                         std::string* err);

// Each turn renders about 1 MB of text (a 100-player page alone is 370 KB)
// and frees the turn before. glibc hands blocks that large back to the
// kernel and takes them again, paying a page fault for every 4 KB touched:
// on a virtual machine, twice the rendering itself. This keeps up to 64 MB
// of freed memory in the process instead. Called once at start by main,
// and by the benchmarks, which measure the program as it runs.
void keepRenderingMemory();

// Makes these the standings latestStandings returns. Any thread may call
// both; the renderings themselves are never changed once published.
void publishStandings(std::shared_ptr<const SharedStandings> standings);

// The latest published standings; null before the first.
std::shared_ptr<const SharedStandings> latestStandings();

// Forgets the published standings. For tests and repeated runs.
void resetPublishedStandings();
