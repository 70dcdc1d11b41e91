// The standings the dialogue hands to the players: written after every
// turn, never while a replay runs but once when it ends, and a folder that
// cannot be written reported in the status band while the tournament goes on.
#include <sys/stat.h>

#include "control/control_test_util.h"
#include "views/band.h"
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
  // At each turn's winner prompt, once the turn has been shown.
  static void watchTurn(std::string text) {
    fakePrompt(text);
    if (text != "Gagnant : ") return;
    struct stat info;
    pageAtEachTurn().push_back(stat(watchedPage().c_str(), &info) == 0);
  }

  int runWatched(const std::vector<std::string>& typed) {
    watchedPage() = dir.file("tournoi.html");
    FakeWindow::get().typed.assign(typed.begin(), typed.end());
    Frontend ui = fakeFrontend();
    ui.drawPromptLine = watchTurn;
    ui.drawStatusLine = fakeStatus;
    return runDialogue(ui, files);
  }
};

TEST_F(SharingTest, EveryTurnWritesThePageAndTheSheet) {
  EXPECT_EQ(runWatched({"", "2", "Ana", "Zo\xE9", "Zo\xE9", "Ana"}), 0);
  // The page is written as soon as the first turn is shown.
  EXPECT_EQ(pageAtEachTurn(), (std::vector<bool>{true, true}));
  EXPECT_EQ(fileBytes(dir.file("classement.csv")),
            "\xEF\xBB\xBFPlace;Joueur\r\n1;Zo\xC3\xA9\r\n2;Ana\r\n");
  const std::string page = fileBytes(dir.file("tournoi.html"));
  EXPECT_NE(page.find("Tournoi termin\xC3\xA9"), std::string::npos);
  ASSERT_NE(latestStandings(), nullptr);
  EXPECT_EQ(latestStandings()->page, page);
  EXPECT_EQ(fileBytes(dir.file("ecran.html")), latestStandings()->screen);
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
  std::string band;
  for (const std::string& call : calls())
    if (call.rfind("status:", 0) == 0) band = call;
  EXPECT_EQ(band, "status:" + reason + kStatusSeparator + "F2 : places possibles");
  EXPECT_EQ(matchLog().size(), 2u);
}

TEST(StatusBandTest, TheBandShowsTheAddressBesideAFileFailure) {
  StatusBand band;
  band.set(StatusPart::kAddress, "Tournoi en ligne : http://10.0.0.2:8080/");
  EXPECT_TRUE(band.set(StatusPart::kFiles, "Impossible d'ecrire tournoi.html : x"));
  EXPECT_FALSE(band.set(StatusPart::kFiles, "Impossible d'ecrire tournoi.html : x"));
  EXPECT_EQ(band.text(), std::string("Tournoi en ligne : http://10.0.0.2:8080/") +
                             kStatusSeparator + "Impossible d'ecrire tournoi.html : x");
  EXPECT_FALSE(band.warning());
  EXPECT_TRUE(band.set(StatusPart::kFiles, ""));
  EXPECT_EQ(band.text(), "Tournoi en ligne : http://10.0.0.2:8080/");
}

// With sharing, the address is in the band from the start question on.
TEST_F(SharingTest, TheAddressIsShownFromTheStartQuestion) {
  files.shareNote = "Tournoi en ligne : http://10.0.0.2:8080/";
  ui.drawStatusLine = fakeStatus;
  run({});
  EXPECT_EQ(calls(), (Lines{kStartCall, "status:" + files.shareNote, "closed"}));
}

}  // namespace
