// keyboard.h: the only loop that reads window events.
#pragma once

#include <string>

// Lets the library forward X key presses, which typeAnswer then prefers
// (see keyboard.cpp). Call once, right after the window opens: SDL 1.2
// discards every queued event when it switches an event type on.
void startKeyboard();

// Blocks on window events until return is pressed, echoing every change in
// the input strip. False when the window was closed (the partial answer is
// dropped).
bool typeAnswer(std::string* answer);
