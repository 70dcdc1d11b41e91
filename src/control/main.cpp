// main.cpp: reads the options, brings up SDL, the font and the window, starts
// the players' page server when asked, then hands the whole run to the
// dialogue.
//
// Sets screen and font (owned by display/window.h) once, here.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <SDL.h>
#include <SDL_ttf.h>

#include "control/dialogue.h"
#include "control/folder_lock.h"
#include "control/keyboard.h"
#include "control/options.h"
#include "display/window.h"
#include "share/share_module.h"
#include "share/standings_files.h"

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

// The options, or the usage on standard error and exit status 2.
ProgramOptions readOptions(int argc, char* argv[]) {
  ProgramOptions options;
  std::string reason;
  if (!parseOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &reason)) {
    std::cerr << reason << "\n\n" << usageText();
    std::exit(2);
  }
  if (options.help) {
    std::cout << usageText();
    std::exit(0);
  }
  if (options.version) {
    std::cout << "brackora " BRACKORA_VERSION "\n";
    std::exit(0);
  }
  return options;
}

// Starts serving the players' page and returns where it is read, for the
// status band, also printed on standard output; a failure is returned and
// printed on standard error, and the tournament goes on unshared.
std::string startSharing(LoadedShareServer* server, int port) {
  std::string reason;
  if (!server->start(port, &reason)) {
    const std::string message =
        "Partage impossible sur le port " + std::to_string(port) + " : " + reason;
    std::cerr << message << std::endl;
    return message;
  }
  std::string address = server->firstLanAddress();
  std::string note;
  if (address.empty()) {
    address = "127.0.0.1";
    note = " (aucun reseau : cet ordinateur seulement)";
  }
  const std::string line = "Tournoi en ligne : http://" + address + ":" +
                           std::to_string(server->port()) + "/" + note;
  std::cout << line << std::endl;
  return line;
}

// Another copy already runs in this folder: says so in the window and on
// standard error, waits for Enter or the window's close, and exits with 1
// without touching any file.
void refuseSecondCopy() {
  std::fprintf(stderr, "%s\n", kFolderBusy);
  drawMessageLine(kFolderBusy);
  std::string ignored;
  AnswerTyping typing;
  typeAnswer(typing, &ignored);
  std::exit(1);
}

}  // namespace

int main(int argc, char* argv[]) {
  // Answered before SDL starts, so --help and --version work without a
  // display.
  const ProgramOptions options = readOptions(argc, argv);
  keepRenderingMemory();
  // Registered first, so SDL is shut down on every exit path.
  std::atexit(SDL_Quit);
  startUp();
  startKeyboard();
  SDL_WM_SetCaption(kTitle, nullptr);
  keepScreenAwake();
  drawCreditLine();
  int folderLock = -1;  // held until the process ends
  if (lockFolder(kLockFile, &folderLock) == FolderLock::kBusy) refuseSecondCopy();
  // Made only when asked for: even an idle server changes the process (it
  // ignores SIGPIPE from the start), and its libraries load with it.
  std::unique_ptr<LoadedShareServer> server;
  DialogueFiles files;
  files.standingsFolder = ".";
  files.playersFile = options.playersFile;
  if (options.share) {
    server.reset(new LoadedShareServer);
    files.shareNote = startSharing(server.get(), options.port);
  }
  const Frontend ui{drawPanels,     redrawPanels, drawMessageLine,      drawPromptLine,
                    drawStatusLine, typeAnswer,   holdFramesAndDropKeys};
  const int status = runDialogue(ui, files);
  if (server) server->stop();
  std::exit(status);
}
