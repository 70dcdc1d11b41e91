// The room's screen, each player's own view on the page, and the words for
// a side of a match not known yet, against tournaments played through the
// engine: names escaped, the newest results first, tables shown, waiting
// sides in words and never a placeholder's generated name, a finished
// tournament.
#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <set>

#include "engine/tables.h"
#include "engine/tournament_play.h"
#include "views/json.h"
#include "views/page.h"
#include "views/place_words.h"
#include "views/player_view.h"
#include "views/screen.h"
#include "views/text_escape.h"
#include "views/tournament_words.h"

namespace {

const std::string kDash = " \xE2\x80\x93 ";

// The text of an HTML fragment: tags dropped, the entities escapeHtml
// writes replaced.
std::string textOf(const std::string& html) {
  std::string out;
  bool inTag = false;
  for (char c : html) {
    if (c == '<') inTag = true;
    if (!inTag) out += c;
    if (c == '>') inTag = false;
  }
  static const std::pair<const char*, const char*> kEntities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& e : kEntities)
    for (size_t at = out.find(e.first); at != std::string::npos; at = out.find(e.first, at + 1))
      out.replace(at, std::string(e.first).size(), e.second);
  return out;
}

// From the element that starts with `open` to its closing tag `close`.
std::string part(const std::string& html, const std::string& open, const std::string& close) {
  const size_t start = html.find(open);
  if (start == std::string::npos) return "";
  const size_t end = html.find(close, start);
  return html.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The text of each item of the section, in order.
std::vector<std::string> items(const std::string& html, const std::string& section) {
  const std::string inside = part(html, "<section id=\"" + section + "\"", "</section>");
  std::vector<std::string> out;
  for (size_t at = inside.find("<li"); at != std::string::npos; at = inside.find("<li", at + 1))
    out.push_back(textOf(inside.substr(at, inside.find("</li>", at) - at)));
  return out;
}

// A player's own block on the page, as text.
std::string playerBlock(const std::string& page, int id) {
  return textOf(part(page, "<div class=\"fiche\" id=\"fiche-" + std::to_string(id) + "\"",
                     "</div>"));
}

std::vector<Participant> named(const std::vector<std::string>& names) {
  std::vector<Participant> out;
  for (size_t i = 0; i < names.size(); ++i)
    out.push_back(Participant{static_cast<int32_t>(i), names[i]});
  return out;
}

bool isPlayerName(const TournamentState& state, const std::string& utf8) {
  for (const Participant& p : state.players)
    if (nameText(p.name) == utf8) return true;
  return false;
}

// Every side of every match to play, turn after turn, in tournaments of
// many sizes, some with a player who left: a player's side is the name; a
// side not known yet says where it comes from in words, each of them a
// player's whole name or a match or group further up by its number; when it
// names two players, their match is one still to play. Neither the page nor
// the JSON ever shows a generated name, and a waiting player's own view
// says what the player waits for in the same words.
TEST(MatchSidesTextTest, WaitingSidesSayWhereTheyComeFrom) {
  const std::regex further("(vainqueur|perdant) du match [0-9]+|"
                           "(qualifi\xC3\xA9|dernier) du groupe [0-9]+");
  const std::regex described("(vainqueur de |perdant de |qualifi\xC3\xA9 du groupe |"
                             "dernier du groupe )(.*)");
  size_t waitingSeen = 0;
  for (int n : {3, 5, 6, 8, 11, 16, 23, 40}) {
    const std::vector<Participant> players = numberedPlayers(n);
    std::mt19937 rng(static_cast<uint32_t>(n));
    std::vector<int32_t> withdrawn;
    ResultLog log;
    for (int turn = 0; turn < 4 * n; ++turn) {
      if (turn == n / 2 && n % 2 == 1) withdrawn.push_back(static_cast<int32_t>(rng() % n));
      const TournamentState state = computeTournament(players, log, withdrawn);
      const std::vector<std::array<std::string, 2>> sides = matchSidesText(state);
      const std::string page = renderPage(state, log.entries());
      ASSERT_EQ(sides.size(), state.toPlay.size());
      std::set<std::pair<std::string, std::string>> playable;
      for (const MatchToPlay& m : state.toPlay)
        if (m.playable) playable.insert({nameText(m.first.name), nameText(m.second.name)});
      for (size_t i = 0; i < sides.size(); ++i) {
        const MatchToPlay& m = state.toPlay[i];
        const Participant* side[] = {&m.first, &m.second};
        for (int s = 0; s < 2; ++s) {
          const std::string& text = sides[i][s];
          if (isPlayerId(side[s]->id)) {
            EXPECT_EQ(text, nameText(side[s]->name));
            continue;
          }
          ++waitingSeen;
          std::smatch words;
          ASSERT_TRUE(std::regex_match(text, words, described)) << text;
          std::vector<std::string> parts;
          std::string rest = words[2];
          for (size_t at; (at = rest.find(kDash)) != std::string::npos;
               rest = rest.substr(at + kDash.size()))
            parts.push_back(rest.substr(0, at));
          parts.push_back(rest);
          EXPECT_EQ(parts.size(), words[1].str()[0] == 'v' || words[1].str()[0] == 'p' ? 2u : 3u)
              << text;
          for (const std::string& p : parts)
            EXPECT_TRUE(isPlayerName(state, p) || std::regex_match(p, further)) << text;
          if (parts.size() == 2 && isPlayerName(state, parts[0]) &&
              isPlayerName(state, parts[1])) {
            EXPECT_TRUE(playable.count({parts[0], parts[1]})) << text;
          }
          // The waiting player's own view, in the same words.
          const int32_t waiter = side[1 - s]->id;
          if (isPlayerId(waiter)) {
            EXPECT_NE(playerBlock(page, waiter).find("En attente : contre le " + text),
                      std::string::npos)
                << playerBlock(page, waiter);
          }
        }
      }
      const std::string shown = page + renderJson(state, log.entries());
      for (const char* tag : {"winner(", "loser(", "t1(", "t2(", "t3("})
        EXPECT_EQ(shown.find(tag), std::string::npos) << n << " players, turn " << turn;
      const std::vector<IdPair> open = playableMatches(state);
      if (open.empty()) break;
      IdPair match = open[rng() % open.size()];
      if (rng() % 2) std::swap(match.first, match.second);
      log.append(MatchRecord{players[match.first], players[match.second]});
    }
  }
  EXPECT_GT(waitingSeen, 100u);
}

class ScreenTest : public ::testing::Test {
 protected:
  // Plays the first playable match, the first side winning, `results`
  // times; one result is entered the wrong way round first and cancelled.
  void play(int results) {
    for (int played = 0; played < results; ++played) {
      const std::vector<IdPair> open = playableMatches(computeTournament(players, log, withdrawn));
      ASSERT_FALSE(open.empty());
      if (played == 2) {
        log.append(MatchRecord{players[open[0].second], players[open[0].first]});
        log.cancel(log.entries().size() - 1);
      }
      log.append(MatchRecord{players[open[0].first], players[open[0].second]});
    }
  }
  TournamentState state() const { return computeTournament(players, log, withdrawn); }

  std::vector<Participant> players;
  std::vector<int32_t> withdrawn;
  ResultLog log;
};

TEST_F(ScreenTest, ShowsTablesTheNewestResultsFirstAndEscapedNames) {
  players = named({"<b>Ann</b>", "Bob & \"Cid\"", "Dee's", "Eve", "Fay", "Gus", "Hal", "Ivy"});
  play(7);
  const TournamentState now = state();
  const TableAssignment tables = assignTables({}, 2, now, log.entries());
  const std::string screen = renderScreen(now, log.entries(), tables);

  // The five newest used results, newest first; the cancelled one is not
  // there.
  std::vector<std::string> expected;
  for (auto at = now.usedResults.rbegin(); at != now.usedResults.rend() && expected.size() < 5;
       ++at) {
    const MatchRecord& r = log.entries()[*at];
    expected.push_back(nameText(r.winner.name) + " bat " + nameText(r.loser.name));
  }
  ASSERT_EQ(now.usedResults.size(), 7u);
  EXPECT_EQ(items(screen, "resultats"), expected);

  // The two tables first, by table, then the other playable matches under
  // their heading; matches waiting for a result are not on the screen.
  const std::vector<std::string> matches = items(screen, "a-jouer");
  const std::vector<int> tableOf = tableOfMatches(tables, now);
  std::vector<std::string> want(2);
  std::vector<std::string> free;
  for (size_t i = 0; i < now.toPlay.size(); ++i) {
    const MatchToPlay& m = now.toPlay[i];
    const std::string text = nameText(m.first.name) + " contre " + nameText(m.second.name);
    if (tableOf[i] > 0) want[tableOf[i] - 1] = "Table " + std::to_string(tableOf[i]) + " : " + text;
    else if (m.playable) free.push_back(text);
  }
  ASSERT_FALSE(want[0].empty() || want[1].empty()) << "two matches at tables";
  if (!free.empty()) want.push_back("En attente d'une table");
  want.insert(want.end(), free.begin(), free.end());
  EXPECT_EQ(matches, want) << screen;

  // Names as typed, never as markup.
  EXPECT_EQ(screen.find("<b>Ann"), std::string::npos);
  EXPECT_NE(screen.find("&lt;b&gt;Ann&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(screen.find("Bob & "), std::string::npos);
  EXPECT_EQ(screen.find("\"Cid\""), std::string::npos);
  EXPECT_EQ(screen.find("Dee's"), std::string::npos);
  // The standings, one item per place; the screen runs its pages and
  // reloads without script too.
  EXPECT_EQ(items(screen, "classement").size(), players.size());
  EXPECT_NE(screen.find("Classement provisoire"), std::string::npos);
  EXPECT_NE(screen.find("<noscript><meta http-equiv=\"refresh\" content=\"10\">"),
            std::string::npos);
}

TEST_F(ScreenTest, AFinishedTournamentShowsTheFinalStandingsAndTheForfeit) {
  players = named({"Ann", "Bob", "Cid", "Dee", "Eve"});
  withdrawn = {3};
  for (std::vector<IdPair> open = playableMatches(state()); !open.empty();
       open = playableMatches(state()))
    log.append(MatchRecord{players[open[0].first], players[open[0].second]});
  const TournamentState end = state();
  ASSERT_TRUE(end.finished());
  ASSERT_FALSE(end.forfeits.empty());
  const std::string screen = renderScreen(end, log.entries());
  EXPECT_EQ(screen.find("id=\"a-jouer\""), std::string::npos);
  EXPECT_NE(screen.find("<body class=\"fin\">"), std::string::npos);
  EXPECT_NE(screen.find("Classement final"), std::string::npos);
  EXPECT_EQ(screen.find("http-equiv=\"refresh\""), std::string::npos);
  std::vector<std::string> standings;
  for (const Participant& p : end.placement)
    standings.push_back(placeName(static_cast<int>(standings.size()) + 1) + " " +
                        nameText(p.name) + (p.id == 3 ? " (forfait)" : ""));
  EXPECT_EQ(items(screen, "classement"), standings);

  // Each player's own view: the final place, and the forfeits apart.
  const std::string page = renderPage(end, log.entries());
  for (size_t id = 0; id < players.size(); ++id) {
    const std::string block = playerBlock(page, static_cast<int>(id));
    EXPECT_NE(block.find("Place finale : " + placeName(end.reachable[id][0])), std::string::npos)
        << block;
    EXPECT_EQ(block.find("jouer maintenant"), std::string::npos) << block;
  }
  for (const MatchRecord& f : end.forfeits) {
    EXPECT_NE(playerBlock(page, f.winner.id).find("Gagn\xC3\xA9 par forfait contre Dee"),
              std::string::npos);
    EXPECT_NE(playerBlock(page, 3).find("Perdu par forfait contre " + f.winner.name),
              std::string::npos);
  }
}

// A player called to a table sees the table and the opponent; one who
// waits for a table is told so; the results come in entry order, the
// cancelled one left out; the names to pick from are in the order a person
// expects, escaped.
TEST_F(ScreenTest, EachPlayerSeesTheirOwnMatchTableAndResults) {
  players = named({"Joueur 10", "\xC9lise", "Joueur 2", "dan", "Fr\xE9" "d <i>", "Alix"});
  play(3);
  const TournamentState now = state();
  const TableAssignment tables = assignTables({}, 1, now, log.entries());
  ASSERT_EQ(tables.seated.size(), 1u);
  const std::string page = renderPage(now, log.entries(), tables);
  const SeatedMatch& seated = tables.seated[0];
  EXPECT_NE(playerBlock(page, seated.first)
                .find("\xC3\x80 jouer maintenant : Table 1 : contre " +
                      nameText(players[seated.second].name)),
            std::string::npos)
      << playerBlock(page, seated.first);
  int waitingForTable = 0;
  for (const MatchToPlay& m : now.toPlay) {
    const std::set<int32_t> atTable = {seated.first, seated.second};
    if (!m.playable || atTable.count(m.first.id) || atTable.count(m.second.id)) continue;
    EXPECT_NE(playerBlock(page, m.first.id).find("contre " + nameText(m.second.name) +
                                                 ", en attente d'une table"),
              std::string::npos);
    ++waitingForTable;
  }
  EXPECT_GT(waitingForTable, 0);

  for (size_t id = 0; id < players.size(); ++id) {
    std::string results;
    const int32_t player = static_cast<int32_t>(id);
    for (size_t position : now.usedResults) {
      const MatchRecord& r = log.entries()[position];
      if (r.winner.id == player) results += "Gagn\xC3\xA9 contre " + nameText(r.loser.name);
      if (r.loser.id == player) results += "Perdu contre " + nameText(r.winner.name);
    }
    const std::string block = playerBlock(page, static_cast<int>(id));
    const size_t from = block.find("R\xC3\xA9sultats");
    ASSERT_NE(from, std::string::npos);
    EXPECT_EQ(block.substr(from + std::string("R\xC3\xA9sultats").size()),
              results.empty() ? "Aucun r\xC3\xA9sultat pour l'instant." : results);
  }

  const std::string choices = part(page, "<select id=\"choix-joueur\"", "</select>");
  std::vector<std::string> order;
  for (size_t at = choices.find("<option value=\""); at != std::string::npos;
       at = choices.find("<option value=\"", at + 1))
    order.push_back(textOf(choices.substr(at, choices.find("</option>", at) - at)));
  EXPECT_EQ(order, (std::vector<std::string>{"\xE2\x80\x94 choisir \xE2\x80\x94", "Alix", "dan",
                                             "\xC3\x89lise", "Fr\xC3\xA9" "d <i>", "Joueur 2",
                                             "Joueur 10"}));
  EXPECT_EQ(page.find("<i>"), std::string::npos);
  EXPECT_NE(page.find("data-nom=\"Fr\xC3\xA9" "d &lt;i&gt;\""), std::string::npos);
}

}  // namespace
