// keyboard.cpp: turns window events into AnswerEdit steps and view keys, and
// echoes them.
//
// What each key does is decided by the dialogue's AnswerTyping, which
// knows nothing of SDL; this loop only waits for events, translates them
// and echoes the answer.
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
// Keys that type nothing (the view keys) are read from the library's key
// events with either library.
#include "control/keyboard.h"

#include <errno.h>
#include <poll.h>

#include <SDL.h>

#include "control/answer_source.h"
#include "display/window.h"
#include "views/scroll.h"

// Last: Xlib's macros (None, Status, ...) must not reach the headers above.
#include <SDL_syswm.h>
#include <X11/Xutil.h>
#include <X11/extensions/scrnsaver.h>

namespace {

// True while frames are held for a replay.
bool replayHeld = false;

// What a key does to the view. Only keys that type nothing are view keys;
// the keypad's keys count while Num Lock is off, when they type nothing.
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

// The X connection SDL reads the window's events from; null under a video
// driver without one (the dummy driver of the headless tests).
Display* eventConnection() {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWMInfo(&info) != 1 || info.subsystem != SDL_SYSWM_X11) return nullptr;
  return info.info.x11.display;
}

// sdl12-compat (SDL 1.2's interface over SDL 2, which reports versions
// 1.2.50 and up) shows what was drawn from inside its event pump, a little
// after the drawing: sleeping on the X connection would leave the last frame
// unshown until the next key. Its own SDL_WaitEvent keeps pumping.
bool showsFramesFromEventPump() {
  const SDL_version* linked = SDL_Linked_Version();
  return linked->major == 1 && linked->minor == 2 && linked->patch >= 50;
}

// The next event, sleeping until there is one. SDL_WaitEvent looks for
// events every 10 ms, which wakes an idle program a hundred times a second;
// instead this sleeps in poll on the X connection until the server sends
// something. Events SDL has queued already, and events Xlib has read from
// the connection but not handed to SDL yet, are taken before sleeping.
// Under sdl12-compat, and under a video driver without an X connection,
// SDL_WaitEvent is used. False when events cannot be read, which is treated
// like a closed window.
bool waitForEvent(SDL_Event* event) {
  static const bool pumpShowsFrames = showsFramesFromEventPump();
  Display* display = pumpShowsFrames ? nullptr : eventConnection();
  if (display == nullptr) return SDL_WaitEvent(event) == 1;
  for (;;) {
    if (SDL_PollEvent(event) == 1) return true;
    if (XPending(display) > 0) continue;
    pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    if (poll(&connection, 1, -1) < 0 && errno != EINTR) return SDL_WaitEvent(event) == 1;
    // A broken connection is left to SDL and Xlib, which report it.
    if ((connection.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
      return SDL_WaitEvent(event) == 1;
  }
}

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

bool typeAnswer(AnswerTyping& typing, std::string* answer) {
  // Key presses carry the character they produce only while this is on.
  SDL_EnableUNICODE(1);
  AnswerEdit edit = typing.start();
  if (!edit.text.empty()) drawInputLine(edit.text);
  SDL_Event event;
  // Every event already queued is taken before the echo is drawn once:
  // drawing after each key of a fast burst (a pasted or scripted answer) can
  // fall behind the typing, and the library drops events once its queue of
  // 128 is full. waitForEvent fails only when events cannot be read at all,
  // which is treated like a closed window.
  bool closed = false;
  while (!closed && waitForEvent(&event)) {
    bool echoDue = false;
    do {
      closed = event.type == SDL_QUIT;
      if (closed) break;
      if (event.type == SDL_KEYDOWN) {
        const ViewKey viewKey = viewKeyOf(event.key.keysym);
        if (viewKey != ViewKey::kNone) {
          typing.view(viewKey);
          continue;
        }
      }
      unsigned unicode = 0;
      if (!keyCharacter(event, &unicode)) continue;
      edit = typing.press(std::move(edit), unicode);
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

void holdFramesAndDropKeys(bool hold) {
  if (replayHeld && !hold) {
    // Whatever was typed while answers were replayed is still queued:
    // it answers nothing and moves nothing.
    SDL_PumpEvents();
    SDL_Event dropped;
    // Key presses forwarded by the window system (see above) go too.
    const Uint32 keys = SDL_EVENTMASK(SDL_KEYDOWN) | SDL_EVENTMASK(SDL_KEYUP) |
                        SDL_EVENTMASK(SDL_SYSWMEVENT);
    while (SDL_PeepEvents(&dropped, 1, SDL_GETEVENT, keys) == 1) {
    }
  }
  replayHeld = hold;
  holdFrames(hold);
}

void keepScreenAwake() {
  Display* display = eventConnection();
  int event = 0, error = 0, major = 0, minor = 0;
  if (display == nullptr || !XScreenSaverQueryExtension(display, &event, &error) ||
      !XScreenSaverQueryVersion(display, &major, &minor) ||
      major < 1 || (major == 1 && minor < 1))
    return;
  // Lifted by the server when the connection closes, however the run ends.
  XScreenSaverSuspend(display, True);
  XFlush(display);
}
