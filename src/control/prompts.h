// prompts.h: the dialogue's words that more than one of its questions use.
#pragma once

// Asked after a notice that needs nothing but to be read.
constexpr const char* kAcknowledgePrompt = "Entree pour continuer";
// Asked after a notice of a change that the operator may still renounce.
constexpr const char* kConfirmPrompt = "Entree pour confirmer, 'non' pour renoncer";
// The answer that renounces it.
constexpr const char* kRefusal = "non";
