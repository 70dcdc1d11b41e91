// window_probe.cpp: watches and types into the program's window on an X
// server, for the timings of scripts/bench. Times are CLOCK_MONOTONIC, the
// clock of Python's time.monotonic(), so the caller can compare them with
// its own.
//
//   window_probe find TITLE TIMEOUT_MS [COND...]
//       waits for a viewable window of that title; prints "ID SECONDS", and
//       with conditions then the time of the first capture that meets every
//       COND, without a second process to start in between
//   window_probe wait ID TIMEOUT_MS COND...
//       prints the time of the first capture that meets every COND
//   window_probe keys ID TIMEOUT_MS KEY... -- COND...
//       focuses the window, types the keys (X keysym names), and prints the
//       milliseconds from pressing the last one to the first capture that
//       meets every COND
//   window_probe echo ID ROUNDS
//       types "a" and BackSpace in turn, each time timing until the input
//       strip shows the letter or is black again; prints one line of
//       milliseconds per key
//
// COND is black:X,Y,W,H or nonblack:X,Y,W,H, a rectangle of the window.
// Exit status 2 on a timeout, 1 on a usage or X error.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr long kPollMicros = 1000;

Display* display = nullptr;
bool xFailed = false;

struct Condition {
  bool black;
  int x, y, w, h;
};

double now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

void pause1ms() {
  timespec t{0, kPollMicros * 1000};
  nanosleep(&t, nullptr);
}

// A capture of a window that is not (yet) viewable fails; that is only a
// reason to try again.
int ignoreError(Display*, XErrorEvent*) {
  xFailed = true;
  return 0;
}

bool parseCondition(const char* text, Condition* c) {
  char kind[16];
  if (std::sscanf(text, "%15[a-z]:%d,%d,%d,%d", kind, &c->x, &c->y, &c->w, &c->h) != 5)
    return false;
  c->black = std::strcmp(kind, "black") == 0;
  return c->black || std::strcmp(kind, "nonblack") == 0;
}

// True when the rectangle is wholly black (black) or has a lit pixel.
bool holds(Window window, const Condition& c) {
  xFailed = false;
  XImage* image = XGetImage(display, window, c.x, c.y, c.w, c.h, AllPlanes, ZPixmap);
  XSync(display, False);
  if (image == nullptr || xFailed) {
    if (image != nullptr) XDestroyImage(image);
    return false;
  }
  bool lit = false;
  for (int y = 0; y < c.h && !lit; ++y)
    for (int x = 0; x < c.w && !lit; ++x) lit = (XGetPixel(image, x, y) & 0xffffff) != 0;
  XDestroyImage(image);
  return c.black ? !lit : lit;
}

// Polls until every condition holds; the time of that capture, or -1.
double waitFor(Window window, const std::vector<Condition>& conds, double deadline) {
  for (;;) {
    bool all = true;
    for (const Condition& c : conds) all = all && holds(window, c);
    double t = now();
    if (all) return t;
    if (t > deadline) return -1;
    pause1ms();
  }
}

std::string titleOf(Window w) {
  char* name = nullptr;
  std::string title;
  if (XFetchName(display, w, &name) && name != nullptr) title = name;
  if (name != nullptr) XFree(name);
  return title;
}

Window findByTitle(Window root, const std::string& title) {
  Window rootReturn, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    XWindowAttributes attrs;
    if (titleOf(children[i]) == title && XGetWindowAttributes(display, children[i], &attrs) &&
        attrs.map_state == IsViewable)
      found = children[i];
    else
      found = findByTitle(children[i], title);
  }
  if (children != nullptr) XFree(children);
  return found;
}

void focus(Window window) {
  XWindowAttributes attrs;
  XGetWindowAttributes(display, window, &attrs);
  XWarpPointer(display, None, window, 0, 0, 0, 0, attrs.width / 2, attrs.height / 2);
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XSync(display, False);
}

bool pressKey(const char* name) {
  KeySym sym = XStringToKeysym(name);
  KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
  if (code == 0) {
    std::fprintf(stderr, "window_probe: unknown key %s\n", name);
    return false;
  }
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XFlush(display);
  return true;
}

int find(int argc, char** argv) {
  if (argc < 4) return 1;
  double deadline = now() + std::atof(argv[3]) / 1000;
  std::vector<Condition> conds;
  for (int i = 4; i < argc; ++i) {
    Condition c;
    if (!parseCondition(argv[i], &c)) return 1;
    conds.push_back(c);
  }
  XSetErrorHandler(ignoreError);
  for (;;) {
    Window w = findByTitle(DefaultRootWindow(display), argv[2]);
    if (w != 0) {
      double found = now();
      if (conds.empty()) {
        std::printf("%lu %.6f\n", w, found);
        return 0;
      }
      double t = waitFor(w, conds, deadline);
      if (t < 0) return 2;
      std::printf("%lu %.6f %.6f\n", w, found, t);
      return 0;
    }
    if (now() > deadline) return 2;
    pause1ms();
  }
}

int wait(int argc, char** argv) {
  if (argc < 5) return 1;
  Window window = std::strtoul(argv[2], nullptr, 0);
  double deadline = now() + std::atof(argv[3]) / 1000;
  std::vector<Condition> conds;
  for (int i = 4; i < argc; ++i) {
    Condition c;
    if (!parseCondition(argv[i], &c)) return 1;
    conds.push_back(c);
  }
  double t = waitFor(window, conds, deadline);
  if (t < 0) return 2;
  std::printf("%.6f\n", t);
  return 0;
}

int keys(int argc, char** argv) {
  if (argc < 6) return 1;
  Window window = std::strtoul(argv[2], nullptr, 0);
  double timeout = std::atof(argv[3]) / 1000;
  int i = 4;
  std::vector<const char*> names;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) names.push_back(argv[i]);
  std::vector<Condition> conds;
  for (++i; i < argc; ++i) {
    Condition c;
    if (!parseCondition(argv[i], &c)) return 1;
    conds.push_back(c);
  }
  if (names.empty() || conds.empty()) return 1;
  focus(window);
  for (size_t k = 0; k + 1 < names.size(); ++k) {
    if (!pressKey(names[k])) return 1;
    // SDL takes a release and a press of the same key closer than a few
    // milliseconds apart for the X server's key repeat, and drops the press
    // ("100" would arrive as "10").
    for (int ms = 0; ms < 20; ++ms) pause1ms();
  }
  XSync(display, False);
  double start = now();
  if (!pressKey(names.back())) return 1;
  double t = waitFor(window, conds, start + timeout);
  if (t < 0) return 2;
  std::printf("%.3f\n", (t - start) * 1000);
  return 0;
}

int echo(int argc, char** argv) {
  if (argc != 4) return 1;
  Window window = std::strtoul(argv[2], nullptr, 0);
  int rounds = std::atoi(argv[3]);
  const std::vector<Condition> shown{{false, 300, 760, 100, 20}};
  const std::vector<Condition> cleared{{true, 300, 760, 100, 20}};
  focus(window);
  for (int r = 0; r < rounds; ++r) {
    bool letter = r % 2 == 0;
    double start = now();
    if (!pressKey(letter ? "a" : "BackSpace")) return 1;
    double t = waitFor(window, letter ? shown : cleared, start + 5);
    if (t < 0) return 2;
    std::printf("%.3f\n", (t - start) * 1000);
    std::fflush(stdout);
    // A pause of varying length, so that the keys do not all fall at the
    // same point of whatever period the program waits in.
    timespec settle{0, (20 + (r * 7919) % 23) * 1000 * 1000L};
    nanosleep(&settle, nullptr);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_probe find|wait|keys|echo ...\n");
    return 1;
  }
  display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "window_probe: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(ignoreError);
  std::string command = argv[1];
  int status = command == "find"   ? find(argc, argv)
               : command == "wait" ? wait(argc, argv)
               : command == "keys" ? keys(argc, argv)
               : command == "echo" ? echo(argc, argv)
                                   : 1;
  if (status == 1) std::fprintf(stderr, "window_probe: bad arguments or X error\n");
  XCloseDisplay(display);
  return status;
}
