// main.cpp: brings up SDL, the font and the window, then hands the whole run
// to the dialogue. The process arguments are ignored.
//
// Sets screen and font (owned by display/window.h) once, here.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <SDL.h>
#include <SDL_ttf.h>

#include "control/dialogue.h"
#include "control/folder_lock.h"
#include "control/keyboard.h"
#include "display/window.h"

namespace {

constexpr char kTitle[] = "Brackora 1.0 by Vandrell - Korvath";
constexpr char kFontFile[] = "font.ttf";
constexpr int kFontSize = 12;

// The one place a start-up failure is reported: message on standard error,
// exit status 1.
[[noreturn]] void failStartup(const std::string& message) {
  std::fputs(message.c_str(), stderr);
  std::exit(1);
}

// SDL, SDL_ttf, the font, then the window. Every result is examined only
// once all have been tried, the window first: without a display the video
// subsystem itself fails to start, and what the operator needs to hear then
// is that no video mode could be set, whatever else went wrong.
void startUp() {
  // Without an X display, SDL would fall back to drawing the window as text
  // art in the terminal, where 12-pixel text cannot be read: that is no
  // video mode either. A driver chosen explicitly (the dummy one, say) is
  // still honoured.
  setenv("SDL_VIDEODRIVER", "x11", 0);
  if (SDL_Init(0) != 0)
    failStartup(std::string("Impossible d'initialiser SDL : ") + SDL_GetError() + "\n");
  bool videoUp = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  std::string videoError = videoUp ? "" : SDL_GetError();
  bool ttfUp = TTF_Init() == 0;
  std::string ttfError = ttfUp ? "" : TTF_GetError();
  font = ttfUp ? TTF_OpenFont(kFontFile, kFontSize) : nullptr;
  std::string fontError = font != nullptr ? "" : TTF_GetError();
  if (videoUp) {
    screen = SDL_SetVideoMode(kWindowWidth, kWindowHeight, 32, SDL_HWSURFACE);
    if (screen == nullptr) videoError = SDL_GetError();
  }
  if (screen == nullptr)
    failStartup("Impossible de charger le mode vidéo : " + videoError + "\n");
  if (!ttfUp) failStartup("Impossible d'initialiser SDL_ttf : " + ttfError + "\n");
  if (font == nullptr)
    failStartup(std::string("Impossible de charger la police ") + kFontFile + " : " +
                fontError + "\n");
}

// Another copy already runs in this folder: says so in the window and on
// standard error, waits for Enter or the window's close, and exits with 1
// without touching any file.
void refuseSecondCopy() {
  std::fprintf(stderr, "%s\n", kFolderBusy);
  drawMessageLine(kFolderBusy);
  std::string ignored;
  typeAnswer(&ignored);
  std::exit(1);
}

}  // namespace

int main(int, char*[]) {
  // Registered first, so SDL is shut down on every exit path.
  std::atexit(SDL_Quit);
  startUp();
  SDL_WM_SetCaption(kTitle, nullptr);
  drawCreditLine();
  int folderLock = -1;  // held until the process ends
  if (lockFolder(kLockFile, &folderLock) == FolderLock::kBusy) refuseSecondCopy();
  Frontend ui{drawPanels, drawMessageLine, drawPromptLine, typeAnswer, holdFrames,
              nullptr, drawStatusLine};
  std::exit(runDialogue(ui, DialogueFiles{}));
}
