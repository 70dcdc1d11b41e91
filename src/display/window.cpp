// window.cpp: the panels and the three bottom strips, drawn with SDL_ttf's
// solid mode onto the window surface.
//
// Every operation is also remembered in a display list that starts afresh at
// each drawPanels (which keeps a copy of the panel grids). While frames are
// held only the list grows; releasing replays it onto the window, so a long
// replay of answers costs no rendering and still ends on the exact picture
// that drawing every frame would have left. A scroll replays it too, with
// the panels drawn from the view's new rows.
#include "display/window.h"

#include <algorithm>
#include <vector>

#include "control/panel_view.h"
#include "display/text_panel.h"

SDL_Surface* screen = nullptr;
TTF_Font* font = nullptr;

namespace {

// Pixel pitch of the panels: one row every 15 pixels, one column unit of 10.
constexpr int kRowPitch = 15;
constexpr int kColumnUnit = 10;

constexpr SDL_Color kCreditColour = {0, 0, 255, 0};
constexpr SDL_Color kPanelColour = {0, 200, 255, 0};

// A strip: the rectangle cleared before drawing (clipped to the window by
// SDL), whose top-left corner is also where its text goes, and the text
// colour. The text itself is not clipped to the strip.
struct Strip {
  SDL_Rect cleared;
  SDL_Color colour;
};

constexpr Strip kMessageStrip = {{0, 740, 1000, 20}, {0, 100, 250, 0}};
constexpr Strip kPromptStrip = {{0, 760, 300, 20}, {0, 255, 100, 0}};
constexpr Strip kInputStrip = {{300, 760, 10000, 20}, {0, 255, 200, 0}};
constexpr Strip kStatusStrip = {{0, 780, 800, 20}, {255, 200, 60, 0}};
constexpr Strip kWarningStrip = {{0, 780, 800, 20}, {255, 70, 70, 0}};

// A panel grid as it was when drawPanels was called.
struct PanelSnapshot {
  std::vector<char> grid;
  int firstColumn = 0;
  int width = 1;
};

enum class Operation { kCredit, kPanels, kMessage, kPrompt, kInput, kStatus, kWarning };

struct DrawCall {
  Operation operation;
  std::string text;
};

// What has been drawn since the last drawPanels (or since start-up), in
// order, and the panel grids that drawPanels showed.
std::vector<DrawCall> displayList;
PanelSnapshot leftSnapshot;
PanelSnapshot rightSnapshot;
PanelSnapshot placesSnapshot;
bool framesHeld = false;

// Copies the rendered text into the window with its top-left corner at
// (x, y). The empty text renders to no image and draws nothing.
void blitText(const std::string& text, SDL_Color colour, Sint16 x, Sint16 y) {
  if (text.empty()) return;
  SDL_Surface* image = TTF_RenderText_Solid(font, text.c_str(), colour);
  if (image == nullptr) return;
  SDL_Rect at = {x, y, 0, 0};
  SDL_BlitSurface(image, nullptr, screen, &at);
  SDL_FreeSurface(image);
}

PanelSnapshot snapshotOf(const TextPanel& panel) {
  return PanelSnapshot{panel.getGrid(), panel.firstColumn, panel.width};
}

// The kPanelHeight rows of the panel from row top on, trailing spaces
// included, the first of them at the top of the window. A row of spaces
// renders to a fully transparent image, so it is skipped.
void renderPanel(const PanelSnapshot& panel, int top) {
  size_t width = static_cast<size_t>(panel.width);
  size_t rows = panel.grid.size() / width;
  size_t first = static_cast<size_t>(std::max(top, 0));
  for (size_t r = first; r < rows && r < first + kPanelHeight; ++r) {
    std::string row(panel.grid.begin() + r * width,
                    panel.grid.begin() + (r + 1) * width);
    if (row.find_first_not_of(' ') == std::string::npos) continue;
    blitText(row, kPanelColour, static_cast<Sint16>(panel.firstColumn * kColumnUnit),
             static_cast<Sint16>((r - first) * kRowPitch));
  }
}

void renderStrip(const Strip& strip, const std::string& text) {
  SDL_Rect cleared = strip.cleared;  // SDL_FillRect clips it in place
  SDL_FillRect(screen, &cleared, SDL_MapRGB(screen->format, 0, 0, 0));
  blitText(text, strip.colour, strip.cleared.x, strip.cleared.y);
}

// Paints one operation into the window surface without showing it.
void render(const DrawCall& call) {
  switch (call.operation) {
    case Operation::kCredit:
      blitText(call.text, kCreditColour, 0, 0);
      break;
    case Operation::kPanels:
      SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
      renderPanel(leftSnapshot, panelView.top);
      renderPanel(panelView.places ? placesSnapshot : rightSnapshot, panelView.top);
      break;
    case Operation::kMessage:
      renderStrip(kMessageStrip, call.text);
      break;
    case Operation::kPrompt:
      renderStrip(kPromptStrip, call.text);
      break;
    case Operation::kInput:
      renderStrip(kInputStrip, call.text);
      break;
    case Operation::kStatus:
      renderStrip(kStatusStrip, call.text);
      break;
    case Operation::kWarning:
      renderStrip(kWarningStrip, call.text);
      break;
  }
}

// Remembers the operation and, unless frames are held, draws and shows it.
void perform(Operation operation, std::string text) {
  displayList.push_back(DrawCall{operation, std::move(text)});
  if (framesHeld) return;
  render(displayList.back());
  SDL_Flip(screen);
}

}  // namespace

void drawCreditLine() { perform(Operation::kCredit, "Vandrell"); }

void drawPanels() {
  // Everything remembered so far lies under the black fill.
  displayList.clear();
  leftSnapshot = snapshotOf(leftPanel);
  rightSnapshot = snapshotOf(rightPanel);
  placesSnapshot = snapshotOf(placesPanel);
  perform(Operation::kPanels, "");
}

void redrawPanels(std::string statusText, bool warning) {
  // The band is touched by status texts alone, so the new one can take the
  // place of every earlier one.
  displayList.erase(std::remove_if(displayList.begin(), displayList.end(),
                                   [](const DrawCall& call) {
                                     return call.operation == Operation::kStatus ||
                                            call.operation == Operation::kWarning;
                                   }),
                    displayList.end());
  displayList.push_back(
      DrawCall{warning ? Operation::kWarning : Operation::kStatus, std::move(statusText)});
  if (framesHeld) return;
  for (const DrawCall& call : displayList) render(call);
  SDL_Flip(screen);
}

void drawMessageLine(std::string text) { perform(Operation::kMessage, std::move(text)); }

void drawPromptLine(std::string text) { perform(Operation::kPrompt, std::move(text)); }

void drawInputLine(std::string text) { perform(Operation::kInput, std::move(text)); }

void drawStatusLine(std::string text, bool warning) {
  perform(warning ? Operation::kWarning : Operation::kStatus, std::move(text));
}

void holdFrames(bool hold) {
  bool releasing = framesHeld && !hold;
  framesHeld = hold;
  if (!releasing) return;
  for (const DrawCall& call : displayList) render(call);
  SDL_Flip(screen);
}
