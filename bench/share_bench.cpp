// share_bench.cpp: what sharing costs. After every turn the dialogue renders
// the page, the sheet, the JSON and the room's screen and writes three
// files; the page server answers from memory. Measured: that per-turn work
// for 100 players half-way through (the longest lists of matches, places
// and results at once), the rendering alone, whole and by part, and
// requests answered per second on
// 127.0.0.1 while the program is idle, one new connection per request as a
// browser reloading the page makes.
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "control/program_state.h"
#include "engine/match_log.h"
#include "engine/tables.h"
#include "engine/tournament_state.h"
#include "share/share_server.h"
#include "share/standings_files.h"
#include "tournament_play.h"
#include "views/bracket_svg.h"
#include "views/json.h"
#include "views/page.h"
#include "views/player_view.h"
#include "views/screen.h"
#include "views/sheet.h"

namespace {

constexpr uint32_t kSeed = 20240611;

// 100 players with half their results entered (some cancelled).
TournamentState halfwayTournament(int count) {
  resetProgramState();
  keepRenderingMemory();
  const std::vector<Participant> players = numberedPlayers(count);
  std::vector<PlayedResult> played;
  std::string err;
  if (!playWholeTournament(players, kSeed, 50, &played, &err)) {
    std::fprintf(stderr, "cannot play the tournament: %s\n", err.c_str());
    std::exit(1);
  }
  enterResults(players, played, played.size() / 2);
  return computeTournament(players, resultLog());
}

// The whole of renderStandings: the page (its bracket and each player's own
// view included), the sheet, the JSON and the room's screen; with tables
// when a second argument gives their count.
void BM_RenderStandings(benchmark::State& state) {
  const TournamentState tournament = halfwayTournament(static_cast<int>(state.range(0)));
  const int tableCount = state.range(1);
  const TableAssignment tables = assignTables({}, tableCount, tournament, matchLog());
  size_t bytes = 0;
  for (auto _ : state) {
    const SharedStandings standings = renderStandings(tournament, matchLog(), tables);
    bytes = standings.page.size() + standings.csv.size() + standings.json.size() +
            standings.screen.size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RenderStandings)->Args({100, 0})->Args({100, 12})->Unit(benchmark::kMillisecond);

// Each rendering alone, 100 players half-way with 12 tables: where the time
// of the whole goes.
void BM_RenderOne(benchmark::State& state) {
  const TournamentState tournament = halfwayTournament(100);
  const TableAssignment tables = assignTables({}, 12, tournament, matchLog());
  const std::vector<MatchRecord>& log = matchLog();
  for (auto _ : state) {
    switch (state.range(0)) {
      case 0: benchmark::DoNotOptimize(renderPage(tournament, log, tables)); break;
      case 1: benchmark::DoNotOptimize(renderBracketSvg(tournament)); break;
      case 2: benchmark::DoNotOptimize(renderPlayerViews(tournament, log, tables)); break;
      case 3: benchmark::DoNotOptimize(renderScreen(tournament, log, tables)); break;
      case 4: benchmark::DoNotOptimize(renderJson(tournament, log, tables)); break;
      default: benchmark::DoNotOptimize(renderCsv(tournament)); break;
    }
  }
}
// 0 the page (bracket and own views included), 1 the bracket, 2 the own
// views, 3 the screen, 4 the JSON, 5 the sheet.
BENCHMARK(BM_RenderOne)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

// Rendering, publishing and writing the three files, as after a turn.
void BM_ShareTurn(benchmark::State& state) {
  const TournamentState tournament = halfwayTournament(static_cast<int>(state.range(0)));
  char pattern[] = "/tmp/brackora_bench_XXXXXX";
  const std::string folder = mkdtemp(pattern) ? pattern : "/tmp";
  size_t bytes = 0;
  for (auto _ : state) {
    auto standings =
        std::make_shared<const SharedStandings>(renderStandings(tournament, matchLog()));
    publishStandings(standings);
    std::string err;
    if (!writeStandingsFiles(folder, *standings, &err)) state.SkipWithError(err.c_str());
    bytes = standings->page.size() + standings->csv.size() + standings->json.size() +
            standings->screen.size();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ShareTurn)->Arg(100)->Unit(benchmark::kMillisecond);

// One request per new connection, 100-player standings published.
void BM_ServeIdle(benchmark::State& state) {
  const TournamentState tournament = halfwayTournament(100);
  publishStandings(std::make_shared<const SharedStandings>(renderStandings(tournament, matchLog())));
  ShareServer server;
  std::string err;
  if (!server.start(0, &err)) {
    state.SkipWithError(err.c_str());
    return;
  }
  const std::string path = state.range(0) == 0 ? "/" : "/tournoi.json";
  for (auto _ : state) {
    httplib::Client client("127.0.0.1", server.port());
    auto answer = client.Get(path);
    if (!answer || answer->status != 200) state.SkipWithError("request failed");
  }
  state.SetItemsProcessed(state.iterations());
  server.stop();
}
BENCHMARK(BM_ServeIdle)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
