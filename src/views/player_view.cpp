// player_view.cpp: see player_view.h.
#include "views/player_view.h"

#include <algorithm>
#include <array>

#include "views/place_words.h"
#include "views/text_escape.h"
#include "views/tournament_words.h"

namespace {

const char kStyle[] =
    "#joueur{grid-column:1/-1}#joueur[hidden],.fiche[hidden]{display:none}"
    "#joueur label{font-weight:600;margin-right:.5rem}"
    "#choix-joueur{font:inherit;padding:.3rem .4rem;max-width:100%}"
    ".fiche h3{font-size:1.35rem;color:#1b1f24;margin:.7rem 0 .4rem}"
    ".fiche ul{list-style:none;padding-left:0;margin:.2rem 0}"
    ".fiche .maintenant{font-weight:700;font-size:1.15em;border-left:4px solid #0b5cad;"
    "padding-left:.5rem;margin:.3rem 0}"
    ".fiche .maintenant .ou{color:#0b5cad}"
    ".fiche .attente{color:#3a4450;border-left:4px solid #c9ced6;padding-left:.5rem}"
    ".fiche h4{margin:.6rem 0 .2rem}"
    ".fiche .places{font-weight:600}"
    ".fiche .gagne::before{content:'\\2714\\FE0E  ';color:#1d7a36}"
    ".fiche .perdu::before{content:'\\2716\\FE0E  ';color:#a3312b}"
    "@media print{#joueur{display:none}}";

// Shows the section, then the block of the name kept in the local storage
// and, on a new pick, keeps that name. The name is kept rather than a
// position, so another tournament in the same browser shows nobody by
// mistake. Not in the address: a page whose address holds a fragment is
// not reloaded by its refresh in Chromium.
const char kScript[] =
    "(function(){"
    "var section=document.getElementById('joueur'),choice=document.getElementById('choix-joueur');"
    "var key='brackora-joueur';"
    "function kept(){try{return localStorage.getItem(key)||'';}catch(e){return '';}}"
    "function keep(name){try{localStorage.setItem(key,name);}catch(e){}}"
    "function show(name){"
    "var blocks=section.getElementsByClassName('fiche'),i;"
    "for(i=0;i<blocks.length;++i)blocks[i].hidden=blocks[i].getAttribute('data-nom')!==name;"
    "choice.selectedIndex=0;"
    "for(i=0;i<choice.options.length;++i)"
    "if(choice.options[i].getAttribute('data-nom')===name)choice.selectedIndex=i;}"
    "choice.addEventListener('change',function(){"
    "var name=choice.options[choice.selectedIndex].getAttribute('data-nom')||'';"
    "keep(name);show(name);});"
    "section.hidden=false;show(kept());"
    "})();";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Folded keys in the order a person expects: runs of digits by their value,
// so "Joueur 2" comes before "Joueur 10".
bool keyBefore(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      while (i < a.size() && a[i] == '0') ++i;
      while (j < b.size() && b[j] == '0') ++j;
      size_t endA = i, endB = j;
      while (endA < a.size() && isDigit(a[endA])) ++endA;
      while (endB < b.size() && isDigit(b[endB])) ++endB;
      const std::string numberA = a.substr(i, endA - i), numberB = b.substr(j, endB - j);
      if (numberA.size() != numberB.size()) return numberA.size() < numberB.size();
      if (numberA != numberB) return numberA < numberB;
      i = endA;
      j = endB;
    } else if (a[i] != b[j]) {
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    } else {
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

std::string nameSpan(const std::string& utf8) {
  return "<span class=\"nom\">" + escapeHtml(utf8) + "</span>";
}

// What the player has to play: each match of state.toPlay they are in, the
// opponent in words (sides: matchSidesText of the state).
std::string nextMatches(const TournamentState& state,
                        const std::vector<std::array<std::string, 2>>& sides,
                        const std::vector<int>& tableOf, bool withTables, int32_t id) {
  std::string out;
  for (size_t i = 0; i < state.toPlay.size(); ++i) {
    const MatchToPlay& m = state.toPlay[i];
    if (m.first.id != id && m.second.id != id) continue;
    const std::string other = nameSpan(sides[i][m.first.id == id ? 1 : 0]);
    const int table = i < tableOf.size() ? tableOf[i] : 0;
    if (table > 0) {
      out += "<li class=\"maintenant\">\xC3\x80 jouer maintenant : <span class=\"ou\">Table " +
             std::to_string(table) + " :</span> contre " + other + "</li>";
    } else if (m.playable) {
      out += "<li class=\"maintenant\">\xC3\x80 jouer maintenant : contre " + other +
             (withTables ? ", en attente d'une table" : "") + "</li>";
    } else {
      out += "<li class=\"attente\">En attente : contre le " + other + "</li>";
    }
  }
  return out;
}

std::string placesLine(const TournamentState& state, size_t id) {
  if (id >= state.reachable.size() || state.reachable[id].empty()) return "";
  const std::vector<int>& places = state.reachable[id];
  std::string line;
  if (places.size() > 1) {
    line = "Places encore possibles : " + placesText(places, " \xC3\xA0 ");
  } else {
    line = (state.finished() ? "Place finale : " : "Place d\xC3\xA9" "finitive : ") +
           placeName(places.front());
  }
  return "<p class=\"places\">" + line + "</p>";
}

// One result of the player's; forfeit for a match the loser's withdrawal
// settled.
struct PlayerResult {
  const MatchRecord* match;
  bool forfeit;
};

std::string resultLines(const std::vector<PlayerResult>& results, int32_t id) {
  if (results.empty()) return "<p class=\"vide\">Aucun r\xC3\xA9sultat pour l'instant.</p>";
  std::string out = "<ul class=\"resultats\">";
  for (const PlayerResult& r : results) {
    const bool won = r.match->winner.id == id;
    const std::string how = r.forfeit ? " par forfait contre " : " contre ";
    out += won ? "<li class=\"gagne\">Gagn\xC3\xA9" + how +
                     nameSpan(nameText(r.match->loser.name)) + "</li>"
               : "<li class=\"perdu\">Perdu" + how + nameSpan(nameText(r.match->winner.name)) +
                     "</li>";
  }
  return out + "</ul>";
}

// The players' names as options, alphabetical (see keyBefore); ties in
// entry order.
std::string choices(const TournamentState& state) {
  std::vector<size_t> order(state.players.size());
  for (size_t id = 0; id < order.size(); ++id) order[id] = id;
  std::vector<std::string> keys;
  for (const Participant& p : state.players) keys.push_back(foldName(p.name));
  std::stable_sort(order.begin(), order.end(),
                   [&keys](size_t a, size_t b) { return keyBefore(keys[a], keys[b]); });
  std::string out = "<option value=\"\">\xE2\x80\x94 choisir \xE2\x80\x94</option>";
  for (size_t id : order) {
    const std::string name = escapeHtml(nameText(state.players[id].name));
    out += "<option value=\"" + std::to_string(id) + "\" data-nom=\"" + name + "\">" + name +
           "</option>";
  }
  return out;
}

}  // namespace

std::string renderPlayerViews(const TournamentState& state, const std::vector<MatchRecord>& log,
                              const TableAssignment& tables) {
  if (state.players.empty()) return "";
  // Each player's results the rebuild used, in entry order, then the
  // matches settled by a withdrawal.
  std::vector<std::vector<PlayerResult>> results(state.players.size());
  auto note = [&results](const MatchRecord& r, bool forfeit) {
    for (int32_t id : {r.winner.id, r.loser.id})
      if (isPlayerId(id) && static_cast<size_t>(id) < results.size())
        results[static_cast<size_t>(id)].push_back(PlayerResult{&r, forfeit});
  };
  for (size_t position : state.usedResults)
    if (position < log.size()) note(log[position], false);
  for (const MatchRecord& r : state.forfeits) note(r, true);
  const std::vector<int> tableOf = tableOfMatches(tables, state);
  const bool withTables = tablesInUse(tables);
  const std::vector<std::array<std::string, 2>> sides = matchSidesText(state);
  std::string out = "<section id=\"joueur\" hidden><h2>Mon tournoi</h2>"
                    "<label for=\"choix-joueur\">Votre nom :</label>"
                    "<select id=\"choix-joueur\" autocomplete=\"off\">";
  out += choices(state) + "</select>";
  for (size_t id = 0; id < state.players.size(); ++id) {
    const int32_t player = static_cast<int32_t>(id);
    const std::string name = escapeHtml(nameText(state.players[id].name));
    out += "<div class=\"fiche\" id=\"fiche-" + std::to_string(id) + "\" data-nom=\"" + name +
           "\" hidden><h3>" + name + "</h3>";
    const std::string next = nextMatches(state, sides, tableOf, withTables, player);
    if (!next.empty()) out += "<ul class=\"prochain\">" + next + "</ul>";
    else if (!state.finished() && id < state.reachable.size() && state.reachable[id].size() > 1)
      out += "<p class=\"attente\">Prochain match : pas encore connu.</p>";
    out += placesLine(state, id);
    out += "<h4>R\xC3\xA9sultats</h4>" + resultLines(results[id], player) + "</div>";
  }
  out += "<script>";
  out += kScript;
  return out + "</script></section>";
}

const char* playerViewStyle() { return kStyle; }
