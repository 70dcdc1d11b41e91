#include "display/window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "views/scroll.h"
#include "control/program_state.h"
#include "views/text_panel.h"
#include "views/panel_rows.h"

#include "display/window_test_util.h"

namespace {

// The expected picture, painted independently: a surface in the screen's
// format on which texts are rendered and rectangles cleared by hand.
class Canvas {
 public:
  explicit Canvas(Uint32 background) {
    SDL_PixelFormat* f = screen->format;
    surface = SDL_CreateRGBSurface(SDL_SWSURFACE, screen->w, screen->h, 32, f->Rmask,
                                   f->Gmask, f->Bmask, f->Amask);
    SDL_FillRect(surface, nullptr, background);
  }
  ~Canvas() { SDL_FreeSurface(surface); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void paint(const std::string& text, SDL_Color colour, int x, int y) {
    SDL_Surface* image = TTF_RenderText_Solid(font, text.c_str(), colour);
    SDL_Rect at = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_BlitSurface(image, nullptr, surface, &at);
    SDL_FreeSurface(image);
  }
  void clear(int x, int y, int w, int h) {
    SDL_Rect r = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
                  static_cast<Uint16>(h)};
    SDL_FillRect(surface, &r, 0);
  }
  // True when the window holds exactly this picture, pixel for pixel.
  bool matchesScreen() const {
    return std::memcmp(surface->pixels, screen->pixels,
                       static_cast<size_t>(screen->pitch) * screen->h) == 0;
  }

  SDL_Surface* surface;
};

constexpr SDL_Color kPanel = {0, 200, 255, 0};
constexpr SDL_Color kMessage = {0, 100, 250, 0};
constexpr SDL_Color kPrompt = {0, 255, 100, 0};
constexpr SDL_Color kInput = {0, 255, 200, 0};
constexpr SDL_Color kCredit = {0, 0, 255, 0};
constexpr SDL_Color kStatus = {255, 200, 60, 0};

Uint32 pixelAt(int x, int y) {
  auto row = static_cast<const Uint8*>(screen->pixels) + y * screen->pitch;
  return reinterpret_cast<const Uint32*>(row)[x];
}

Uint32 mapped(SDL_Color c) { return SDL_MapRGB(screen->format, c.r, c.g, c.b); }

// Every pixel of the window that is not black, as (x, y) pairs.
std::vector<std::pair<int, int>> litPixels() {
  std::vector<std::pair<int, int>> lit;
  for (int y = 0; y < screen->h; ++y)
    for (int x = 0; x < screen->w; ++x)
      if (pixelAt(x, y) != 0) lit.emplace_back(x, y);
  return lit;
}

// How many pixels of the area x0 <= x < x1, y0 <= y < y1 have the colour.
int countPixels(int x0, int x1, int y0, int y1, SDL_Color colour) {
  int count = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) count += pixelAt(x, y) == mapped(colour);
  return count;
}

std::vector<Uint32> copyOfScreen() {
  auto begin = static_cast<const Uint32*>(screen->pixels);
  return std::vector<Uint32>(begin, begin + screen->pitch / 4 * screen->h);
}

class WindowTest : public HeadlessWindowTest {
 protected:
  // Frames shown as drawn, blank panels, and a white window, so that what a
  // drawing clears is visible.
  void SetUp() override {
    holdFrames(false);
    leftPanel.clear();
    rightPanel.clear();
    drawPanels(PanelView{});
    SDL_FillRect(screen, nullptr, white());
  }

  static Uint32 white() { return SDL_MapRGB(screen->format, 255, 255, 255); }

  // Writes text into row r of a cleared panel.
  static void writeRow(TextPanel& panel, int r, const std::string& text) {
    for (int i = 0; i < r; ++i) panel << std::endl;
    panel << text << std::endl;
  }
};

// --- panels

TEST_F(WindowTest, ClearedPanelsLeaveTheWholeWindowBlack) {
  drawCreditLine();
  drawPanels(PanelView{});
  EXPECT_TRUE(litPixels().empty());
}

TEST_F(WindowTest, LeftPanelRowIsDrawnAtFifteenPixelsPerRowInThePanelColour) {
  writeRow(leftPanel, 3, "***** Play match Ann vs Bob");
  drawPanels(PanelView{});
  std::vector<std::pair<int, int>> lit = litPixels();
  ASSERT_FALSE(lit.empty());
  for (auto [x, y] : lit) {
    ASSERT_TRUE(y >= 45 && y <= 59) << "lit at " << x << "," << y;
    ASSERT_EQ(pixelAt(x, y), mapped(kPanel)) << "at " << x << "," << y;
  }
  Canvas expected(0);
  expected.paint("***** Play match Ann vs Bob", kPanel, 0, 45);
  EXPECT_TRUE(expected.matchesScreen());
}

TEST_F(WindowTest, RightPanelBeginsAtX420) {
  writeRow(rightPanel, 0, "1 -> Ann");
  drawPanels(PanelView{});
  std::vector<std::pair<int, int>> lit = litPixels();
  ASSERT_FALSE(lit.empty());
  for (auto [x, y] : lit) ASSERT_GE(x, 420) << "lit at " << x << "," << y;
  Canvas expected(0);
  expected.paint("1 -> Ann", kPanel, 420, 0);
  EXPECT_TRUE(expected.matchesScreen());
}

TEST_F(WindowTest, FullLeftRowRunsUnderTheRightRowAndBothStayVisible) {
  writeRow(leftPanel, 2, std::string(60, '#'));
  writeRow(rightPanel, 2, "1 -> winner(Ann)");
  drawPanels(PanelView{});
  Canvas expected(0);
  expected.paint(std::string(60, '#'), kPanel, 0, 30);
  expected.paint("1 -> winner(Ann)", kPanel, 420, 30);
  EXPECT_TRUE(expected.matchesScreen());
}

TEST_F(WindowTest, MessageErasesTheLowerPartOfTheLastPanelRow) {
  writeRow(leftPanel, 49, "***** Play match Ann vs Bob");
  drawPanels(PanelView{});
  drawMessageLine("Tapez 'auto'");
  Canvas expected(0);
  expected.paint("***** Play match Ann vs Bob", kPanel, 0, 735);
  expected.clear(0, 740, 800, 20);
  expected.paint("Tapez 'auto'", kMessage, 0, 740);
  EXPECT_TRUE(expected.matchesScreen());
  EXPECT_GT(countPixels(0, 800, 735, 740, kPanel), 0);
  EXPECT_EQ(countPixels(0, 800, 740, 800, kPanel), 0);
}

// --- the bottom strips

TEST_F(WindowTest, EachStripClearsItsRectangleAndDrawsInItsColour) {
  struct Case {
    void (*draw)(std::string);
    int x, y, w;
    SDL_Color colour;
  };
  const Case cases[] = {
      {drawMessageLine, 0, 740, 800, kMessage},
      {drawPromptLine, 0, 760, 300, kPrompt},
      {drawInputLine, 300, 760, 500, kInput},
  };
  const std::string text = "Gagnant : \xE9mile " + std::string(150, 'x');
  for (const Case& c : cases) {
    SDL_FillRect(screen, nullptr, white());
    c.draw(text);
    Canvas expected(white());
    expected.clear(c.x, c.y, c.w, 20);
    expected.paint(text, c.colour, c.x, c.y);
    EXPECT_TRUE(expected.matchesScreen()) << "strip at " << c.x << "," << c.y;
  }
}

TEST_F(WindowTest, WidePromptRunsIntoTheInputStripUntilTheNextInput) {
  const std::string prompt = "Perdant contre " + std::string(60, 'M');
  SDL_FillRect(screen, nullptr, 0);
  drawPromptLine(prompt);
  EXPECT_GT(countPixels(300, 800, 760, 780, kPrompt), 0);
  drawInputLine("Bob");
  EXPECT_EQ(countPixels(300, 800, 760, 780, kPrompt), 0);
  Canvas expected(0);
  expected.paint(prompt, kPrompt, 0, 760);
  expected.clear(300, 760, 500, 20);
  expected.paint("Bob", kInput, 300, 760);
  EXPECT_TRUE(expected.matchesScreen());
}

TEST_F(WindowTest, EmptyInputLeavesTheInputStripBlackAndThePromptAsItWas) {
  SDL_FillRect(screen, nullptr, 0);
  drawPromptLine("Gagnant : ");
  drawInputLine("Ann");
  drawInputLine("");
  Canvas expected(0);
  expected.paint("Gagnant : ", kPrompt, 0, 760);
  EXPECT_TRUE(expected.matchesScreen());
}

// --- holding frames during a replay

// One turn and a half of drawing, as the dialogue does it.
void drawSomeTurns() {
  drawCreditLine();
  drawMessageLine("Appuyez sur entree");
  drawInputLine("load");
  leftPanel << "***** Play match Ann vs Bob" << std::endl;
  rightPanel << "1 -> winner(Ann vs Bob)" << std::endl;
  drawPanels(PanelView{});
  drawMessageLine("Vous pouvez aussi entrer 'quit' ou 'annuler'");
  drawPromptLine("Perdant contre " + std::string(50, 'W'));
  drawInputLine("Bo");
  drawInputLine("Bob");
  leftPanel.clear();
  leftPanel << "changed after drawing" << std::endl;
}

TEST_F(WindowTest, HeldDrawingEndsOnExactlyTheUnheldPicture) {
  drawSomeTurns();
  std::vector<Uint32> unheld = copyOfScreen();

  SetUp();
  holdFrames(true);
  drawSomeTurns();
  EXPECT_TRUE(Canvas(white()).matchesScreen()) << "drawn while held";
  holdFrames(false);
  EXPECT_EQ(copyOfScreen(), unheld);
}

TEST_F(WindowTest, HeldPanelsAreDrawnAsTheyWereWhenDrawPanelsWasCalled) {
  holdFrames(true);
  writeRow(leftPanel, 0, "***** Play match Ann vs Bob");
  drawPanels(PanelView{});
  leftPanel.clear();
  writeRow(leftPanel, 5, "***** Play match Cy vs Dee");
  holdFrames(false);
  Canvas expected(0);
  expected.paint("***** Play match Ann vs Bob", kPanel, 0, 0);
  EXPECT_TRUE(expected.matchesScreen());
}

TEST_F(WindowTest, ReleaseAfterUnheldDrawingKeepsTheCreditAndStrips) {
  drawCreditLine();
  drawMessageLine("Appuyez sur entree");
  holdFrames(true);
  drawPromptLine("Nombre de joueurs : ");
  holdFrames(false);
  // The white left by SetUp lies under the blank panels drawn there.
  Canvas expected(0);
  expected.paint("Vandrell", kCredit, 0, 0);
  expected.paint("Appuyez sur entree", kMessage, 0, 740);
  expected.paint("Nombre de joueurs : ", kPrompt, 0, 760);
  EXPECT_TRUE(expected.matchesScreen());
}

// --- the view: scrolled rows and the places side

TEST_F(WindowTest, ScrolledViewRedrawsItsRowsUnderTheSameStrips) {
  resetProgramState();
  std::vector<Participant> players;
  for (int k = 0; k < 100; ++k) players.push_back({k, std::to_string(k + 1)});
  PanelScroll scroll;
  scroll.showTurn(writeTournament(computeTournament(players, resultLog())));
  drawPanels(scroll.view);
  drawMessageLine("Vous pouvez aussi entrer 'quit' ou 'annuler'");
  drawStatusLine("old status", false);
  drawPromptLine("Gagnant : ");
  drawInputLine("12");

  const struct {
    std::vector<ViewKey> keys;
    int top;
    const TextPanel* right;
  } cases[] = {
      {{ViewKey::kPageDown}, 25, &rightPanel},
      {{ViewKey::kBottom, ViewKey::kPlaces}, 51, &placesPanel},
      {{ViewKey::kLineUp}, 50, &placesPanel},
  };
  for (const auto& c : cases) {
    for (ViewKey key : c.keys) ASSERT_TRUE(scroll.press(key));
    ASSERT_EQ(scroll.view.top, c.top);
    const std::string status = "Lignes " + std::to_string(c.top + 1) + " a " +
                               std::to_string(c.top + 50) + " sur 100";
    redrawPanels(scroll.view, status, false);
    Canvas expected(0);
    for (int r = 0; r < kPanelHeight; ++r) {
      std::string left = leftPanel.row(c.top + r), right = c.right->row(c.top + r);
      if (left.find_first_not_of(' ') != std::string::npos)
        expected.paint(left, kPanel, 0, 15 * r);
      if (right.find_first_not_of(' ') != std::string::npos)
        expected.paint(right, kPanel, 420, 15 * r);
    }
    expected.clear(0, 740, 800, 20);
    expected.paint("Vous pouvez aussi entrer 'quit' ou 'annuler'", kMessage, 0, 740);
    expected.paint("Gagnant : ", kPrompt, 0, 760);
    expected.paint("12", kInput, 300, 760);
    expected.paint(status, kStatus, 0, 780);
    EXPECT_TRUE(expected.matchesScreen()) << "top " << c.top;
  }
  resetProgramState();
}

}  // namespace
