// screen.cpp: see screen.h. The page has its style sheet and its script
// inline and loads nothing else, so it works offline, from file:// and from
// the program's own server alike.
#include "views/screen.h"

#include <algorithm>
#include <utility>

#include "views/place_words.h"
#include "views/text_escape.h"
#include "views/tournament_words.h"

namespace {

// Every size follows the window: 1rem is about 30 px on 1920x1080 and 20 px
// on 1280x720, whichever of the width or the height is the tighter. The
// margins leave out what a television's overscan may cut. The matches fill
// the left column; the results (five at most) and the standings share the
// right one. Once the tournament is over the final standings fill the
// width, the last results below them. Each list hides what overflows until
// the script pages it.
const char kStyle[] =
    "html{font-size:min(1.6vw,2.9vh);height:100%}"
    "body{margin:0;height:100%;box-sizing:border-box;padding:2.5vh 2.5vw;"
    "display:flex;flex-direction:column;background:#0b0f14;color:#f2f5f8;"
    "font-family:system-ui,'DejaVu Sans',Arial,sans-serif;line-height:1.25}"
    "header{display:flex;align-items:baseline;justify-content:space-between;gap:1rem;"
    "border-bottom:2px solid #2b3440;padding-bottom:.3rem;margin-bottom:.6rem}"
    "h1{font-size:1.5rem;margin:0}"
    "#compte{margin:0;font-size:1rem;color:#c9d3de;white-space:nowrap}"
    "main{flex:1 1 0;min-height:0;display:grid;gap:.8rem 2rem;"
    "grid-template-columns:minmax(0,1fr) minmax(0,1fr);grid-template-rows:auto minmax(0,1fr)}"
    "section{display:flex;flex-direction:column;min-height:0}"
    "#a-jouer{grid-column:1;grid-row:1/3}#resultats{grid-column:2;grid-row:1}"
    "#classement{grid-column:2;grid-row:2}"
    ".fin main{grid-template-columns:minmax(0,1fr);grid-template-rows:minmax(0,1fr) auto}"
    ".fin #classement{grid-column:1;grid-row:1}.fin #resultats{grid-column:1;grid-row:2}"
    ".fin #resultats ol{column-width:24em;column-gap:2rem}"
    "h2{display:flex;justify-content:space-between;gap:1rem;font-size:1.15rem;"
    "margin:0 0 .3rem;color:#7cc4ff;white-space:nowrap}"
    ".suite{color:#c9d3de;font-weight:400}"
    "ol{list-style:none;margin:0;padding:0;flex:1 1 0;min-height:0;overflow:hidden}"
    "#resultats ol{flex:0 1 auto}"
    "#classement ol{column-gap:2rem;column-fill:auto}"
    "li{font-size:1rem;padding:.12rem 0;break-inside:avoid}"
    ".nom{display:inline-block;max-width:100%;overflow-wrap:anywhere;vertical-align:top;"
    "font-weight:700}"
    ".table{color:#ffd35c;font-weight:700}"
    ".contre,.bat{color:#aab6c3}"
    "li.titre{color:#7cc4ff;padding-top:.5rem}"
    "#classement li{display:flex;gap:.6rem}"
    ".place{flex:0 0 3.2em;text-align:right;color:#c9d3de;font-variant-numeric:tabular-nums}"
    "#classement .nom,#classement .vide{flex:1 1 auto;min-width:0}"
    ".vide{color:#aab6c3;font-style:italic}";

// Pages each list to the height it is given and shows page N of each (N
// modulo its count, from "#page=N"); then, after the pause, writes N + 1 in
// the address and reloads. From the server it first checks that the page
// answers, so a program stopped for a moment leaves the last screen up.
// ES5, for the browsers of older televisions.
const char kScript[] =
    "(function(){"
    "var hash={};"
    "location.hash.slice(1).split('&').forEach(function(part){"
    "var at=part.indexOf('=');if(at>0)hash[part.slice(0,at)]=part.slice(at+1);});"
    "var page=Math.max(0,parseInt(hash.page,10)||0);"
    "var lists=document.querySelectorAll('ol.pages');var count=1;"
    // The items in runs that each fit the list's box, found by hiding
    // each run in turn and looking at what the rest shows. A heading never
    // ends a page; an item too big for any page gets one of its own.
    "function inside(item,box){var at=item.getBoundingClientRect();"
    "return at.bottom<=box.bottom+1&&at.right<=box.right+1;}"
    "function split(list){"
    "var items=list.children,pages=[],start=0,box=list.getBoundingClientRect();"
    "while(start<items.length){"
    "var end=start;while(end<items.length&&inside(items[end],box))++end;"
    "if(end===start)++end;"
    "else if(end<items.length&&end-1>start&&items[end-1].className==='titre')--end;"
    "pages.push([start,end]);"
    "for(var k=start;k<end;++k)items[k].style.display='none';"
    "start=end;}"
    "return pages.length?pages:[[0,0]];}"
    "function layout(){"
    "var all=[],i,k;"
    "for(i=0;i<lists.length;++i)for(k=0;k<lists[i].children.length;++k)"
    "lists[i].children[k].style.display='';"
    "for(i=0;i<lists.length;++i){all.push(split(lists[i]));"
    "for(k=0;k<lists[i].children.length;++k)lists[i].children[k].style.display='';}"
    "count=1;"
    "for(i=0;i<lists.length;++i){"
    "var pages=all[i],shown=pages[page%pages.length];count=Math.max(count,pages.length);"
    "for(k=0;k<lists[i].children.length;++k)"
    "if(k<shown[0]||k>=shown[1])lists[i].children[k].style.display='none';"
    "var mark=lists[i].parentNode.querySelector('.suite');"
    "if(mark)mark.textContent=pages.length>1?(page%pages.length+1)+'/'+pages.length:'';}}"
    // 15 s a page; a screen of one page reloads as often as the players'
    // page, and not at all once the tournament is over.
    "function later(){"
    "var pause=Math.max(1,parseInt(hash.delai,10)||(count>1?15:10))*1000;"
    "if(count>1||!document.body.classList.contains('fin'))setTimeout(turn,pause);}"
    "function turn(){"
    "history.replaceState(null,'','#page='+(page+1)%count+"
    "(hash.delai?'&delai='+hash.delai:''));"
    "if(location.protocol==='file:'){location.reload();return;}"
    "var ask=new XMLHttpRequest();ask.open('HEAD',location.href.split('#')[0]);"
    "ask.timeout=5000;ask.onload=function(){if(ask.status===200)location.reload();else later();};"
    "ask.onerror=ask.ontimeout=later;ask.send();}"
    "layout();window.addEventListener('resize',layout);later();"
    "})();";

std::string names(const Participant& a, const char* between, const Participant& b) {
  return "<span class=\"nom\">" + escapeHtml(sideText(a)) + "</span> <span class=\"" +
         between + "\">" + between + "</span> <span class=\"nom\">" +
         escapeHtml(sideText(b)) + "</span>";
}

// The matches called to a table, by table, then the other playable ones,
// under a heading of their own when tables are in use.
std::string matchItems(const TournamentState& state, const TableAssignment& tables) {
  const std::vector<int> tableOf = tableOfMatches(tables, state);
  std::vector<std::pair<int, std::string>> seated;
  std::string free;
  for (size_t i = 0; i < state.toPlay.size(); ++i) {
    const MatchToPlay& m = state.toPlay[i];
    const int table = i < tableOf.size() ? tableOf[i] : 0;
    if (table > 0) {
      seated.emplace_back(table, "<li><span class=\"table\">Table " + std::to_string(table) +
                                     " :</span> " + names(m.first, "contre", m.second) +
                                     "</li>");
    } else if (m.playable) {
      free += "<li>" + names(m.first, "contre", m.second) + "</li>";
    }
  }
  std::sort(seated.begin(), seated.end());
  std::string out;
  for (const auto& item : seated) out += item.second;
  const bool withTables = tablesInUse(tables);
  if (!free.empty() && withTables) out += "<li class=\"titre\">En attente d'une table</li>";
  return out + free;
}

std::string matchesSection(const TournamentState& state, const TableAssignment& tables) {
  std::string items = matchItems(state, tables);
  if (items.empty()) {
    items = state.players.empty() ? "Les joueurs sont en cours d'inscription."
                                  : "Aucun match \xC3\xA0 jouer pour l'instant.";
    items = "<li class=\"vide\">" + items + "</li>";
  }
  return "<section id=\"a-jouer\"><h2>\xC3\x80 jouer maintenant<span class=\"suite\"></span>"
         "</h2><ol class=\"pages\">" + items + "</ol></section>";
}

// The newest results the rebuild used, newest first.
std::string resultsSection(const TournamentState& state, const std::vector<MatchRecord>& log) {
  std::string items;
  size_t listed = 0;
  for (auto at = state.usedResults.rbegin();
       at != state.usedResults.rend() && listed < kScreenResults; ++at) {
    if (*at >= log.size()) continue;
    items += "<li>" + names(log[*at].winner, "bat", log[*at].loser) + "</li>";
    ++listed;
  }
  if (items.empty()) items = "<li class=\"vide\">Aucun r\xC3\xA9sultat pour l'instant.</li>";
  return "<section id=\"resultats\"><h2>Derniers r\xC3\xA9sultats<span class=\"suite\"></span>"
         "</h2><ol class=\"pages\">" + items + "</ol></section>";
}

// The standings' columns are as wide as the longest word they show beside
// its place (3.2 em and a gap of 0.6 em; a bold character is about 0.62 em
// wide on average), so a name wraps between its words or after a hyphen,
// never inside a word, and as many columns as that allows share the width.
// Only the names placed count: mid-way most places are still open.
int standingsColumnEm(const TournamentState& state) {
  size_t longest = 7;  // "décider"
  for (const Participant& p : state.placement) {
    if (!isPlayerId(p.id)) continue;
    size_t run = 0;
    for (unsigned char c : standingsName(state, p)) {
      if ((c & 0xC0) == 0x80) continue;  // inside a UTF-8 character
      run = c == ' ' || c == '-' ? 0 : run + 1;
      longest = std::max(longest, run);
    }
  }
  return static_cast<int>((longest * 62 + 420 + 99) / 100);
}

std::string standingsSection(const TournamentState& state) {
  std::string out = "<section id=\"classement\"><h2>";
  out += state.finished() ? "Classement final" : "Classement provisoire";
  out += "<span class=\"suite\"></span></h2><ol class=\"pages\" style=\"column-width:" +
         std::to_string(standingsColumnEm(state)) + "em\">";
  for (size_t i = 0; i < state.placement.size(); ++i) {
    const Participant& p = state.placement[i];
    out += "<li><span class=\"place\">" + placeName(static_cast<int>(i) + 1) + "</span> ";
    out += isPlayerId(p.id) ? "<span class=\"nom\">" + escapeHtml(standingsName(state, p)) +
                                  "</span>"
                            : std::string("<span class=\"vide\">\xC3\xA0 d\xC3\xA9" "cider</span>");
    out += "</li>";
  }
  return out + "</ol></section>";
}

}  // namespace

std::string renderScreen(const TournamentState& state, const std::vector<MatchRecord>& log,
                         const TableAssignment& tables) {
  std::string out;
  out.reserve(6144 + 200 * state.players.size());
  out += "<!DOCTYPE html>\n<html lang=\"fr\"><head><meta charset=\"utf-8\">"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
         "<title>\xC3\x89" "cran de salle \xE2\x80\x93 Brackora</title><style>";
  out += kStyle;
  out += "</style>";
  if (isRunning(state)) out += "<noscript><meta http-equiv=\"refresh\" content=\"10\"></noscript>";
  out += "</head>\n";
  out += isRunning(state) ? "<body>" : "<body class=\"fin\">";
  out += "<header><h1>" + tournamentHeading(state) + "</h1>";
  if (!state.players.empty()) {
    const MatchCount count = countMatches(state);
    out += "<p id=\"compte\">Matchs jou\xC3\xA9s : " + std::to_string(count.played) +
           " \xC2\xB7 restants : " + std::to_string(count.left) + "</p>";
  }
  out += "</header>\n<main>";
  if (isRunning(state)) out += matchesSection(state, tables);
  out += resultsSection(state, log);
  out += standingsSection(state);
  out += "</main>\n<script>";
  out += kScript;
  out += "</script></body></html>\n";
  return out;
}

std::string screenLink() {
  return "<a id=\"lien-ecran\" href=\"ecran.html\">\xC3\x89" "cran de salle</a>";
}
