// window_test_util.h: the window and font that the headless window tests
// draw into, opened once per suite under the dummy video driver.
#pragma once

#include <gtest/gtest.h>

#include "display/window.h"

class HeadlessWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    ASSERT_EQ(TTF_Init(), 0);
    screen = SDL_SetVideoMode(kWindowWidth, kWindowHeight, 32, SDL_SWSURFACE);
    font = TTF_OpenFont(BRACKORA_TEST_FONT, 12);
    ASSERT_NE(screen, nullptr);
    ASSERT_NE(font, nullptr);
  }
  static void TearDownTestSuite() {
    TTF_CloseFont(font);
    font = nullptr;
  }
};
