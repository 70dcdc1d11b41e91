#include "control/keyboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/window.h"

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
    drawPanels();
  }

  std::string answer = "untouched";
};

// --- answers ended with return

TEST_F(KeyboardTest, BackspaceRemovesTheLastTypedByte) {
  pushKeys("ab\b\r");
  ASSERT_TRUE(typeAnswer(&answer));
  EXPECT_EQ(answer, "a");
  EXPECT_EQ(SDL_EnableUNICODE(-1), 0) << "translation left on after return";
}

TEST_F(KeyboardTest, ReturnAloneGivesTheEmptyAnswerAndWipesTheEcho) {
  drawInputLine("old echo");
  pushKey('\r');
  ASSERT_TRUE(typeAnswer(&answer));
  EXPECT_EQ(answer, "");
  EXPECT_EQ(inputStrip(), inputStripShowing(""));
}

TEST_F(KeyboardTest, AccentedLetterArrivesAsItsLatin1Byte) {
  pushKeys("\xE9t\xE9\r");
  ASSERT_TRUE(typeAnswer(&answer));
  EXPECT_EQ(answer, "\xE9t\xE9");
}

TEST_F(KeyboardTest, KeyReleasesAndCharactersBeyondLatin1AreIgnored) {
  pushKey('x', SDL_KEYUP);
  pushKey('A');
  pushKey(0x141);
  pushKey(0);
  pushKey('\r');
  ASSERT_TRUE(typeAnswer(&answer));
  EXPECT_EQ(answer, "A");
}

// --- the echo while typing, and closing the window

TEST_F(KeyboardTest, ClosedWindowDropsThePartialAnswerAndLeavesItsEcho) {
  pushKeys("Bob\b\xE9");
  pushQuit();
  EXPECT_FALSE(typeAnswer(&answer));
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
  EXPECT_FALSE(typeAnswer(&answer));
  EXPECT_EQ(inputStrip(), before);
}

}  // namespace
