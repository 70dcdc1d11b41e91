// keyboard.h: the only loop that reads window events.
#pragma once

#include <string>

#include "control/answer_source.h"

// Lets the library forward X key presses, which typeAnswer then prefers
// (see keyboard.cpp). Call once, right after the window opens: SDL 1.2
// discards every queued event when it switches an event type on.
void startKeyboard();

// Blocks on window events until return is pressed: every key goes through
// `typing` (characters to press, keys that type nothing and move the view
// to view), and every change of the answer is echoed in the input strip.
// False when the window was closed (the partial answer is dropped).
bool typeAnswer(AnswerTyping& typing, std::string* answer);

// Frontend::holdFrames for the window: holdFrames (display/window.h), and
// when held frames are released, at the end of a replay, every key pressed
// meanwhile is dropped, so that keys pressed while answers were replayed
// neither type into the first typed answer nor move the view. Keys typed
// ahead while frames were not held are kept.
void holdFramesAndDropKeys(bool hold);

// Keeps the screen saver and display power saving away while the window is
// open, so the standings stay in view. SDL 1.2 did so as a side effect of
// looking for events every 10 ms; typeAnswer now sleeps until the X server
// sends something, so this is asked of the server once instead. Does
// nothing without an X connection or its screen saver extension.
void keepScreenAwake();
