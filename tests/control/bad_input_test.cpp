// Damaged input: save.txt that cannot be read or written, loaded files with
// stray bytes, huge lines and huge line counts, and awkward names. Each case
// states the outcome the program has settled on: report, go on, never crash.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "control/dialogue.h"
#include "control_test_util.h"

namespace {

const std::string kRangeCall =
    "message:Le nombre de joueurs doit etre compris entre 2 et 100";
const std::string kWarningCall = std::string("message:") + kUnsavedWarning;

// Like fakeDrawPanels, but a frame drawn while frames are held is skipped,
// as the window skips it: copying the panels of every replayed turn would
// time the fake window rather than the program.
void drawShownPanels(PanelView view) {
  if (!FakeWindow::get().held) fakeDrawPanels(view);
}

class BadInputTest : public DialogueFixture {
 protected:
  // Loads `content` as save.txt; the window is closed once it is replayed.
  int load(const std::string& content) {
    writeFile(save, content);
    return run({"load"});
  }

  // Seconds taken by a load of `content`, printed for the record. Only the
  // frames shown after the replay are kept.
  double timedLoad(const std::string& content, const std::string& label) {
    writeFile(save, content);
    FakeWindow::get().typed = {"load"};
    Frontend ui = fakeFrontend();
    ui.drawPanels = drawShownPanels;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runDialogue(ui, files), 0) << label;
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("[  timing  ] %s: %zu bytes in %.3f s\n", label.c_str(),
                content.size(), took.count());
    return took.count();
  }
};

// What `out` holds once a file has been loaded and wholly replayed: the file
// and a line end, then, after each replayed answer, the rest still to replay
// and a line end, but only once no more than kReplayEchoLimit bytes remain.
std::string expectedConsole(const std::string& content) {
  std::string console = content + "\n";
  size_t next = 0;
  // Lines are replayed while a line feed ends them.
  for (size_t lineEnd = content.find('\n'); lineEnd != std::string::npos;
       lineEnd = content.find('\n', next)) {
    next = lineEnd + 1;
    if (content.size() - next <= kReplayEchoLimit)
      console += content.substr(next) + "\n";
  }
  return console;
}

std::string repeat(const std::string& text, size_t times) {
  std::string all;
  all.reserve(text.size() * times);
  for (size_t i = 0; i < times; ++i) all += text;
  return all;
}

// --- save.txt that cannot be read

TEST_F(BadInputTest, LoadOfADirectoryReportsBothFailuresAndPlaysUnsaved) {
  std::filesystem::create_directory(save);
  EXPECT_EQ(run({"load", "2", "A", "B", "A", "B"}), 0);
  EXPECT_EQ(err.str(), "Impossible de lire save.txt : Is a directory\n"
                       "Impossible d'ouvrir " + save + " : Is a directory\n" +
                       kUnsavedWarning + "\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(calls(), (Lines{kStartCall, "typed:load", kWarningCall, kCountCall,
                            "typed:2", kAutoHintCall, "prompt:Nom du joueur 1 : ",
                            "typed:A", "prompt:Nom du joueur 2 : ", "typed:B",
                            "panels", kTurnHintCall, kWinnerCall, "typed:A",
                            "panels", "prompt:Perdant contre A", "typed:B",
                            "panels", kFinishedCall, kWinnerCall, "closed"}));
  EXPECT_EQ(matchLog(), (Log{result(0, "A", 1, "B")}));
  EXPECT_TRUE(std::filesystem::is_directory(save));
}

TEST_F(BadInputTest, LoadOfAnUnreadableFileKeepsItAndPlaysUnsaved) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads a file whatever its mode";
  writeFile(save, "2\nA\nB\n");
  chmod(save.c_str(), 0);
  EXPECT_EQ(run({"load", "2", "C", "D"}), 0);
  chmod(save.c_str(), 0600);
  // The backup cannot be made either, so the old file is left alone.
  EXPECT_EQ(err.str(), "Impossible de lire save.txt : Permission denied\n"
                       "Impossible de copier " + save + " vers " + backup +
                       " : Permission denied\n" + kUnsavedWarning + "\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(lastLeftFrame(), (Lines{"***** Play match C vs D"}));
  EXPECT_EQ(fileBytes(save), "2\nA\nB\n");
}

TEST_F(BadInputTest, LoadFromAMissingFolderReportsBothFailuresAndPlaysUnsaved) {
  std::string nowhere = dir.file("missing/save.txt");
  files.savePath = nowhere;
  EXPECT_EQ(run({"load", "2", "A", "B", "A", "B"}), 0);
  EXPECT_EQ(err.str(), "Impossible de lire save.txt : No such file or directory\n"
                       "Impossible d'ouvrir " + nowhere +
                       " : No such file or directory\n" + kUnsavedWarning + "\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(matchLog(), (Log{result(0, "A", 1, "B")}));
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

// --- save.txt that cannot be written

TEST_F(BadInputTest, UnwritableSavePathWarnsAtTheCountAndTheRunGoesOn) {
  std::string nowhere = dir.file("missing/save.txt");
  files.savePath = nowhere;
  EXPECT_EQ(run({"", "1", "2", "A", "B", "A", "B"}), 0);
  EXPECT_EQ(err.str(), "Impossible d'ouvrir " + nowhere +
                           " : No such file or directory\n" + kUnsavedWarning + "\n");
  // The warning stands at the first count question; a rejected count
  // replaces it with the range message.
  EXPECT_EQ(calls(), (Lines{kStartCall, "typed:", kWarningCall, kCountCall, "typed:1",
                            kRangeCall, kCountCall, "typed:2", kAutoHintCall,
                            "prompt:Nom du joueur 1 : ", "typed:A",
                            "prompt:Nom du joueur 2 : ", "typed:B", "panels",
                            kTurnHintCall, kWinnerCall, "typed:A", "panels",
                            "prompt:Perdant contre A", "typed:B", "panels",
                            kFinishedCall, kWinnerCall, "closed"}));
  EXPECT_EQ(matchLog(), (Log{result(0, "A", 1, "B")}));
  EXPECT_EQ(lastRightFrame(), (Lines{"1er -> A", "2e  -> B"}));
}

TEST_F(BadInputTest, ReadOnlyWorkingDirectoryWarnsAtTheCountAndTheRunGoesOn) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes whatever the folder's mode";
  std::string folder = dir.file("readonly");
  std::filesystem::create_directory(folder);
  chmod(folder.c_str(), 0555);
  files.savePath = folder + "/save.txt";
  EXPECT_EQ(run({"", "2", "A", "B", "A", "B"}), 0);
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(err.str(), "Impossible d'ouvrir " + files.savePath +
                           " : Permission denied\n" + kUnsavedWarning + "\n");
  EXPECT_EQ(calls()[2], kWarningCall);
  EXPECT_EQ(calls()[3], kCountCall);
  EXPECT_EQ(matchLog(), (Log{result(0, "A", 1, "B")}));
}

// --- stray bytes in a loaded file

TEST_F(BadInputTest, DamagedFilesReplayAsTheirLinesSay) {
  const std::string nul(1, '\0');
  const struct {
    std::string label;
    std::string file;
    Log log;
    std::string saved;  // save.txt as rewritten by the replay
  } cases[] = {
      {"stray carriage returns", "2\r\r\nA\rnn\r\nBob\r\nAnn\r\nB\rob\r\n",
       {result(0, "Ann", 1, "Bob")}, "2\nAnn\nBob\nAnn\nBob\n"},
      // Without a line feed the whole file is one unfinished line.
      {"carriage returns alone", "2\rAnn\rBob\rAnn\rBob\r", {}, ""},
      // The last answer was cut off: the result waits for its loser.
      {"no final line feed", "2\nAnn\nBob\nAnn\nBob", {}, "2\nAnn\nBob\nAnn\n"},
      {"one final byte without line feed", "2\nAnn\nBob\nAnn\nB", {},
       "2\nAnn\nBob\nAnn\n"},
      {"control bytes in names",
       "2\nA" + nul + "B\n\x1b[31m\x7f\t\nA" + nul + "B\n\x1b[31m\x7f\t\n",
       {result(0, "A" + nul + "B", 1, "\x1b[31m\x7f\t")},
       "2\nA" + nul + "B\n\x1b[31m\x7f\t\nA" + nul + "B\n\x1b[31m\x7f\t\n"},
      {"NUL before the count", nul + "2\n2\nA\nB\nA\nB\n",
       {result(0, "A", 1, "B")}, "0\n2\nA\nB\nA\nB\n"},
      {"NUL after the count", "2" + nul + "x\nA\nB\nA\nB\n",
       {result(0, "A", 1, "B")}, "2\nA\nB\nA\nB\n"},
      // An editor's byte order mark spoils the count; every later line is
      // then taken as a count too.
      {"byte order mark", "\xEF\xBB\xBF" "2\nAnn\nBob\n", {}, "0\n0\n0\n"},
      {"only line feeds", "\n\n\n\n", {}, "0\n0\n0\n0\n"},
      {"Latin-1 and 0xFF bytes", "2\n\xE9lise\n\xFF\xFE\n\xE9lise\n\xFF\xFE\n",
       {result(0, "\xE9lise", 1, "\xFF\xFE")},
       "2\n\xE9lise\n\xFF\xFE\n\xE9lise\n\xFF\xFE\n"},
      {"spaces around names", "2\n Ann\nAnn \n Ann\nAnn \n",
       {result(0, " Ann", 1, "Ann ")}, "2\n Ann\nAnn \n Ann\nAnn \n"},
      {"names matching nobody", "2\nAnn\nBob\nann\nBOB\n",
       {result(kNoParticipant, "", kNoParticipant, "")}, "2\nAnn\nBob\nann\nBOB\n"},
  };
  for (const auto& c : cases) {
    resetGlobals();
    EXPECT_EQ(load(c.file), 0) << c.label;
    EXPECT_EQ(matchLog(), c.log) << c.label;
    EXPECT_EQ(fileBytes(save), c.saved) << c.label;
    EXPECT_EQ(fileBytes(backup), c.file) << c.label;
    EXPECT_EQ(out.str(), expectedConsole(c.file)) << c.label;
    EXPECT_EQ(err.str(), "") << c.label;
    EXPECT_EQ(calls().back(), "closed") << c.label;
    out.str("");
  }
}

TEST_F(BadInputTest, ControlBytesReachThePanelsUnchanged) {
  const std::string nul(1, '\0');
  load("2\nA" + nul + "B\n\x1b[2J\n");
  EXPECT_EQ(lastLeftFrame(), (Lines{"***** Play match A" + nul + "B vs \x1b[2J"}));
  EXPECT_EQ(lastRightFrame(), (Lines{"1er -> winner(A" + nul + "B,\x1b[2J)",
                                     "2e  -> loser(A" + nul + "B,\x1b[2J)"}));
}

// --- huge lines

TEST_F(BadInputTest, MegabyteLinesAreCutAndTheNextLineIsTheNextAnswer) {
  const std::string huge(1 << 20, 'n');
  const std::string cut(kMaxAnswerBytes, 'n');
  const std::string file = "2\n" + huge + "\nBob\n" + huge + "\nBob\n";
  double seconds = timedLoad(file, "two 1 MB names");
  EXPECT_LT(seconds, 10.0);
  // The winner answer is cut like the name, so the two still match.
  EXPECT_EQ(matchLog(), (Log{result(0, cut, 1, "Bob")}));
  EXPECT_EQ(fileBytes(save), "2\n" + cut + "\nBob\n" + cut + "\nBob\n");
  EXPECT_EQ(out.str(), expectedConsole(file));
  EXPECT_EQ(lastRightFrame(), (Lines{"1er -> X", "2e  -> Bob"}));
}

TEST_F(BadInputTest, MegabyteOfDigitsIsAClampedCount) {
  const std::string file(1 << 20, '7');
  double seconds = timedLoad(file + "\n", "1 MB count line");
  EXPECT_LT(seconds, 10.0);
  EXPECT_EQ(calls(), (Lines{kStartCall, "typed:load", "hold", kCountCall, "release",
                            kRangeCall, kCountCall, "closed"}));
  EXPECT_EQ(fileBytes(save), "2147483647\n");
  // Without its line feed the same line is an unfinished answer: not
  // replayed, the count is typed.
  resetGlobals();
  EXPECT_LT(timedLoad(file, "1 MB unfinished line"), 10.0);
  EXPECT_EQ(calls(), (Lines{kStartCall, "typed:load", "release", kCountCall, "closed"}));
}

TEST_F(BadInputTest, NamesAreCutTo255BytesAndStillDesignateTheirPlayers) {
  const std::string a(255, 'a'), b(256, 'b'), c(1000, 'c');
  load("3\n" + a + "\n" + b + "\n" + c + "\n" + b + "\n" + c + "\n");
  const std::string b255(255, 'b'), c255(255, 'c');
  EXPECT_EQ(matchLog(), (Log{result(1, b255, 2, c255)}));
  EXPECT_EQ(fileBytes(save), "3\n" + a + "\n" + b255 + "\n" + c255 + "\n" + b255 +
                                 "\n" + c255 + "\n");
  // Too long to be shown: announced and placed as "X".
  EXPECT_EQ(lastLeftFrame(),
            (Lines{"***** Play match X vs X", "***** Play match X vs X"}));
  EXPECT_EQ(lastRightFrame(), (Lines{"1er -> X", "2e  -> X", "3e  -> X"}));
}

// --- names that look like placeholders

TEST_F(BadInputTest, MatchBetweenTwoNamesWithParenthesesIsNeverAnnounced) {
  load("4\nZed (Junior)\n(\nAnn\nBob\n");
  EXPECT_EQ(lastLeftFrame(), (Lines{"***** Play match Ann vs Bob"}));
  EXPECT_EQ(lastRightFrame(),
            (Lines{"1er -> X", "2e  -> X", "3e  -> X", "4e  -> X"}));

  // The unannounced match can still be entered, and then counts.
  resetGlobals();
  load("4\nZed (Junior)\n(\nAnn\nBob\nZed (Junior)\n(\nAnn\nBob\n");
  EXPECT_EQ(matchLog(), (Log{result(0, "Zed (Junior)", 1, "("), result(2, "Ann", 3, "Bob")}));
  EXPECT_EQ(lastLeftFrame(), (Lines{"***** Play match Zed (Junior) vs Ann",
                                    "***** Play match ( vs Bob"}));
  EXPECT_EQ(lastRightFrame(),
            (Lines{"1er -> winner(Zed (Junior),Ann)", "2e  -> loser(Zed (Junior),Ann)",
                   "3e  -> winner((,Bob)", "4e  -> loser((,Bob)"}));
}

// --- huge numbers of lines

TEST_F(BadInputTest, HundredThousandResultLinesLoadWithinSeconds) {
  const size_t lines = 100000;
  const std::string file = "2\nAnn\nBob\n" + repeat("Ann\nBob\n", lines / 2);
  // A bound for runaway costs (an echo or a look-up growing with the square
  // of the file), far above the fraction of a second this takes.
  EXPECT_LT(timedLoad(file, "2 players, 100000 result lines"), 30.0);
  ASSERT_EQ(matchLog().size(), lines / 2);
  EXPECT_EQ(matchLog().front(), result(0, "Ann", 1, "Bob"));
  EXPECT_EQ(matchLog().back(), result(0, "Ann", 1, "Bob"));
  EXPECT_EQ(fileBytes(save), file);
  EXPECT_EQ(out.str(), expectedConsole(file));
  EXPECT_EQ(lastRightFrame(), (Lines{"1er -> Ann", "2e  -> Bob"}));
  EXPECT_EQ(calls().back(), "closed");
}

TEST_F(BadInputTest, HundredThousandCancelLinesLoadWithinSeconds) {
  const size_t lines = 100000;
  const std::string file = "2\nAnn\nBob\nAnn\nBob\n" + repeat("annuler\n\n", lines / 2);
  EXPECT_LT(timedLoad(file, "2 players, 100000 cancel lines"), 30.0);
  EXPECT_EQ(matchLog(), (Log{result(kNoParticipant, "Ann", 1, "Bob")}));
  EXPECT_EQ(fileBytes(save), file);
  EXPECT_EQ(lastLeftFrame(), (Lines{"***** Play match Ann vs Bob"}));
}

// The placement of the players numbered in `group` once every match is
// decided, the lower number always winning: pair winners and the two best of
// a three-way group go up, in list order; each half is placed the same way.
// Every match played along the way is added to `matches`, winner first.
std::vector<int> lowerWinsPlacement(const std::vector<int>& group,
                                    std::vector<std::pair<int, int>>* matches) {
  const size_t n = group.size();
  if (n < 2) return group;
  auto play = [&](int a, int b) { matches->emplace_back(std::min(a, b), std::max(a, b)); };
  std::vector<int> winners, losers;
  const size_t pairs = n % 2 == 0 ? n / 2 : (n - 3) / 2;
  for (size_t i = 0; i < pairs; ++i) {
    play(group[2 * i], group[2 * i + 1]);
    winners.push_back(std::min(group[2 * i], group[2 * i + 1]));
    losers.push_back(std::max(group[2 * i], group[2 * i + 1]));
  }
  if (n % 2 == 1) {
    const int x = group[n - 3], y = group[n - 2], z = group[n - 1];
    play(y, z);
    play(x, z);
    play(x, y);
    const int worst = std::max({x, y, z});
    for (int m : {x, y, z}) (m == worst ? losers : winners).push_back(m);
  }
  std::vector<int> placement = lowerWinsPlacement(winners, matches);
  std::vector<int> lower = lowerWinsPlacement(losers, matches);
  placement.insert(placement.end(), lower.begin(), lower.end());
  return placement;
}

// The standings rows shown for a placement of numbered players.
Lines standingsRows(const std::vector<int>& placement) {
  Lines rows;
  for (size_t place = 1; place <= placement.size(); ++place)
    rows.push_back((place == 1 ? std::string("1er") : std::to_string(place) + "e ") +
                   " -> " + std::to_string(placement[place - 1]));
  return rows;
}

std::vector<int> numbersUpTo(int n) {
  std::vector<int> numbers;
  for (int k = 1; k <= n; ++k) numbers.push_back(k);
  return numbers;
}

// A finished 100-player tournament, then 20,000 lines naming nobody: every
// turn rebuilds a bracket in which all is decided.
TEST_F(BadInputTest, HundredPlayerTournamentThenTwentyThousandLinesCompletes) {
  std::vector<std::pair<int, int>> matches;
  std::vector<int> placement = lowerWinsPlacement(numbersUpTo(100), &matches);
  std::string file = "100\nauto\n";
  for (const auto& m : matches)
    file += std::to_string(m.first) + "\n" + std::to_string(m.second) + "\n";
  const size_t junk = 10000;
  file += repeat("x\ny\n", junk);
  timedLoad(file, "100 players decided, " + std::to_string(2 * (matches.size() + junk)) +
                      " lines");
  ASSERT_EQ(matchLog().size(), matches.size() + junk);
  EXPECT_EQ(matchLog()[0], result(0, "1", 1, "2"));
  EXPECT_EQ(matchLog().back(), result(kNoParticipant, "", kNoParticipant, ""));
  EXPECT_EQ(lastRightFrame(), standingsRows(placement));
  EXPECT_EQ(lastLeftFrame(), Lines{});
  EXPECT_EQ(fileBytes(save), file);
  EXPECT_EQ(out.str(), expectedConsole(file));
}

// Every pair of players decided, the lower number winning, in an order that
// keeps most of the bracket undecided (and its placeholder names nested) for
// thousands of turns.
TEST_F(BadInputTest, HundredPlayerRoundRobinReplaysToTheSameStandings) {
  std::string file = "100\nauto\n";
  size_t results = 0;
  for (int i = 1; i <= 100; ++i) {
    for (int j = i + 1; j <= 100; ++j, ++results)
      file += std::to_string(i) + "\n" + std::to_string(j) + "\n";
  }
  timedLoad(file, "100 players round robin, " + std::to_string(2 * results) + " lines");
  ASSERT_EQ(matchLog().size(), results);
  EXPECT_EQ(matchLog().back(), result(98, "99", 99, "100"));
  std::vector<std::pair<int, int>> matches;
  EXPECT_EQ(lastRightFrame(), standingsRows(lowerWinsPlacement(numbersUpTo(100), &matches)));
  EXPECT_EQ(lastLeftFrame(), Lines{});
  EXPECT_EQ(fileBytes(save), file);
}

}  // namespace
