// keyboard.cpp: turns window events into AnswerEdit steps and echoes them.
//
// What each key does is decided by applyKey, which knows nothing of SDL;
// this loop only waits for events, translates them and draws the echo.
#include "control/keyboard.h"

#include <SDL.h>

#include "control/answer_source.h"
#include "display/window.h"

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
