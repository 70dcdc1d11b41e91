// The renderings of the standings: names converted and escaped for each
// format, the page's sections as the state has them, the reload only while
// the tournament runs, and the sheet's rows.
#include <gtest/gtest.h>

#include "control/program_state.h"
#include "engine/match_log.h"
#include "engine/tournament_state.h"
#include "share/standings_files.h"
#include "views/json.h"
#include "views/page.h"
#include "views/sheet.h"
#include "views/place_words.h"
#include "views/tournament_words.h"
#include "views/text_escape.h"

namespace {

// --- names

struct EscapeCase {
  std::string latin1;
  std::string html, json, csv;
};

TEST(TextEscapeTest, EachFormatGetsTheNameAsTyped) {
  const EscapeCase cases[] = {
      {"Ana", "Ana", "\"Ana\"", "Ana"},
      {"Zo\xE9", "Zo\xC3\xA9", "\"Zo\xC3\xA9\"", "Zo\xC3\xA9"},
      {"\xFF\x80", "\xC3\xBF\xC2\x80", "\"\xC3\xBF\xC2\x80\"", "\xC3\xBF\xC2\x80"},
      {"<script>", "&lt;script&gt;", "\"<script>\"", "<script>"},
      {"\"&'", "&quot;&amp;&#39;", "\"\\\"&'\"", "\"\"\"&'\""},
      {"a\\b", "a\\b", "\"a\\\\b\"", "a\\b"},
      {"=1+1", "=1+1", "\"=1+1\"", "'=1+1"},
      {"+33", "+33", "\"+33\"", "'+33"},
      {"-x", "-x", "\"-x\"", "'-x"},
      {"@a", "@a", "\"@a\"", "'@a"},
      {"a;b", "a;b", "\"a;b\"", "\"a;b\""},
      {"=a;b", "=a;b", "\"=a;b\"", "\"'=a;b\""},
      {" pad", " pad", "\" pad\"", "\" pad\""},
      {"x\x01y", "x\xEF\xBF\xBDy", "\"x\\u0001y\"", "x\x01y"},
      {"l1\nl2", "l1\nl2", "\"l1\\nl2\"", "\"l1\nl2\""},
      {"", "", "\"\"", ""},
  };
  for (const EscapeCase& c : cases) {
    const std::string utf8 = latin1ToUtf8(c.latin1);
    EXPECT_EQ(escapeHtml(utf8), c.html) << "typed: " << c.latin1;
    EXPECT_EQ(jsonString(utf8), c.json) << "typed: " << c.latin1;
    EXPECT_EQ(csvField(utf8), c.csv) << "typed: " << c.latin1;
  }
}

TEST(StandingsTextTest, PlacesJoinRunsOfThreeOrMore) {
  EXPECT_EQ(placesText({1}, " \xC3\xA0 "), "1er");
  EXPECT_EQ(placesText({1, 2}, " \xC3\xA0 "), "1er \xC3\xA0 2e");
  EXPECT_EQ(placesText({1, 2, 3}, " \xC3\xA0 "), "1er \xC3\xA0 3e");
  EXPECT_EQ(placesText({2, 3, 4, 7, 9, 10, 11}, " \xC3\xA0 "), "2e \xC3\xA0 4e, 7e, 9e \xC3\xA0 11e");
}

TEST(StandingsTextTest, PlaceholdersSayWhatTheyWaitFor) {
  EXPECT_EQ(sideText(Participant{3, "winner(A,B)"}), "winner(A,B)");
  EXPECT_EQ(sideText(Participant{101, "winner(A,B)"}), "vainqueur de A \xE2\x80\x93 B");
  EXPECT_EQ(sideText(Participant{102, "loser(winner(A,B),t1(C,D,E))"}),
            "perdant de (vainqueur de A \xE2\x80\x93 B) \xE2\x80\x93 "
            "(qualifi\xC3\xA9 du groupe C \xE2\x80\x93 D \xE2\x80\x93 E)");
  EXPECT_EQ(sideText(Participant{104, "winner(loser(A,B),t2(C,D"}),
            "vainqueur de (perdant de A \xE2\x80\x93 B) \xE2\x80\x93 "
            "(qualifi\xC3\xA9 du groupe C \xE2\x80\x93 D)");
  EXPECT_EQ(sideText(Participant{103, "t3(A,B,C"}), "dernier du groupe A \xE2\x80\x93 B \xE2\x80\x93 C");
  EXPECT_EQ(sideText(Participant{0, ""}), "?");
}

// --- the page and the sheet of a real tournament

class StandingsRenderTest : public ::testing::Test {
 protected:
  void SetUp() override { resetProgramState(); }
  void TearDown() override { resetProgramState(); }

  std::vector<Participant> players(std::vector<std::string> names) {
    std::vector<Participant> out;
    for (size_t i = 0; i < names.size(); ++i)
      out.push_back(Participant{static_cast<int32_t>(i), names[i]});
    return out;
  }
};

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST_F(StandingsRenderTest, ResultsShowHowEachEntryWasUsed) {
  const auto p = players({"A", "B", "C", "D"});
  appendResult(MatchRecord{p[1], p[0]});
  cancelLastResult();
  appendResult(MatchRecord{p[0], p[1]});
  appendResult(MatchRecord{p[1], p[0]});  // the older live entry decides
  const TournamentState state = computeTournament(p, resultLog());
  const std::string page = renderPage(state, matchLog());
  EXPECT_NE(page.find("<li class=\"annule\"><s><span class=\"nom\">B</span> bat <span "
                      "class=\"nom\">A</span></s><span class=\"note\">annul\xC3\xA9</span></li>"
                      "<li class=\"compte\"><span class=\"nom\">A</span> bat <span "
                      "class=\"nom\">B</span></li><li class=\"sans-objet\"><span "
                      "class=\"nom\">B</span> bat <span class=\"nom\">A</span><span "
                      "class=\"note\">sans objet</span></li>"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("Matchs jou\xC3\xA9s : 1 \xC2\xB7 restants : 3"), std::string::npos);
  // C-D is playable; the finals wait for it.
  EXPECT_NE(page.find("<ol class=\"jouables\"><li><span class=\"nom\">C</span> <span "
                      "class=\"contre\">contre</span> <span class=\"nom\">D</span></li></ol>"),
            std::string::npos);
  EXPECT_EQ(count(page, "<ul class=\"attente\">"), 1u);
}

// With tables, the page lists the called matches first with their table and
// the others apart; the JSON gives every match its table and the count.
TEST_F(StandingsRenderTest, TablesComeFirstOnThePageAndInTheJson) {
  const auto p = players({"A", "B", "C", "D", "E", "F"});
  const TournamentState state = computeTournament(p, resultLog());
  const TableAssignment tables = assignTables({}, 2, state, matchLog());
  const std::string page = renderPage(state, matchLog(), tables);
  EXPECT_NE(page.find("<ul class=\"jouables tables\"><li><span class=\"table\">Table 1 :</span> "
                      "<span class=\"nom\">A</span>"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("Table 2 :</span> <span class=\"nom\">C</span>"), std::string::npos);
  EXPECT_NE(page.find("<h3>En attente d'une table</h3><ol class=\"jouables\"><li><span "
                      "class=\"nom\">E</span>"),
            std::string::npos);
  const std::string json = renderJson(state, matchLog(), tables);
  EXPECT_NE(json.find("\"tables\":2,"), std::string::npos) << json;
  EXPECT_EQ(count(json, "\"table\":1,"), 1u);
  EXPECT_EQ(count(json, "\"table\":2,"), 1u);
  EXPECT_EQ(count(json, "\"table\":null,"), state.toPlay.size() - 2);
  // Without tables: no table anywhere on the page, 0 in the JSON.
  EXPECT_EQ(count(renderPage(state, matchLog()), "Table "), 0u);
  EXPECT_NE(renderJson(state, matchLog()).find("\"tables\":0,"), std::string::npos);
}

TEST_F(StandingsRenderTest, OnlyARunningTournamentReloads) {
  const auto p = players({"A", "B"});
  const std::string refresh = "<meta http-equiv=\"refresh\" content=\"10\">";
  EXPECT_EQ(count(renderPage(TournamentState{}, {}), refresh), 1u) << "before the names";
  EXPECT_EQ(count(renderPage(computeTournament(p, resultLog()), matchLog()), refresh), 1u) << "running";
  appendResult(MatchRecord{p[1], p[0]});
  const TournamentState finished = computeTournament(p, resultLog());
  ASSERT_TRUE(finished.finished());
  const std::string page = renderPage(finished, matchLog());
  EXPECT_EQ(count(page, refresh), 0u);
  EXPECT_NE(page.find("Classement final"), std::string::npos);
  EXPECT_NE(page.find("restants : 0"), std::string::npos);
}

TEST_F(StandingsRenderTest, NamesNeverBecomeMarkup) {
  const auto p = players({"<script>x</script>", "a\"b' onload=\"x", "&amp;"});
  appendResult(MatchRecord{p[1], p[2]});
  const TournamentState state = computeTournament(p, resultLog());
  const std::string page = renderPage(state, matchLog());
  // The only script elements are the page's own.
  EXPECT_EQ(count(page, "<script"), count(page, "<script>(function(){"));
  EXPECT_EQ(count(page, "onload=\""), 0u);
  EXPECT_EQ(count(page, "&amp;amp;"), count(page, "&lt;script&gt;"));
  EXPECT_GT(count(page, "&lt;script&gt;x&lt;/script&gt;"), 0u);
}

TEST_F(StandingsRenderTest, SheetLeavesUndecidedPlacesEmpty) {
  const auto p = players({"Zo\xE9", "=B", "C"});
  EXPECT_EQ(renderCsv(computeTournament(p, resultLog())),
            "\xEF\xBB\xBFPlace;Joueur\r\n1;\r\n2;\r\n3;\r\n");
  appendResult(MatchRecord{p[1], p[2]});
  appendResult(MatchRecord{p[0], p[2]});
  appendResult(MatchRecord{p[0], p[1]});
  EXPECT_EQ(renderCsv(computeTournament(p, resultLog())),
            "\xEF\xBB\xBFPlace;Joueur\r\n1;Zo\xC3\xA9\r\n2;'=B\r\n3;C\r\n");
}

}  // namespace
