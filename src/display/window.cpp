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

#include "views/text_panel.h"

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
// The view the panels are drawn from, as last handed over.
PanelView shownView;
bool framesHeld = false;

constexpr SDL_Rect kWholeWindow = {0, 0, kWindowWidth, kWindowHeight};

bool isEmpty(const SDL_Rect& r) { return r.w == 0 || r.h == 0; }

// The part of r inside the window.
SDL_Rect clipToWindow(SDL_Rect r) {
  int left = std::max<int>(r.x, 0), top = std::max<int>(r.y, 0);
  int right = std::min<int>(r.x + r.w, kWindowWidth);
  int bottom = std::min<int>(r.y + r.h, kWindowHeight);
  if (right <= left || bottom <= top) return SDL_Rect{0, 0, 0, 0};
  return SDL_Rect{static_cast<Sint16>(left), static_cast<Sint16>(top),
                  static_cast<Uint16>(right - left), static_cast<Uint16>(bottom - top)};
}

// The smallest rectangle holding both; an empty rectangle adds nothing.
SDL_Rect unite(const SDL_Rect& a, const SDL_Rect& b) {
  if (isEmpty(a)) return b;
  if (isEmpty(b)) return a;
  int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  int right = std::max(a.x + a.w, b.x + b.w), bottom = std::max(a.y + a.h, b.y + b.h);
  return SDL_Rect{static_cast<Sint16>(left), static_cast<Sint16>(top),
                  static_cast<Uint16>(right - left), static_cast<Uint16>(bottom - top)};
}

// Copies the rendered text into the window with its top-left corner at
// (x, y) and returns the part of the window it covered. The empty text
// renders to no image and draws nothing.
SDL_Rect blitText(const std::string& text, SDL_Color colour, Sint16 x, Sint16 y) {
  SDL_Rect at = {x, y, 0, 0};
  if (text.empty()) return at;
  SDL_Surface* image = TTF_RenderText_Solid(font, text.c_str(), colour);
  if (image == nullptr) return at;
  at.w = static_cast<Uint16>(image->w);
  at.h = static_cast<Uint16>(image->h);
  SDL_BlitSurface(image, nullptr, screen, &at);
  SDL_FreeSurface(image);
  return clipToWindow(at);
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

SDL_Rect renderStrip(const Strip& strip, const std::string& text) {
  SDL_Rect cleared = strip.cleared;  // SDL_FillRect clips it in place
  SDL_FillRect(screen, &cleared, SDL_MapRGB(screen->format, 0, 0, 0));
  return unite(clipToWindow(strip.cleared),
               blitText(text, strip.colour, strip.cleared.x, strip.cleared.y));
}

// Paints one operation into the window surface without showing it, and
// returns the part of the window it changed.
SDL_Rect render(const DrawCall& call) {
  switch (call.operation) {
    case Operation::kCredit:
      return blitText(call.text, kCreditColour, 0, 0);
    case Operation::kPanels:
      SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
      renderPanel(leftSnapshot, shownView.top);
      renderPanel(shownView.places ? placesSnapshot : rightSnapshot, shownView.top);
      return kWholeWindow;
    case Operation::kMessage:
      return renderStrip(kMessageStrip, call.text);
    case Operation::kPrompt:
      return renderStrip(kPromptStrip, call.text);
    case Operation::kInput:
      return renderStrip(kInputStrip, call.text);
    case Operation::kStatus:
      return renderStrip(kStatusStrip, call.text);
    case Operation::kWarning:
      return renderStrip(kWarningStrip, call.text);
  }
  return kWholeWindow;
}

// Remembers the operation and, unless frames are held, draws it and shows
// the part of the window it changed. Showing only that part keeps the echo
// of a key cheap: under sdl12-compat showing the whole window costs some
// milliseconds, long enough for keys to pile up while it happens.
void perform(Operation operation, std::string text) {
  displayList.push_back(DrawCall{operation, std::move(text)});
  if (framesHeld) return;
  SDL_Rect changed = render(displayList.back());
  if (!isEmpty(changed)) SDL_UpdateRect(screen, changed.x, changed.y, changed.w, changed.h);
}

}  // namespace

void drawCreditLine() { perform(Operation::kCredit, "Vandrell"); }

void drawPanels(PanelView view) {
  shownView = view;
  // Everything remembered so far lies under the black fill.
  displayList.clear();
  leftSnapshot = snapshotOf(leftPanel);
  rightSnapshot = snapshotOf(rightPanel);
  placesSnapshot = snapshotOf(placesPanel);
  perform(Operation::kPanels, "");
}

void redrawPanels(PanelView view, std::string statusText, bool warning) {
  shownView = view;
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
