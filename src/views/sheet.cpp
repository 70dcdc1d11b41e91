// sheet.cpp: see sheet.h.
#include "views/sheet.h"

#include "views/text_escape.h"
#include "views/tournament_words.h"

std::string renderCsv(const TournamentState& state) {
  // The byte order mark is how spreadsheets tell UTF-8 from the local code
  // page; without it the accents come out garbled.
  std::string out = "\xEF\xBB\xBFPlace;Joueur\r\n";
  out.reserve(out.size() + 40 * state.placement.size());
  for (size_t i = 0; i < state.placement.size(); ++i) {
    const Participant& p = state.placement[i];
    out += std::to_string(i + 1) + ";";
    if (isPlayerId(p.id)) out += csvField(standingsName(state, p));
    out += "\r\n";
  }
  return out;
}
