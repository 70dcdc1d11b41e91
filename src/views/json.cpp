// json.cpp: see json.h.
#include "views/json.h"

#include <algorithm>

#include "views/text_escape.h"
#include "views/tournament_words.h"

namespace {

const char* boolText(bool b) { return b ? "true" : "false"; }

void appendMatches(std::string& out, const TournamentState& state,
                   const TableAssignment& tables) {
  out += "\"a_jouer\":[";
  const std::vector<int> tableOf = tableOfMatches(tables, state);
  const std::vector<std::array<std::string, 2>> sides = matchSidesText(state);
  int number = 0;
  for (size_t i = 0; i < state.toPlay.size(); ++i) {
    const MatchToPlay& m = state.toPlay[i];
    const int table = i < tableOf.size() ? tableOf[i] : 0;
    if (i > 0) out += ",";
    out += "{\"numero\":" + (m.playable ? std::to_string(++number) : std::string("null"));
    out += ",\"jouable\":" + std::string(boolText(m.playable));
    out += ",\"table\":" + (table > 0 ? std::to_string(table) : std::string("null"));
    out += ",\"joueur1\":" + jsonString(sides[i][0]);
    out += ",\"joueur2\":" + jsonString(sides[i][1]) + "}";
  }
  out += "]";
}

void appendPlacement(std::string& out, const TournamentState& state) {
  out += "\"classement\":[";
  for (size_t i = 0; i < state.placement.size(); ++i) {
    const Participant& p = state.placement[i];
    if (i > 0) out += ",";
    out += "{\"place\":" + std::to_string(i + 1) + ",\"joueur\":" +
           (isPlayerId(p.id) ? jsonString(nameText(p.name)) : std::string("null")) + "}";
  }
  out += "]";
}

void appendReachable(std::string& out, const TournamentState& state) {
  out += "\"places_possibles\":[";
  const size_t n = std::min(state.players.size(), state.reachable.size());
  for (size_t id = 0; id < n; ++id) {
    if (id > 0) out += ",";
    out += "{\"joueur\":" + jsonString(nameText(state.players[id].name)) + ",\"places\":[";
    const std::vector<int>& places = state.reachable[id];
    for (size_t k = 0; k < places.size(); ++k)
      out += (k > 0 ? "," : "") + std::to_string(places[k]);
    out += "]}";
  }
  out += "]";
}

void appendResults(std::string& out, const TournamentState& state,
                   const std::vector<MatchRecord>& log) {
  out += "\"resultats\":[";
  const std::vector<ResultUse> uses = resultUses(state, log);
  const size_t n = uses.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) out += ",";
    out += "{\"numero\":" + std::to_string(i + 1);
    out += ",\"gagnant\":" + jsonString(nameText(log[i].winner.name));
    out += ",\"perdant\":" + jsonString(nameText(log[i].loser.name));
    out += ",\"etat\":" + jsonString(resultUseText(uses[i])) + "}";
  }
  // Matches lost by a player who left have no number: they are not entered.
  for (size_t i = 0; i < state.forfeits.size(); ++i) {
    if (n + i > 0) out += ",";
    out += "{\"numero\":null,\"gagnant\":" + jsonString(nameText(state.forfeits[i].winner.name));
    out += ",\"perdant\":" + jsonString(nameText(state.forfeits[i].loser.name));
    out += ",\"etat\":\"forfait\"}";
  }
  out += "]";
}

}  // namespace

std::string renderJson(const TournamentState& state, const std::vector<MatchRecord>& log,
                       const TableAssignment& tables) {
  std::string out;
  out.reserve(1024 + 200 * state.players.size() + 100 * log.size());
  const MatchCount count = countMatches(state);
  out += "{\"en_cours\":" + std::string(boolText(isRunning(state)));
  out += ",\"joueurs\":" + std::to_string(state.players.size());
  out += ",\"matchs_joues\":" + std::to_string(count.played);
  out += ",\"matchs_restants\":" + std::to_string(count.left);
  out += ",\"tables\":" + std::to_string(tables.count) + ",\n";
  appendMatches(out, state, tables);
  out += ",\n";
  appendPlacement(out, state);
  out += ",\n";
  appendReachable(out, state);
  out += ",\n";
  appendResults(out, state, log);
  out += "}\n";
  return out;
}
