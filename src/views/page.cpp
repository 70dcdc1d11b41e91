// page.cpp: see page.h. One page with its
// style sheet inline and no script but the players' own views' (which the
// page does without), so it works offline, from file:// and from the
// program's own server alike.
#include <algorithm>
#include <array>
#include <vector>

#include "views/page.h"
#include "views/bracket_svg.h"
#include "views/place_words.h"
#include "views/player_view.h"
#include "views/screen.h"
#include "views/text_escape.h"
#include "views/tournament_words.h"

namespace {

// Narrow screens get one column; a projector or a laptop two, in larger
// type. The bracket's pictures keep their size on every screen: one wider
// than a phone scrolls sideways in its section rather than shrinking below
// reading size. Printing keeps the standings, in black on white on portrait A4,
// then the bracket's pictures on landscape A4 at their own size, side by
// side while they fit, each whole on its page (the layout keeps every
// picture within kSheetMaxWidth x kSheetMaxHeight, which leaves room for
// the 8 mm margins and the 4 mm gap after each).
const char kStyle[] =
    "body{margin:0;padding:1rem;background:#eef0f3;color:#1b1f24;"
    "font-family:system-ui,'DejaVu Sans',Arial,sans-serif;line-height:1.4}"
    "header,main,footer{max-width:1400px;margin:0 auto}"
    "h1{font-size:1.6rem;margin:0}"
    "#compte{margin:.2rem 0 1rem;color:#3a4450;font-weight:600}"
    "main{display:grid;gap:1rem;grid-template-columns:minmax(0,1fr);align-items:start}"
    "section{background:#fff;border-radius:8px;padding:.8rem 1rem;"
    "box-shadow:0 1px 3px rgba(0,0,0,.12)}"
    "h2{font-size:1.25rem;margin:0 0 .5rem}"
    "h3{font-size:1rem;margin:.8rem 0 .3rem;color:#5a6470}"
    "ol,ul{margin:0;padding-left:2.4rem}"
    "li{padding:.15rem 0}"
    ".jouables li{font-weight:700;font-size:1.1em}"
    ".tables{list-style:none;padding-left:0}.table{color:#0b5cad}"
    ".contre{font-weight:400;color:#5a6470}"
    ".attente{color:#5a6470}"
    "table{border-collapse:collapse;width:100%}"
    "th,td{text-align:left;padding:.25rem .5rem;border-bottom:1px solid #e1e4e8;"
    "vertical-align:top}"
    "th{color:#5a6470;font-weight:600}"
    "td.place{width:4.5rem;white-space:nowrap;font-variant-numeric:tabular-nums}"
    ".nom{overflow-wrap:anywhere}"
    ".vide{color:#7a8490;font-style:italic}"
    ".annule s{color:#7a8490}"
    ".note{margin-left:.5em;padding:0 .4em;border-radius:4px;font-size:.85em;"
    "background:#f1e3c8;color:#6b4b12}"
    ".annule .note{background:#eceff2;color:#5a6470}"
    "footer{margin-top:1rem;color:#7a8490;font-size:.85rem}"
    "#tableau{max-width:1400px;margin:1rem auto 0}"
    ".blocs{display:flex;flex-wrap:wrap;gap:1rem;align-items:flex-start;overflow-x:auto}"
    ".blocs svg{display:block;flex:none;height:auto;background:#fff}"
    "@media (min-width:900px){body{font-size:1.15rem;padding:1.5rem}"
    "main{grid-template-columns:repeat(2,minmax(0,1fr))}}"
    "@page{size:A4;margin:15mm}@page paysage{size:A4 landscape;margin:8mm}"
    "@media print{body{background:#fff;color:#000;padding:0;font-size:12pt}"
    "#a-jouer,#places,#resultats,footer{display:none}"
    "#tableau{page:paysage;max-width:none;margin:0}"
    "#tableau h2{display:none}"
    ".blocs{display:block;overflow:visible}.blocs svg{break-inside:avoid;page-break-inside:avoid;"
    "display:inline-block;vertical-align:top;margin:0 4mm 4mm 0;max-width:none}"
    "main{display:block}section{box-shadow:none;padding:0}"
    "th,td{border-bottom:1px solid #999;padding:.1rem .5rem}}";

std::string matchItem(const std::array<std::string, 2>& sides, const std::string& before = "") {
  return "<li>" + before + "<span class=\"nom\">" + escapeHtml(sides[0]) +
         "</span> <span class=\"contre\">contre</span> <span class=\"nom\">" +
         escapeHtml(sides[1]) + "</span></li>";
}

// With tables, the matches called to one come first ("Table 3 : ..."), by
// table, and the playable ones waiting for a table are listed apart.
void appendMatches(std::string& out, const TournamentState& state,
                   const TableAssignment& tables) {
  out += "<section id=\"a-jouer\"><h2>Matchs à jouer</h2>";
  const std::vector<int> tableOf = tableOfMatches(tables, state);
  const bool withTables = tablesInUse(tables);
  const std::vector<std::array<std::string, 2>> sides = matchSidesText(state);
  std::vector<std::pair<int, std::string>> seated;
  std::string playable, waiting;
  for (size_t i = 0; i < state.toPlay.size(); ++i) {
    const MatchToPlay& m = state.toPlay[i];
    const int table = i < tableOf.size() ? tableOf[i] : 0;
    if (table > 0) {
      seated.emplace_back(table, matchItem(sides[i], "<span class=\"table\">Table " +
                                                  std::to_string(table) + " :</span> "));
    } else {
      (m.playable ? playable : waiting) += matchItem(sides[i]);
    }
  }
  std::sort(seated.begin(), seated.end());
  std::string called;
  for (const auto& item : seated) called += item.second;
  if (!called.empty()) out += "<ul class=\"jouables tables\">" + called + "</ul>";
  if (playable.empty() && called.empty()) {
    out += "<p class=\"vide\">Aucun match à jouer pour l'instant.</p>";
  } else if (!playable.empty() && withTables) {
    out += "<h3>En attente d'une table</h3><ol class=\"jouables\">" + playable + "</ol>";
  } else if (!playable.empty()) {
    out += "<ol class=\"jouables\">" + playable + "</ol>";
  }
  if (!waiting.empty()) out += "<h3>En attente</h3><ul class=\"attente\">" + waiting + "</ul>";
  out += "</section>";
}

void appendStandings(std::string& out, const TournamentState& state) {
  out += state.finished() ? "<section id=\"classement\"><h2>Classement final</h2>"
                          : "<section id=\"classement\"><h2>Classement provisoire</h2>";
  out += "<table><thead><tr><th>Place</th><th>Joueur</th></tr></thead><tbody>";
  for (size_t i = 0; i < state.placement.size(); ++i) {
    const Participant& p = state.placement[i];
    out += "<tr><td class=\"place\">" + placeName(static_cast<int>(i) + 1) + "</td>";
    out += isPlayerId(p.id) ? "<td class=\"nom\">" + escapeHtml(standingsName(state, p)) + "</td>"
                            : std::string("<td class=\"vide\">à décider</td>");
    out += "</tr>";
  }
  out += "</tbody></table></section>";
}

void appendReachable(std::string& out, const TournamentState& state) {
  out += "<section id=\"places\"><h2>Places encore possibles</h2><table><thead><tr>"
         "<th>Joueur</th><th>Places</th></tr></thead><tbody>";
  // Best reachable place first, then entry order, as the window's view.
  const std::vector<size_t> order = playersByBestPlace(state);
  for (size_t id : order) {
    if (id >= state.reachable.size()) continue;
    out += "<tr><td class=\"nom\">" + escapeHtml(nameText(state.players[id].name)) +
           "</td><td>" + placesText(state.reachable[id], " \xC3\xA0 ") + "</td></tr>";
  }
  out += "</tbody></table></section>";
}

void appendResults(std::string& out, const TournamentState& state,
                   const std::vector<MatchRecord>& log) {
  out += "<section id=\"resultats\"><h2>Résultats</h2>";
  const std::vector<ResultUse> uses = resultUses(state, log);
  const size_t n = uses.size();
  if (n == 0 && state.forfeits.empty())
    out += "<p class=\"vide\">Aucun résultat pour l'instant.</p>";
  if (n > 0) out += "<ol>";
  for (size_t i = 0; i < n; ++i) {
    const std::string match = "<span class=\"nom\">" + escapeHtml(nameText(log[i].winner.name)) +
                              "</span> bat <span class=\"nom\">" +
                              escapeHtml(nameText(log[i].loser.name)) + "</span>";
    switch (uses[i]) {
      case ResultUse::kUsed:
        out += "<li class=\"compte\">" + match + "</li>";
        break;
      case ResultUse::kCancelled:
        out += "<li class=\"annule\"><s>" + match + "</s><span class=\"note\">annulé</span></li>";
        break;
      case ResultUse::kUnused:
        out += "<li class=\"sans-objet\">" + match +
               "<span class=\"note\">sans objet</span></li>";
        break;
      case ResultUse::kUnknownName:
        out += "<li class=\"inconnu\">" + match +
               "<span class=\"note\">nom inconnu</span></li>";
        break;
    }
  }
  if (n > 0) out += "</ol>";
  // Matches lost by a player who left are not entered: they follow, apart.
  if (!state.forfeits.empty()) out += "<h3>Forfaits</h3><ul>";
  for (const MatchRecord& r : state.forfeits) {
    out += "<li class=\"forfait\"><span class=\"nom\">" + escapeHtml(nameText(r.winner.name)) +
           "</span> bat <span class=\"nom\">" + escapeHtml(nameText(r.loser.name)) +
           "</span><span class=\"note\">forfait</span></li>";
  }
  if (!state.forfeits.empty()) out += "</ul>";
  out += "</section>";
}

// The bracket, one picture per range of places. On paper it follows the
// standings, on landscape pages, each picture kept whole on its page.
void appendBracket(std::string& out, const TournamentState& state) {
  out += "<section id=\"tableau\"><h2>Tableau</h2><div class=\"blocs\">";
  appendBracketSvg(&out, state);
  out += "</div></section>";
}

}  // namespace

std::string renderPage(const TournamentState& state, const std::vector<MatchRecord>& log,
                       const TableAssignment& tables) {
  std::string out;
  out.reserve(4096 + 400 * state.players.size() + 160 * log.size());
  const bool running = isRunning(state);
  const std::string title = tournamentHeading(state);
  out += "<!DOCTYPE html>\n<html lang=\"fr\"><head><meta charset=\"utf-8\">"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";
  if (running) out += "<meta http-equiv=\"refresh\" content=\"10\">";
  out += "<title>" + title + " – Brackora</title><style>" + kStyle + playerViewStyle() +
         "</style></head>\n<body>";
  out += "<header><h1>" + title + "</h1>";
  if (!state.players.empty()) {
    const MatchCount count = countMatches(state);
    out += "<p id=\"compte\">Matchs joués : " + std::to_string(count.played) +
           " · restants : " + std::to_string(count.left) + "</p>";
  }
  out += "</header>\n<main>";
  out += renderPlayerViews(state, log, tables);
  if (state.players.empty())
    out += "<section><p class=\"vide\">Les joueurs sont en cours d'inscription.</p></section>";
  // Once finished, nothing is left to play and every place is known: the
  // standings and the results are all there is to show.
  if (running && !state.players.empty()) appendMatches(out, state, tables);
  if (!state.players.empty()) appendStandings(out, state);
  if (running && !state.players.empty()) appendReachable(out, state);
  if (!state.players.empty()) appendResults(out, state, log);
  out += "</main>\n";
  if (!state.players.empty()) appendBracket(out, state);
  out += "<footer>";
  out += running ? "Page mise à jour à chaque tour ; elle se recharge toutes les 10 secondes."
                 : "Page finale du tournoi.";
  out += " " + screenLink();
  out += "</footer></body></html>\n";
  return out;
}
