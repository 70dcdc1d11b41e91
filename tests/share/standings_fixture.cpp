// standings_fixture: a tournament played through the engine, rendered and
// written as the program writes it, for the browser and HTTP tests.
//
//   standings_fixture PLAYERS RESULTS NAMES OUT [SERVE_SECONDS [TABLES [WITHDRAWN]]]
//
// Plays RESULTS results (or until the end, with -1), the player WITHDRAWN
// (an id, -1 for none) having left from the start: the match at the lowest
// table when TABLES tables are in use, else the first playable match, the
// first side winning when its id is even. Along the way one result is
// entered reversed and cancelled, and, once a match is decided, the same
// match is entered again the other way round, which no pairing uses. NAMES
// is "plain" (Joueur 1, ...), "tricky" (markup, quotes, Latin-1 accents,
// formulas) or "long" (the longest shown whole, 30 characters, every
// other one a single word).
// Writes into OUT: tournoi.html, classement.csv and ecran.html (as the
// program does), tournoi.json, and engine.json, the engine's value written
// field by field without the renderers. With SERVE_SECONDS above 0, serves
// the standings on 127.0.0.1 (any free port), prints "port N" and stops
// after that many seconds or when standard input closes.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "control/program_state.h"
#include "engine/match_log.h"
#include "engine/tables.h"
#include "engine/tournament_state.h"
#include "share/share_server.h"
#include "files/durable_file.h"
#include "share/standings_files.h"
#include "views/text_escape.h"

namespace {

const char* const kTrickyNames[] = {
    "<script>alert(1)</script>", "\"&'", "Zo\xE9 M\xFCller", "=SUM(A1:A9)",
    "+33 6", "@moi", "a;b \"c\"", "-1", "\xC9milie > Bob", "x<y&z",
};

std::vector<Participant> makePlayers(int count, const std::string& names) {
  std::vector<Participant> players;
  for (int id = 0; id < count; ++id) {
    std::string name = "Joueur " + std::to_string(id + 1);
    if (names == "tricky" && id < static_cast<int>(std::size(kTrickyNames)))
      name = kTrickyNames[id];
    // As long as a name is shown whole; every other one a single word,
    // which must still wrap.
    if (names == "long")
      name = id % 2 ? (std::to_string(id + 1) + " Anne-Sophie de Villeneuve-Montmorency").substr(0, 30)
                    : "Wolfeschlegelsteinhausen" + std::to_string(id + 1);
    players.push_back(Participant{id, name});
  }
  return players;
}

// The tables as they stand once the results are played.
TableAssignment play(const std::vector<Participant>& players, int results, int tableCount,
                     const std::vector<int32_t>& withdrawn) {
  TableAssignment tables;
  for (int played = 0;; ++played) {
    TournamentState state = computeTournament(players, resultLog(), withdrawn);
    tables = assignTables(tables, tableCount, state, matchLog());
    const auto next = std::find_if(state.toPlay.begin(), state.toPlay.end(),
                                   [](const MatchToPlay& m) { return m.playable; });
    if ((results >= 0 && played >= results) || next == state.toPlay.end()) return tables;
    MatchToPlay m = *next;
    if (!tables.seated.empty())
      m = MatchToPlay{players[tables.seated[0].first], players[tables.seated[0].second], true,
                      0};
    const bool firstWins = m.first.id % 2 == 0;
    const MatchRecord result = firstWins ? MatchRecord{m.first, m.second}
                                         : MatchRecord{m.second, m.first};
    if (played == 1) {
      appendResult(MatchRecord{result.loser, result.winner});
      cancelLastResult();
    }
    appendResult(result);
    if (played == 2) appendResult(MatchRecord{result.loser, result.winner});
  }
}

std::string text(const std::string& latin1) { return jsonString(latin1ToUtf8(latin1)); }

// The engine's value, field by field.
std::string engineJson(const TournamentState& state) {
  std::string out = "{\"finished\":" + std::string(state.finished() ? "true" : "false");
  out += ",\"forfeits\":" + std::to_string(state.forfeits.size());
  out += ",\"withdrawn\":[";
  for (size_t i = 0; i < state.withdrawn.size(); ++i)
    out += (i ? "," : "") + text(state.players[static_cast<size_t>(state.withdrawn[i])].name);
  out += "]";
  out += ",\"players\":[";
  for (size_t i = 0; i < state.players.size(); ++i)
    out += (i ? "," : "") + text(state.players[i].name);
  out += "],\"toPlay\":[";
  for (size_t i = 0; i < state.toPlay.size(); ++i) {
    const MatchToPlay& m = state.toPlay[i];
    out += (i ? "," : "") + std::string("{\"first\":") + text(m.first.name) +
           ",\"firstIsPlayer\":" + (isPlayerId(m.first.id) ? "true" : "false") +
           ",\"second\":" + text(m.second.name) +
           ",\"secondIsPlayer\":" + (isPlayerId(m.second.id) ? "true" : "false") +
           ",\"playable\":" + (m.playable ? "true" : "false") + "}";
  }
  out += "],\"placement\":[";
  for (size_t i = 0; i < state.placement.size(); ++i)
    out += (i ? "," : "") +
           (isPlayerId(state.placement[i].id) ? text(state.placement[i].name) : "null");
  out += "],\"reachable\":[";
  for (size_t i = 0; i < state.reachable.size(); ++i) {
    out += i ? ",[" : "[";
    for (size_t k = 0; k < state.reachable[i].size(); ++k)
      out += (k ? "," : "") + std::to_string(state.reachable[i][k]);
    out += "]";
  }
  out += "],\"log\":[";
  const std::vector<MatchRecord>& log = matchLog();
  const std::vector<ResultUse> uses = resultUses(state, log);
  for (size_t i = 0; i < log.size(); ++i) {
    const char* use = uses[i] == ResultUse::kUsed        ? "used"
                      : uses[i] == ResultUse::kCancelled ? "cancelled"
                                                         : "unused";
    out += (i ? "," : "") + std::string("{\"winner\":") + text(log[i].winner.name) +
           ",\"loser\":" + text(log[i].loser.name) + ",\"use\":\"" + use + "\"}";
  }
  return out + "]}\n";
}

// Until the time is up or standard input is closed.
void serveFor(int seconds) {
  ShareServer server;
  std::string reason;
  if (!server.start(0, &reason)) {
    std::cerr << "cannot serve: " << reason << std::endl;
    std::exit(1);
  }
  std::cout << "port " << server.port() << std::endl;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  char buffer[256];
  while (std::chrono::steady_clock::now() < end) {
    struct pollfd in = {0, POLLIN, 0};
    if (poll(&in, 1, 100) > 0 && read(0, buffer, sizeof buffer) <= 0) break;
  }
  server.stop();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 5) {
    std::cerr << "usage: standings_fixture PLAYERS RESULTS NAMES OUT"
                 " [SERVE_SECONDS [TABLES [WITHDRAWN]]]\n";
    return 2;
  }
  resetProgramState();
  const std::vector<Participant> players = makePlayers(std::atoi(argv[1]), argv[3]);
  std::vector<int32_t> withdrawn;
  if (argc > 7 && std::atoi(argv[7]) >= 0) withdrawn.push_back(std::atoi(argv[7]));
  const int tableCount = argc > 6 ? std::atoi(argv[6]) : 0;
  const TableAssignment tables = play(players, std::atoi(argv[2]), tableCount, withdrawn);
  const TournamentState state = computeTournament(players, resultLog(), withdrawn);
  const SharedStandings standings = renderStandings(state, matchLog(), tables);
  const std::string out = argv[4];
  std::string err;
  if (!writeStandingsFiles(out, standings, &err) ||
      !replaceFile(out + "/tournoi.json", standings.json, &err) ||
      !replaceFile(out + "/engine.json", engineJson(state), &err)) {
    std::cerr << err << std::endl;
    return 1;
  }
  publishStandings(std::make_shared<const SharedStandings>(standings));
  if (argc > 5 && std::atoi(argv[5]) > 0) serveFor(std::atoi(argv[5]));
  return 0;
}
