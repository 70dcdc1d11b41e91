// keyboard.h: the only loop that reads window events.
#pragma once

#include <string>

// Blocks on window events until return is pressed, echoing every change in
// the input strip. False when the window was closed (the partial answer is
// dropped).
bool typeAnswer(std::string* answer);
