// The standings the dialogue hands to the players: written after every
// turn, never while a replay runs but once when it ends, and a folder that
// cannot be written reported in the status band while the tournament goes on.
#include <sys/stat.h>

#include "control/control_test_util.h"
#include "control/sharing_status.h"
#include "control/status_line.h"
#include "share/standings_files.h"

namespace {

class SharingTest : public DialogueFixture {
 protected:
  void SetUp() override {
    DialogueFixture::SetUp();
    files.standingsFolder = folder();
    pageAtEachTurn().clear();
  }

  std::string folder() { return save.substr(0, save.rfind('/')); }

  // Whether tournoi.html existed at each turn the dialogue showed.
  static std::vector<bool>& pageAtEachTurn() {
    static std::vector<bool> seen;
    return seen;
  }
  static std::string& watchedPage() {
    static std::string path;
    return path;
  }
  static void watchTurn(const TournamentState&) {
    struct stat info;
    pageAtEachTurn().push_back(stat(watchedPage().c_str(), &info) == 0);
  }

  int runWatched(const std::vector<std::string>& typed) {
    watchedPage() = dir.file("tournoi.html");
    FakeWindow::get().typed.assign(typed.begin(), typed.end());
    Frontend ui = fakeFrontend();
    ui.tournamentShown = watchTurn;
    return runDialogue(ui, files);
  }
};

TEST_F(SharingTest, EveryTurnWritesThePageAndTheSheet) {
  EXPECT_EQ(runWatched({"", "2", "Ana", "Zo\xE9", "Zo\xE9", "Ana"}), 0);
  // The page is written after the first turn is computed, so the second
  // turn finds it.
  EXPECT_EQ(pageAtEachTurn(), (std::vector<bool>{false, true}));
  EXPECT_EQ(fileBytes(dir.file("classement.csv")),
            "\xEF\xBB\xBFPlace;Joueur\r\n1;Zo\xC3\xA9\r\n2;Ana\r\n");
  const std::string page = fileBytes(dir.file("tournoi.html"));
  EXPECT_NE(page.find("Tournoi termin\xC3\xA9"), std::string::npos);
  ASSERT_NE(latestStandings(), nullptr);
  EXPECT_EQ(latestStandings()->page, page);
  EXPECT_EQ(err.str(), "");
}

TEST_F(SharingTest, AReplayWritesOnlyOnceItEnds) {
  writeFile(save, "3\nA\nB\nC\nB\nC\nA\nC\n");
  EXPECT_EQ(runWatched({"load"}), 0);
  // Turns 1 and 2 are replayed; the third is typed (and the window closed).
  EXPECT_EQ(pageAtEachTurn(), (std::vector<bool>{false, false, true}));
  const std::string page = fileBytes(dir.file("tournoi.html"));
  EXPECT_NE(page.find("Matchs jou\xC3\xA9s : 2 \xC2\xB7 restants : 1"), std::string::npos) << page;
}

TEST_F(SharingTest, AnUnwritableFolderIsReportedOnceAndTheTournamentGoesOn) {
  files.standingsFolder = dir.file("missing");
  EXPECT_EQ(runWatched({"", "3", "A", "B", "C", "B", "C", "A", "C"}), 0);
  const std::string reason =
      "Impossible d'ecrire tournoi.html : No such file or directory";
  EXPECT_EQ(err.str(), reason + "\n");
  EXPECT_EQ(statusText(), reason);
  EXPECT_EQ(matchLog().size(), 2u);
}

TEST_F(SharingTest, TheBandShowsTheAddressBesideAFileFailure) {
  setShareAddressNote("Tournoi en ligne : http://10.0.0.2:8080/");
  EXPECT_TRUE(setStandingsFilesNote("Impossible d'ecrire tournoi.html : x"));
  EXPECT_FALSE(setStandingsFilesNote("Impossible d'ecrire tournoi.html : x"));
  EXPECT_EQ(statusText(), std::string("Tournoi en ligne : http://10.0.0.2:8080/") +
                              kStatusSeparator + "Impossible d'ecrire tournoi.html : x");
  EXPECT_TRUE(setStandingsFilesNote(""));
  EXPECT_EQ(statusText(), "Tournoi en ligne : http://10.0.0.2:8080/");
}

}  // namespace
