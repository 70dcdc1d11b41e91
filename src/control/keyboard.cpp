// keyboard.cpp: turns window events into AnswerEdit steps and view keys, and
// echoes them.
//
// What each key does is decided by applyKey and pressViewKey, which know
// nothing of SDL; this loop only waits for events, translates them and
// draws.
#include "control/keyboard.h"

#include <errno.h>
#include <poll.h>

#include <SDL.h>

#include "control/answer_source.h"
#include "control/panel_view.h"
#include "control/status_line.h"
#include "display/window.h"

// Last: Xlib's macros (None, Status, ...) must not reach the headers above.
#include <SDL_syswm.h>
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

// The next event, sleeping until there is one. SDL_WaitEvent looks for
// events every 10 ms, which wakes an idle program a hundred times a second;
// instead this sleeps in poll on the X connection until the server sends
// something. Events SDL has queued already, and events Xlib has read from
// the connection but not handed to SDL yet, are taken before sleeping.
// False when events cannot be read, which is treated like a closed window.
bool waitForEvent(SDL_Event* event) {
  Display* display = eventConnection();
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
  while (waitForEvent(&event)) {
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
  if (replayHeld && !hold) {
    // Whatever was typed while answers were replayed is still queued:
    // it answers nothing and moves nothing.
    SDL_PumpEvents();
    SDL_Event dropped;
    while (SDL_PeepEvents(&dropped, 1, SDL_GETEVENT,
                          SDL_EVENTMASK(SDL_KEYDOWN) | SDL_EVENTMASK(SDL_KEYUP)) == 1) {
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
