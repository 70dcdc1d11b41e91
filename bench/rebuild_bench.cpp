// rebuild_bench.cpp: the cost of one turn's rebuild, exactly as the main loop
// does it: compute the tournament's value from the players and the log
// (placement, matches to play, reachable places, uses of the results), then
// write both panels from it.
//
// The logs are made by playing whole tournaments with a seeded generator, so
// every run measures the same work.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "control/answer_source.h"
#include "control/dialogue.h"
#include "control/program_state.h"
#include "views/text_panel.h"
#include "views/panel_rows.h"
#include "engine/match_log.h"
#include "engine/tables.h"
#include "engine/tournament_state.h"
#include "tournament_play.h"

namespace {

constexpr uint32_t kSeed = 20240611;
constexpr int kMaxCancels = 50;
constexpr size_t kLongNameBytes = 255;

void rebuildTurn(const std::vector<Participant>& players) {
  writeTournament(computeTournament(players, resultLog()));
}

std::vector<PlayedResult> playOrDie(const std::vector<Participant>& players) {
  std::vector<PlayedResult> played;
  std::string err;
  if (!playWholeTournament(players, kSeed, kMaxCancels, &played, &err)) {
    std::fprintf(stderr, "cannot play the tournament: %s\n", err.c_str());
    std::exit(1);
  }
  return played;
}

int countCancelled() {
  int cancelled = 0;
  for (const MatchRecord& r : matchLog()) cancelled += r.winner.id == kNoParticipant;
  return cancelled;
}

int countAnnounced() {
  int rows = 0;
  for (int r = 0; r < leftPanel.height(); ++r)
    rows += leftPanel.row(r).find_first_not_of(' ') != std::string::npos;
  return rows;
}

void runRebuilds(benchmark::State& state, const std::vector<Participant>& players) {
  for (auto _ : state) {
    rebuildTurn(players);
    benchmark::ClobberMemory();
  }
  int cancelled = countCancelled();
  state.counters["live_results"] = static_cast<double>(matchLog().size() - cancelled);
  state.counters["cancelled"] = cancelled;
  state.counters["announced"] = countAnnounced();
}

// Every match decided: the last turns of a tournament, and what every turn of
// a loaded tournament's replay approaches.
void BM_RebuildFullLog(benchmark::State& state) {
  std::vector<Participant> players = numberedPlayers(static_cast<int>(state.range(0)));
  std::vector<PlayedResult> played = playOrDie(players);
  enterResults(players, played, played.size());
  runRebuilds(state, players);
}
BENCHMARK(BM_RebuildFullLog)->Arg(100)->Arg(16)->Unit(benchmark::kMicrosecond);

// Half the results entered: placeholders and real players mixed.
void BM_RebuildHalfwayLog(benchmark::State& state) {
  std::vector<Participant> players = numberedPlayers(static_cast<int>(state.range(0)));
  std::vector<PlayedResult> played = playOrDie(players);
  enterResults(players, played, played.size() / 2);
  runRebuilds(state, players);
}
BENCHMARK(BM_RebuildHalfwayLog)->Arg(100)->Unit(benchmark::kMicrosecond);

// The first turn: nothing decided, every later match stands between nested
// placeholder names. range(1) is the length of every player name.
void BM_RebuildEmptyLog(benchmark::State& state) {
  int count = static_cast<int>(state.range(0));
  size_t nameBytes = static_cast<size_t>(state.range(1));
  std::vector<Participant> players =
      nameBytes == 0 ? numberedPlayers(count) : longNamedPlayers(count, nameBytes);
  resetProgramState();
  runRebuilds(state, players);
}
BENCHMARK(BM_RebuildEmptyLog)
    ->Args({100, 0})
    ->Args({100, kLongNameBytes})
    ->ArgNames({"players", "name_bytes"})
    ->Unit(benchmark::kMicrosecond);

// Every rebuild of a tournament in turn, from the first to the last: the
// engine's share of loading a complete transcript.
void BM_RebuildEveryTurn(benchmark::State& state) {
  std::vector<Participant> players = numberedPlayers(static_cast<int>(state.range(0)));
  std::vector<PlayedResult> played = playOrDie(players);
  for (auto _ : state) {
    state.PauseTiming();
    resetProgramState();
    state.ResumeTiming();
    for (size_t i = 0; i < played.size(); ++i) {
      rebuildTurn(players);
      const PlayedResult& r = played[i];
      appendResult(MatchRecord{players[r.winner], players[r.loser]});
    }
    rebuildTurn(players);
  }
  state.counters["turns"] = static_cast<double>(played.size() + 1);
}
BENCHMARK(BM_RebuildEveryTurn)->Arg(100)->Unit(benchmark::kMillisecond);

// One turn with 20 tables, half the results in: the rebuild, the calls to
// the tables and the panels with the tables first.
void BM_TurnWithTables(benchmark::State& state) {
  std::vector<Participant> players = numberedPlayers(static_cast<int>(state.range(0)));
  std::vector<PlayedResult> played = playOrDie(players);
  enterResults(players, played, played.size() / 2);
  TableAssignment tables;
  for (auto _ : state) {
    const TournamentState turn = computeTournament(players, resultLog());
    tables = assignTables(tables, static_cast<int>(state.range(1)), turn, matchLog());
    writeTournament(turn, tableOfMatches(tables, turn));
    benchmark::ClobberMemory();
  }
  state.counters["busy_tables"] = busyTables(tables);
}
BENCHMARK(BM_TurnWithTables)->Args({100, 20})->Unit(benchmark::kMicrosecond);

// Half the results in and ten players gone, one in every ten from the
// third: their unplayed pairings are decided as forfeits at every rebuild.
void BM_RebuildWithWithdrawals(benchmark::State& state) {
  std::vector<Participant> players = numberedPlayers(static_cast<int>(state.range(0)));
  std::vector<PlayedResult> played = playOrDie(players);
  enterResults(players, played, played.size() / 2);
  std::vector<int32_t> withdrawn;
  for (int32_t id = 2; id < static_cast<int32_t>(players.size()) && withdrawn.size() < 10; id += 10)
    withdrawn.push_back(id);
  size_t forfeits = 0;
  for (auto _ : state) {
    const TournamentState turn = computeTournament(players, resultLog(), withdrawn);
    writeTournament(turn);
    forfeits = turn.forfeits.size();
    benchmark::ClobberMemory();
  }
  state.counters["forfeits"] = static_cast<double>(forfeits);
}
BENCHMARK(BM_RebuildWithWithdrawals)->Arg(100)->Unit(benchmark::kMicrosecond);

// The transcript of a whole tournament under automatic naming.
std::string transcriptOf(int count, const std::vector<PlayedResult>& played) {
  std::string text = std::to_string(count) + "\nauto\n";
  for (const PlayedResult& r : played)
    text += std::to_string(r.winner + 1) + "\n" + std::to_string(r.loser + 1) + "\n";
  return text;
}

bool closedWindow(AnswerTyping&, std::string*) { return false; }
void drawNothing(PanelView) {}
void redrawNothing(PanelView, std::string, bool) {}
void showNothing(std::string) {}
void holdNothing(bool) {}

// The whole replay of a loaded transcript without a window: every answer
// taken from replayBuffer, echoed, acted on, every turn rebuilt; the first
// typed answer reports the window closed, which ends the dialogue.
void BM_ReplayWholeTournament(benchmark::State& state) {
  int count = static_cast<int>(state.range(0));
  std::string text = transcriptOf(count, playOrDie(numberedPlayers(count)));
  Frontend ui{drawNothing, redrawNothing, showNothing, showNothing,
              nullptr,     closedWindow,  holdNothing};
  std::ofstream sink("/dev/null");
  DialogueFiles files;
  files.out = &sink;
  files.err = &sink;
  for (auto _ : state) {
    state.PauseTiming();
    resetProgramState();
    replayBuffer.load(text);
    state.ResumeTiming();
    runTournament(ui, files);
  }
  state.counters["transcript_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ReplayWholeTournament)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
