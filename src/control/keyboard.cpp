// keyboard.cpp: turns window events into AnswerEdit steps and view keys, and
// echoes them.
//
// What each key does is decided by applyKey and pressViewKey, which know
// nothing of SDL; this loop only waits for events, translates them and
// draws.
#include "control/keyboard.h"

#include <SDL.h>

#include "control/answer_source.h"
#include "control/panel_view.h"
#include "control/status_line.h"
#include "display/window.h"

namespace {

// The key a keypad key stands for while Num Lock is off (it then types
// nothing); keys that type something are never view keys.
ViewKey viewKeyOf(const SDL_keysym& key) {
  if (key.unicode != 0) return ViewKey::kNone;
  switch (key.sym) {
    case SDLK_UP:
    case SDLK_KP8:
      return ViewKey::kLineUp;
    case SDLK_DOWN:
    case SDLK_KP2:
      return ViewKey::kLineDown;
    case SDLK_PAGEUP:
    case SDLK_KP9:
      return ViewKey::kPageUp;
    case SDLK_PAGEDOWN:
    case SDLK_KP3:
      return ViewKey::kPageDown;
    case SDLK_HOME:
    case SDLK_KP7:
      return ViewKey::kTop;
    case SDLK_END:
    case SDLK_KP1:
      return ViewKey::kBottom;
    case SDLK_F2:
      return ViewKey::kPlaces;
    default:
      return ViewKey::kNone;
  }
}

// Moves the view for a key that types nothing; redraws only if it moved.
void pressAndShow(ViewKey key) {
  if (pressViewKey(key)) redrawPanels(statusText(), statusIsWarning());
}

}  // namespace

bool typeAnswer(std::string* answer) {
  // Key presses carry the character they produce only while this is on.
  SDL_EnableUNICODE(1);
  AnswerEdit edit;
  SDL_Event event;
  // SDL_WaitEvent sleeps between checks, so waiting for the operator costs
  // next to no processor time. It fails only when events cannot be read at
  // all, which is treated like a closed window.
  while (SDL_WaitEvent(&event)) {
    if (event.type == SDL_QUIT) break;
    if (event.type != SDL_KEYDOWN) continue;
    const ViewKey viewKey = viewKeyOf(event.key.keysym);
    if (viewKey != ViewKey::kNone) {
      pressAndShow(viewKey);
      continue;
    }
    edit = applyKey(edit, event.key.keysym.unicode);
    if (edit.done) {
      SDL_EnableUNICODE(0);
      drawInputLine("");
      *answer = edit.text;
      return true;
    }
    if (edit.changed) drawInputLine(edit.text);
  }
  SDL_EnableUNICODE(0);
  return false;
}

void holdFramesAndDropKeys(bool hold) {
  if (!hold) {
    // Whatever was typed while answers were replayed is still queued:
    // it answers nothing and moves nothing.
    SDL_PumpEvents();
    SDL_Event dropped;
    while (SDL_PeepEvents(&dropped, 1, SDL_GETEVENT,
                          SDL_EVENTMASK(SDL_KEYDOWN) | SDL_EVENTMASK(SDL_KEYUP)) == 1) {
    }
  }
  holdFrames(hold);
}
