// draw_bench.cpp: the cost of drawing into the window, under SDL's dummy
// video driver (an 800 x 800 x 32 surface in memory, no X server).
//
// drawPanels is measured with every row of both panels filled, the most text
// a turn can ever show; drawInputLine is the echo of one key.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>

#include <SDL.h>
#include <SDL_ttf.h>

#include "control/name_prompts.h"
#include "display/window.h"
#include "views/text_panel.h"

namespace {

// Opens the window and the font once; exits if that is impossible, since
// nothing here can be measured without them.
void openWindowOnce() {
  if (screen != nullptr) return;
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  if (SDL_Init(SDL_INIT_VIDEO) != 0 || TTF_Init() != 0) {
    std::fprintf(stderr, "cannot start SDL: %s\n", SDL_GetError());
    std::exit(1);
  }
  font = TTF_OpenFont(BRACKORA_BENCH_FONT, 12);
  screen = SDL_SetVideoMode(kWindowWidth, kWindowHeight, 32, SDL_HWSURFACE);
  if (font == nullptr || screen == nullptr) {
    std::fprintf(stderr, "cannot open the font or the window: %s\n", SDL_GetError());
    std::exit(1);
  }
  holdFrames(false);
}

// Every row of both panels written to the last column, with text shaped like
// what the engine writes there.
void fillPanels() {
  leftPanel.clear();
  rightPanel.clear();
  for (int r = 0; r < kPanelHeight; ++r) {
    std::string a = std::to_string(r + 1), b = std::to_string(100 - r);
    leftPanel << "***** Play match " << std::string(20 - a.size(), 'w') << a << " vs "
              << std::string(19 - b.size(), 'l') << b << std::endl;
    std::string place = std::to_string(r + 1) + (r == 0 ? "er" : "e ");
    rightPanel << place << " -> " << std::string(40, 'p').substr(0, 36 - place.size())
               << std::endl;
  }
}

void BM_DrawPanelsFull(benchmark::State& state) {
  openWindowOnce();
  fillPanels();
  for (auto _ : state) drawPanels(PanelView{});
}
BENCHMARK(BM_DrawPanelsFull)->Unit(benchmark::kMicrosecond);

void BM_DrawPanelsEmpty(benchmark::State& state) {
  openWindowOnce();
  leftPanel.clear();
  rightPanel.clear();
  for (auto _ : state) drawPanels(PanelView{});
}
BENCHMARK(BM_DrawPanelsEmpty)->Unit(benchmark::kMicrosecond);

// The echo of one typed key, with an answer of a name's usual length.
void BM_DrawInputLine(benchmark::State& state) {
  openWindowOnce();
  for (auto _ : state) drawInputLine("Vandrell Korvath");
}
BENCHMARK(BM_DrawInputLine)->Unit(benchmark::kMicrosecond);

}  // namespace

// The echo of a Tab at the winner prompt of a 100-player tournament: the
// completion among the players, the candidates in the message strip and
// the name in the input strip, as the keyboard loop draws them.
void BM_TabCompletionEcho(benchmark::State& state) {
  openWindowOnce();
  std::vector<Participant> players;
  const char* first[] = {"Jean", "Marie", "Louis", "Emma", "Hugo"};
  for (int k = 0; k < 100; ++k)
    players.push_back({k, std::string(first[k % 5]) + " Nom" + std::to_string(k)});
  std::vector<int32_t> preferred;
  for (int k = 0; k < 100; ++k) preferred.push_back(k);
  AnswerTyping views;
  NameTyping typing(views, drawMessageLine, players, preferred);
  for (auto _ : state) {
    AnswerEdit edit = typing.start();
    edit = typing.press(std::move(edit), 'm');
    edit = typing.press(std::move(edit), '\t');
    drawInputLine(edit.text);
  }
}
BENCHMARK(BM_TabCompletionEcho)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
