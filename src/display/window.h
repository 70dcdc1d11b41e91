// window.h: drawing the panels and the three bottom strips into the window.
//
// Uses screen and font, which main sets once before the first drawing call.
// Every operation paints over what it covers and then shows the part of
// the window it changed, unless frames are held (see holdFrames).
//
//   message strip  y 740..759, from x 0      colour (0, 100, 250)
//   prompt strip   y 760..779, x 0..299      colour (0, 255, 100)
//   input strip    y 760..779, from x 300    colour (0, 255, 200)
//   status band    y 780..799, from x 0      colour (255, 200, 60), or
//                                            (255, 70, 70) for a warning
//   panel rows     y = 15 * (row - top), x = 10 * firstColumn, colour
//                  (0, 200, 255): kPanelHeight rows of leftPanel and of
//                  rightPanel (or placesPanel) from the row top of the view
//                  it is handed (views/scroll.h)
#pragma once

#include <string>

#include <SDL.h>
#include <SDL_ttf.h>

#include "views/scroll.h"

extern SDL_Surface* screen;
extern TTF_Font* font;

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 800;

// "Vandrell" in blue at the top-left corner, then shows the window.
void drawCreditLine();
// Clears the whole window, draws the rows of leftPanel then of rightPanel
// or placesPanel that the view shows. Keeps a copy of the three panels for
// redrawPanels.
void drawPanels(PanelView view);
void drawMessageLine(std::string text);
void drawPromptLine(std::string text);
void drawInputLine(std::string text);
// Clears the status band and draws the text in it (in the warning colour
// when warning is set). The empty text leaves the band black.
void drawStatusLine(std::string text, bool warning);

// Draws again what the last drawPanels and every strip since drew, the
// panels from this view and the status band with the text (the warning
// colour when warning is set); shows the window once. Used when the view
// scrolls or switches sides.
void redrawPanels(PanelView view, std::string statusText, bool warning);

// While held, drawing operations are only remembered (from the last
// drawPanels on); releasing draws what was remembered, in order, and shows
// the window once. Used to skip the frames of a replay.
void holdFrames(bool hold);
