// bare_window.cpp: the least an SDL 1.2 + SDL_ttf program can do to show the
// program's first frame, as the floor its start is measured against
// (scripts/bench, start_to_first_frame_bare_floor).
//
// Starts the video subsystem and SDL_ttf, opens font.ttf from the working
// directory at the program's size, opens the 800 x 800 window with the
// program's title, draws the credit line "Vandrell" in the program's blue at
// the top-left corner and shows that line. Then it waits, as the program
// does, until a key is pressed or the window is closed. Nothing else: no
// options, no files, no other libraries.
#include <cstdio>

#include <SDL.h>
#include <SDL_ttf.h>

namespace {

constexpr char kTitle[] = "Brackora 1.0 by Vandrell - Korvath";
constexpr SDL_Color kCreditColour = {0, 0, 255, 0};

int fail(const char* what, const char* why) {
  std::fprintf(stderr, "bare_window: %s: %s\n", what, why);
  return 1;
}

}  // namespace

int main() {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return fail("SDL_Init", SDL_GetError());
  if (TTF_Init() != 0) return fail("TTF_Init", TTF_GetError());
  TTF_Font* font = TTF_OpenFont("font.ttf", 12);
  if (font == nullptr) return fail("font.ttf", TTF_GetError());
  SDL_Surface* screen = SDL_SetVideoMode(800, 800, 32, SDL_HWSURFACE);
  if (screen == nullptr) return fail("SDL_SetVideoMode", SDL_GetError());
  SDL_WM_SetCaption(kTitle, nullptr);

  SDL_Surface* line = TTF_RenderText_Solid(font, "Vandrell", kCreditColour);
  if (line == nullptr) return fail("TTF_RenderText_Solid", TTF_GetError());
  SDL_Rect at = {0, 0, 0, 0};
  SDL_BlitSurface(line, nullptr, screen, &at);
  SDL_FreeSurface(line);
  // Only the line's rectangle is sent to the X server, as the program does:
  // SDL_Flip would send the whole 800 x 800 window, which on a busy machine
  // took some 15 ms more to show.
  SDL_UpdateRect(screen, at.x, at.y, at.w, at.h);

  SDL_Event event;
  while (SDL_WaitEvent(&event) == 1 && event.type != SDL_QUIT && event.type != SDL_KEYDOWN) {
  }
  TTF_CloseFont(font);
  TTF_Quit();
  SDL_Quit();
  return 0;
}
