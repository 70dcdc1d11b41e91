// keyboard.cpp: turns window events into AnswerEdit steps and echoes them.
//
// What each key does is decided by applyKey, which knows nothing of SDL;
// this loop only waits for events, translates them and draws the echo.
//
// The character of a key press comes from one of two places. SDL 1.2 itself
// fills in the key event's unicode field with what X's XLookupString gives
// for the key, so ctrl+J is a line feed and a key X knows as "é" is 233.
// sdl12-compat, the SDL 1.2 interface over SDL 2, takes it from SDL 2's text
// input instead: that drops keys whose keycode was remapped after start-up
// (what xdotool and some on-screen keyboards do for characters missing from
// the layout) and turns ctrl+J into a plain "j". It does forward every X key
// press as a window-system event first, though; once one has been seen, the
// character is read from those with XLookupString, as SDL 1.2 does, and the
// library's own key events are ignored, so both libraries type the same.
#include "control/keyboard.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xutil.h>
#endif

#include "control/answer_source.h"
#include "display/window.h"

namespace {

// Set at the first X key press forwarded by the library; from then on key
// events from the library are duplicates and are ignored, except the one
// after an X key press with keycode 0.
bool keysFromWindowSystem = false;
// Keycode 0 marks a character the input method composed (a dead key then a
// letter, say): XLookupString cannot read it, but the library's next key
// event carries it.
bool composedNext = false;

// The character of one event, or nothing when the event is not a key press
// to act on.
bool keyCharacter(const SDL_Event& event, unsigned* unicode) {
  if (event.type == SDL_KEYDOWN) {
    if (keysFromWindowSystem && !composedNext) return false;
    composedNext = false;
    *unicode = event.key.keysym.unicode;
    return true;
  }
#if defined(SDL_VIDEO_DRIVER_X11)
  if (event.type != SDL_SYSWMEVENT || event.syswm.msg->subsystem != SDL_SYSWM_X11)
    return false;
  XEvent& x = event.syswm.msg->event.xevent;
  // Keeps XLookupString's copy of the key map current when the layout or
  // a single keycode changes.
  if (x.type == MappingNotify) XRefreshKeyboardMapping(&x.xmapping);
  if (x.type != KeyPress) return false;
  keysFromWindowSystem = true;
  composedNext = x.xkey.keycode == 0;
  if (composedNext) return false;
  // Latin-1, like SDL 1.2's unicode field below 256; a key with no Latin-1
  // character gives no byte and, like a key above 255, adds nothing.
  char bytes[8];
  KeySym keysym;
  int count = XLookupString(&x.xkey, bytes, sizeof bytes, &keysym, nullptr);
  *unicode = count == 1 ? static_cast<unsigned char>(bytes[0]) : 0;
  return true;
#else
  return false;
#endif
}

}  // namespace

void startKeyboard() { SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE); }

bool typeAnswer(std::string* answer) {
  // Key presses carry the character they produce only while this is on.
  SDL_EnableUNICODE(1);
  AnswerEdit edit;
  SDL_Event event;
  // SDL_WaitEvent sleeps between checks, so waiting for the operator costs
  // next to no processor time. It fails only when events cannot be read at
  // all, which is treated like a closed window. Every event already queued
  // is taken before the echo is drawn once: drawing after each key of a
  // fast burst (a pasted or scripted answer) can fall behind the typing,
  // and the library drops events once its queue of 128 is full.
  bool closed = false;
  while (!closed && SDL_WaitEvent(&event)) {
    bool echoDue = false;
    do {
      closed = event.type == SDL_QUIT;
      if (closed) break;
      unsigned unicode = 0;
      if (!keyCharacter(event, &unicode)) continue;
      edit = applyKey(edit, unicode);
      if (edit.done) {
        SDL_EnableUNICODE(0);
        drawInputLine("");
        *answer = edit.text;
        return true;
      }
      echoDue = echoDue || edit.changed;
    } while (SDL_PollEvent(&event));
    if (echoDue) drawInputLine(edit.text);
  }
  SDL_EnableUNICODE(0);
  return false;
}
