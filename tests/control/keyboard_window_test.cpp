#include "control/keyboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/window.h"
#include "views/band.h"
#include "views/panel_rows.h"
#include "views/scroll.h"

#include "control/control_test_util.h"
#include "display/window_test_util.h"

namespace {

constexpr SDL_Color kInput = {0, 255, 200, 0};

void pushKey(unsigned unicode, Uint8 type = SDL_KEYDOWN) {
  SDL_Event event;
  std::memset(&event, 0, sizeof event);
  event.type = type;
  event.key.type = type;
  event.key.keysym.unicode = static_cast<Uint16>(unicode);
  ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void pushKeys(const std::string& typed) {
  for (unsigned char c : typed) pushKey(c);
}

// A key that types nothing, as SDL reports it.
void pushSym(SDLKey sym) {
  SDL_Event event;
  std::memset(&event, 0, sizeof event);
  event.type = SDL_KEYDOWN;
  event.key.type = SDL_KEYDOWN;
  event.key.keysym.sym = sym;
  ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void pushQuit() {
  SDL_Event event;
  std::memset(&event, 0, sizeof event);
  event.type = SDL_QUIT;
  ASSERT_EQ(SDL_PushEvent(&event), 0);
}

// The input strip (from x 300, y 760 to 779) as pixel values.
std::vector<Uint32> inputStrip() {
  std::vector<Uint32> pixels;
  for (int y = 760; y < 780; ++y) {
    auto row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(screen->pixels) +
                                               y * screen->pitch);
    pixels.insert(pixels.end(), row + 300, row + screen->w);
  }
  return pixels;
}

// The input strip as it looks with only the text drawn in it, rendered
// independently of the window code.
std::vector<Uint32> inputStripShowing(const std::string& text) {
  SDL_FillRect(screen, nullptr, 0);
  if (SDL_Surface* image = TTF_RenderText_Solid(font, text.c_str(), kInput)) {
    SDL_Rect at = {300, 760, 0, 0};
    SDL_BlitSurface(image, nullptr, screen, &at);
    SDL_FreeSurface(image);
  }
  return inputStrip();
}

class KeyboardTest : public HeadlessWindowTest {
 protected:
  // No events left over, frames shown as drawn, a black window.
  void SetUp() override {
    SDL_Event stale;
    while (SDL_PollEvent(&stale)) {
    }
    holdFrames(false);
    drawPanels(PanelView{});
  }

  std::string answer = "untouched";
  AnswerTyping typing;
};

// --- answers ended with return

TEST_F(KeyboardTest, BackspaceRemovesTheLastTypedByte) {
  pushKeys("ab\b\r");
  ASSERT_TRUE(typeAnswer(typing, &answer));
  EXPECT_EQ(answer, "a");
  EXPECT_EQ(SDL_EnableUNICODE(-1), 0) << "translation left on after return";
}

TEST_F(KeyboardTest, ReturnAloneGivesTheEmptyAnswerAndWipesTheEcho) {
  drawInputLine("old echo");
  pushKey('\r');
  ASSERT_TRUE(typeAnswer(typing, &answer));
  EXPECT_EQ(answer, "");
  EXPECT_EQ(inputStrip(), inputStripShowing(""));
}

TEST_F(KeyboardTest, AccentedLetterArrivesAsItsLatin1Byte) {
  pushKeys("\xE9t\xE9\r");
  ASSERT_TRUE(typeAnswer(typing, &answer));
  EXPECT_EQ(answer, "\xE9t\xE9");
}

TEST_F(KeyboardTest, KeyReleasesAndCharactersBeyondLatin1AreIgnored) {
  pushKey('x', SDL_KEYUP);
  pushKey('A');
  pushKey(0x141);
  pushKey(0);
  pushKey('\r');
  ASSERT_TRUE(typeAnswer(typing, &answer));
  EXPECT_EQ(answer, "A");
}

// --- the echo while typing, and closing the window

TEST_F(KeyboardTest, ClosedWindowDropsThePartialAnswerAndLeavesItsEcho) {
  pushKeys("Bob\b\xE9");
  pushQuit();
  EXPECT_FALSE(typeAnswer(typing, &answer));
  EXPECT_EQ(answer, "untouched");
  std::vector<Uint32> shown = inputStrip();
  EXPECT_EQ(shown, inputStripShowing("Bo\xE9"));
}

TEST_F(KeyboardTest, BackspaceOnNothingDrawsNothing) {
  SDL_Rect strip = {300, 760, 500, 20};
  SDL_FillRect(screen, &strip, SDL_MapRGB(screen->format, 255, 255, 255));
  std::vector<Uint32> before = inputStrip();
  pushKey('\b');
  pushQuit();
  EXPECT_FALSE(typeAnswer(typing, &answer));
  EXPECT_EQ(inputStrip(), before);
}

// --- keys that type nothing: the view

// Keys as the dialogue takes them: view keys move a scroll and redraw.
class ScrollTyping : public AnswerTyping {
 public:
  void view(ViewKey key) override {
    if (scroll.press(key)) redrawPanels(scroll.view, scroll.rowsPart(), false);
  }
  PanelScroll scroll;
};

class ViewKeyTest : public KeyboardTest {
 protected:
  void SetUp() override {
    resetProgramState();
    KeyboardTest::SetUp();
  }
  void TearDown() override { resetProgramState(); }

  // The first turn of a tournament of numbered players, drawn as the
  // dialogue draws it.
  void showFirstTurn(int count) {
    std::vector<Participant> players;
    for (int k = 0; k < count; ++k) players.push_back({k, std::to_string(k + 1)});
    scrolling = ScrollTyping();
    scrolling.scroll.showTurn(writeTournament(computeTournament(players, resultLog())));
    drawPanels(scrolling.scroll.view);
    drawStatusLine(scrolling.scroll.rowsPart(), false);
  }

  ScrollTyping scrolling;
};

TEST_F(ViewKeyTest, ViewKeysAmidAnAnswerMoveTheViewAndLeaveTheAnswer) {
  const struct {
    int players;
    std::vector<SDLKey> keys;  // pressed between "1" and "2"
    int top;
    bool places;
  } cases[] = {
      {100, {SDLK_PAGEDOWN}, 25, false},
      {100, {SDLK_PAGEDOWN, SDLK_PAGEDOWN, SDLK_PAGEDOWN}, 51, false},
      {100, {SDLK_END, SDLK_UP, SDLK_UP}, 49, false},
      {100, {SDLK_DOWN, SDLK_PAGEUP}, 0, false},
      {100, {SDLK_END, SDLK_HOME}, 0, false},
      {100, {SDLK_F2, SDLK_END}, 51, true},
      {100, {SDLK_KP3, SDLK_KP2}, 26, false},  // the keypad with Num Lock off
      {30, {SDLK_PAGEDOWN, SDLK_END, SDLK_DOWN}, 0, false},
      {30, {SDLK_F2, SDLK_F2, SDLK_F2}, 0, true},
  };
  for (const auto& c : cases) {
    resetProgramState();
    showFirstTurn(c.players);
    pushKeys("1");
    for (SDLKey key : c.keys) pushSym(key);
    pushKeys("2\r");
    ASSERT_TRUE(typeAnswer(scrolling, &answer));
    EXPECT_EQ(answer, "12") << c.players << " players, " << c.keys.size() << " keys";
    EXPECT_EQ(scrolling.scroll.view.top, c.top)
        << c.players << " players, " << c.keys.size() << " keys";
    EXPECT_EQ(scrolling.scroll.view.places, c.places) << c.players << " players";
  }
}

TEST_F(ViewKeyTest, KeyAtABoundaryDrawsNothing) {
  showFirstTurn(100);
  SDL_Rect mark = {0, 0, 800, 800};
  SDL_FillRect(screen, &mark, SDL_MapRGB(screen->format, 255, 255, 255));
  const std::vector<Uint32> before = inputStrip();
  pushSym(SDLK_PAGEUP);
  pushSym(SDLK_HOME);
  pushSym(SDLK_UP);
  pushQuit();
  EXPECT_FALSE(typeAnswer(scrolling, &answer));
  EXPECT_EQ(inputStrip(), before);
  EXPECT_EQ(SDL_MapRGB(screen->format, 255, 255, 255),
            static_cast<const Uint32*>(screen->pixels)[0])
      << "the panels were drawn again";
}

// --- whole runs: nothing typed for the view reaches save.txt

void releaseThenType(bool hold);

// The view of the latest panels drawn.
PanelView lastView;
void drawPanelsNoting(PanelView view) {
  lastView = view;
  drawPanels(view);
}

class ViewKeyRunTest : public ViewKeyTest {
 protected:
  int run() {
    files.savePath = dir.file("save.txt");
    files.out = &out;
    files.err = &err;
    lastView = PanelView{};
    Frontend ui{drawPanelsNoting, redrawPanels, drawMessageLine, drawPromptLine,
                drawStatusLine,   typeAnswer,   releaseThenType};
    return runDialogue(ui, files);
  }

  ScratchDir dir;
  std::ostringstream out, err;
  DialogueFiles files;
};

// Typed after the replay, once the keys pressed during it have been dropped.
std::string typedAfterReplay;

void releaseThenType(bool hold) {
  holdFramesAndDropKeys(hold);
  if (!hold && !typedAfterReplay.empty()) {
    pushKeys(typedAfterReplay);
    typedAfterReplay.clear();
    pushQuit();  // ends the run should the typed answer not
  }
}

TEST_F(ViewKeyRunTest, TypedViewKeysAreNeverRecorded) {
  pushKeys("\r100\rauto\r1");
  pushSym(SDLK_PAGEDOWN);
  pushKeys("\r2");
  pushSym(SDLK_END);
  pushKeys("\rqu");
  pushSym(SDLK_HOME);
  pushSym(SDLK_F2);
  pushKeys("it\r");
  pushQuit();  // ends the run should "quit" not
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(fileBytes(dir.file("save.txt")), "100\nauto\n1\n2\nquit\n");
  EXPECT_EQ(lastView.top, 0);
  EXPECT_TRUE(lastView.places);
}

TEST_F(ViewKeyRunTest, KeysPressedDuringAReplayAreDropped) {
  const std::string saved = "100\nauto\n1\n2\n";
  writeFile(dir.file("save.txt"), saved);
  typedAfterReplay = "quit\r";
  pushKeys("load\r");
  pushSym(SDLK_END);
  pushSym(SDLK_F2);
  pushKeys("xyz");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(fileBytes(dir.file("save.txt")), saved + "quit\n");
  EXPECT_EQ(lastView.top, 0);
  EXPECT_FALSE(lastView.places);
}

TEST_F(ViewKeyTest, KeysTypedAheadOutsideAReplayAreKept) {
  pushKeys("ab");
  holdFramesAndDropKeys(false);  // "load" of a file with nothing to replay
  pushKeys("\r");
  ASSERT_TRUE(typeAnswer(typing, &answer));
  EXPECT_EQ(answer, "ab");
  holdFramesAndDropKeys(true);
  pushKeys("cd");
  holdFramesAndDropKeys(false);
  pushKeys("e\r");
  ASSERT_TRUE(typeAnswer(typing, &answer));
  EXPECT_EQ(answer, "e");
}

}  // namespace
