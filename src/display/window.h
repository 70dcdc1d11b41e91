// window.h: drawing the panels and the three bottom strips into the window.
//
// Uses screen and font, which main sets once before the first drawing call.
// Every operation paints over what it covers and then shows the part of
// the window it changed, unless frames are held (see holdFrames).
//
//   message strip  y 740..759, from x 0      colour (0, 100, 250)
//   prompt strip   y 760..779, x 0..299      colour (0, 255, 100)
//   input strip    y 760..779, from x 300    colour (0, 255, 200)
//   panel rows     y = 15 * row, x = 10 * firstColumn, colour (0, 200, 255)
#pragma once

#include <string>

#include <SDL.h>
#include <SDL_ttf.h>

extern SDL_Surface* screen;
extern TTF_Font* font;

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 800;

// "Vandrell" in blue at the top-left corner, then shows the window.
void drawCreditLine();
// Clears the whole window, draws every row of leftPanel then of rightPanel.
void drawPanels();
void drawMessageLine(std::string text);
void drawPromptLine(std::string text);
void drawInputLine(std::string text);

// While held, drawing operations are only remembered (from the last
// drawPanels on); releasing draws what was remembered, in order, and shows
// the window once. Used to skip the frames of a replay.
void holdFrames(bool hold);
