// The prompts that take a player's name, as the operator meets them: Tab,
// the offered opponent, and every refusal, which is never saved.
#include "control/name_prompts.h"

#include <gtest/gtest.h>

#include "control_test_util.h"

namespace {

class NamePromptsTest : public DialogueFixture {
 protected:
  // The message strips drawn after the named call, in order.
  Lines messagesAfter(const std::string& call) {
    Lines messages;
    bool seen = false;
    for (const std::string& c : calls()) {
      if (c == call) seen = true;
      if (seen && c.rfind("message:", 0) == 0) messages.push_back(c.substr(8));
    }
    return messages;
  }
};

// --- refusals: each typed answer is refused with its reason, nothing of it
// is saved, and the same question is asked again.

TEST_F(NamePromptsTest, EachPromptRefusesWhatCannotBeAName) {
  const std::string nobody = "Aucun joueur ne s'appelle \xAB Zed \xBB";
  const struct {
    const char* label;
    Lines typed;           // after the start choice
    std::string refusal;   // the message the bad answer gets
    std::string saved;     // save.txt at the end
  } cases[] = {
      {"a name taken, other case and accents", {"2", "H\xE9l\xE8ne", "HELENE", "Bob"},
       "Ce nom est deja pris par le joueur 1", "2\nH\xE9l\xE8ne\nBob\n"},
      {"an empty name", {"2", "", "Ann", "Bob"}, "Le nom ne peut pas etre vide",
       "2\nAnn\nBob\n"},
      {"a command word", {"2", "Ann", "Corriger", "Bob"},
       "\"corriger\" est une commande, pas un nom", "2\nAnn\nBob\n"},
      {"a winner of nobody", {"2", "Ann", "Bob", "Zed", "bob", "Ann"}, nobody,
       "2\nAnn\nBob\nBob\nAnn\n"},
      {"a typo gets the closest name", {"2", "Ann", "Bob", "Bbo", "Bob", "Ann"},
       "Aucun joueur ne s'appelle \xAB Bbo \xBB : Bob ?", "2\nAnn\nBob\nBob\nAnn\n"},
      {"the loser is the winner", {"2", "Ann", "Bob", "Ann", "ann", "Bob"},
       "Le perdant doit etre un autre joueur que Ann", "2\nAnn\nBob\nAnn\nBob\n"},
      {"a loser of nobody", {"2", "Ann", "Bob", "Ann", "Zed", "Bob"}, nobody,
       "2\nAnn\nBob\nAnn\nBob\n"},
      {"a true winner of nobody", {"2", "Ann", "Bob", "Ann", "Bob", "corriger", "Zed", "Bob", "Ann", "non"},
       nobody, "2\nAnn\nBob\nAnn\nBob\ncorriger\nBob\nAnn\nnon\n"},
  };
  for (const auto& c : cases) {
    resetGlobals();
    Lines typed = {""};
    typed.insert(typed.end(), c.typed.begin(), c.typed.end());
    run(typed);
    const Lines messages = messagesAfter(kStartCall);
    EXPECT_NE(std::find(messages.begin(), messages.end(), c.refusal), messages.end())
        << c.label;
    EXPECT_EQ(fileBytes(save), c.saved) << c.label;
  }
}

// --- Tab, and the opponent offered

TEST_F(NamePromptsTest, TabCompletesAWinnerAndEnterTakesTheOfferedOpponent) {
  // "dup<Tab>" completes the second word of Jean Dupont; the loser prompt
  // opens on his only opponent, which Enter takes.
  run({"", "4", "Jean Dupont", "H\xE9l\xE8ne", "Cy", "Dee", "dup\t", "", "cy\t", "de\t"});
  EXPECT_EQ(fileBytes(save),
            "4\nJean Dupont\nH\xE9l\xE8ne\nCy\nDee\nJean Dupont\nH\xE9l\xE8ne\nCy\nDee\n");
}

// Shift before a capital types nothing: the capital still replaces the
// offered name rather than joining it.
TEST_F(NamePromptsTest, AKeyThatTypesNothingKeepsTheOfferForTheNextLetter) {
  run({"", "3", "Ann", "Bob", "Cy", "Bob", std::string("\0C\0y", 4)});
  EXPECT_EQ(fileBytes(save), "3\nAnn\nBob\nCy\nBob\nCy\n");
}

// After a refused name the next player's prompt shows the hint again, not
// the refusal of the player before.
TEST_F(NamePromptsTest, TheHintComesBackAfterARefusedName) {
  run({"", "3", "Ann", "ann", "Bob"});
  const Lines messages = messagesAfter("typed:3");
  EXPECT_EQ(messages, (Lines{"Tapez 'auto' pour nommer les joueurs automatiquement",
                             "Ce nom est deja pris par le joueur 1",
                             "Tapez 'auto' pour nommer les joueurs automatiquement"}));
}

TEST_F(NamePromptsTest, TabCyclesThroughSeveralCandidatesListingThem) {
  // "j<Tab>" finds Jean and Jeanne: their common start, then each in turn.
  run({"", "4", "Jean", "Jeanne", "Cy", "Dee", "j\t\t\t", "Jeanne"});
  const Lines messages = messagesAfter("prompt:Gagnant : ");
  EXPECT_EQ(messages.at(0), "Jean  Jeanne");
  // The first Tab completes their common start, "Jean"; the second shows
  // Jeanne, the third Jean again.
  EXPECT_EQ(fileBytes(save), "4\nJean\nJeanne\nCy\nDee\nJean\nJeanne\n");
}

TEST_F(NamePromptsTest, AMemberOfAThreeWayGroupHasBothOpponentsOnTab) {
  // Ann, Bob, Cy: a three-way group. Ann can lose to Bob or Cy: the loser
  // prompt opens empty and Tab shows Cy (the first of her matches), then Bob.
  run({"", "3", "Ann", "Bob", "Cy", "Ann", "\t", "Ann", "\t\t"});
  EXPECT_EQ(fileBytes(save), "3\nAnn\nBob\nCy\nAnn\nCy\nAnn\nBob\n");
}

TEST_F(NamePromptsTest, AResultAheadOfItsMatchIsTakenAndSaidToWait) {
  // Ann-Bob and Cy-Dee are to play; Ann beating Cy is for a later round.
  run({"", "4", "Ann", "Bob", "Cy", "Dee", "Ann", "Cy"});
  EXPECT_EQ(matchLog(), (Log{result(0, "Ann", 2, "Cy")}));
  EXPECT_EQ(messagesAfter("prompt:Perdant contre Ann").at(0),
            "Resultat Ann contre Cy enregistre : il comptera quand leur match viendra");
}

// --- players from a list file

TEST_F(NamePromptsTest, AListFileGivesThePlayersAsIfTyped) {
  files.playersFile = dir.file("joueurs.txt");
  writeFile(files.playersFile, "nom\r\nH\xC3\xA9l\xC3\xA8ne\r\n\r\nBob\r\nCy\r\n");
  EXPECT_EQ(run({"quit"}), 0);
  EXPECT_EQ(fileBytes(save), "3\nH\xE9l\xE8ne\nBob\nCy\nquit\n");
}

TEST_F(NamePromptsTest, ABadListFileIsRefusedLineByLineBeforeAnythingIsWritten) {
  writeFile(save, "2\nA\nB\n");
  files.playersFile = dir.file("joueurs.txt");
  writeFile(files.playersFile, "Ann\nann\nquit\nBob\n");
  EXPECT_EQ(run({""}), 1);
  EXPECT_EQ(err.str(), files.playersFile + " : Ligne 2 : Ce nom figure deja a la ligne 1\n" +
                           files.playersFile +
                           " : Ligne 3 : \"quit\" est une commande, pas un nom\n");
  EXPECT_EQ(lastLeftFrame(), (Lines{"Ligne 2 : Ce nom figure deja a la ligne 1",
                                    "Ligne 3 : \"quit\" est une commande, pas un nom"}));
  EXPECT_EQ(fileBytes(save), "2\nA\nB\n");
  EXPECT_FALSE(std::filesystem::exists(backup));
}

}  // namespace
