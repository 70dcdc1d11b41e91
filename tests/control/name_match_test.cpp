// Name folding, matching, Tab completion, close names and the checks made
// when players are entered by hand or read from a list file.
#include "control/name_match.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Ids = std::vector<int32_t>;
using Names = std::vector<std::string>;

// Players as entered: player k gets id k.
std::vector<Participant> entered(const Names& names) {
  std::vector<Participant> players;
  for (const std::string& name : names)
    players.push_back(Participant{static_cast<int32_t>(players.size()), name});
  return players;
}

// Helene Martin and Emilie Francois carry their accents as Latin-1 bytes.
const Names kClubNames = {"Jean Dupont",  "H\xE9l\xE8ne Martin", "Jean-Pierre Roux",
                          "Marie Dupuis", "Jean", "O'Neil", "\xC9milie Fran\xE7ois"};
const std::vector<Participant> kClub = entered(kClubNames);

// --- folding

TEST(NameMatchTest, FoldingDropsCaseAndAccents) {
  for (int c = 0; c < 0xDF; ++c) {  // each upper case letter and its lower case
    if ((c < 'A' || c > 'Z') && (c < 0xC0 || c == 0xD7)) continue;
    EXPECT_TRUE(sameName(std::string(1, static_cast<char>(c)),
                         std::string(1, static_cast<char>(c + 0x20))))
        << "byte " << c;
  }
  EXPECT_EQ(foldName("\xC0\xC1\xC5\xC7\xC8\xCB\xCC\xCF\xD0\xD1\xD2\xD6\xD8\xD9\xDC\xDD"),
            "aaaceeiidnooouuy");
  EXPECT_EQ(foldName("\xC6sop Stra\xDF" "e \xFF"), "aesop strasse y");
  EXPECT_EQ(foldName("2\xD7" "3 \xDE\xA0Z"), "2\xD7" "3 \xFE\xA0z");  // kept bytes
}

// --- candidates

struct CandidateCase {
  std::string typed;
  Ids preferred;
  Ids expected;
};

TEST(NameMatchTest, CandidatesAreTheMatchingPlayersInTabOrder) {
  const CandidateCase cases[] = {
      {"dup", {}, {0, 3}},              // start of a second word
      {"DUP", {}, {0, 3}},              // case
      {"upont", {}, {}},                // inside a word: no
      {"helene", {}, {1}},              // accents left out
      {"H\xC9L\xC8NE m", {}, {1}},      // accents typed in upper case
      {"francois", {}, {6}},
      {"jean-p", {}, {2}},              // across the hyphen
      {"pierre", {}, {2}},              // after the hyphen
      {"neil", {}, {5}},                // after the apostrophe
      {"jean", {}, {4, 0, 2}},          // the exact name first
      {"jean", {2, 0}, {4, 2, 0}},      // then the preferred, in their order
      {"dup", {77, 3, 5}, {3, 0}},      // preferred ids matching nobody ignored
      {"", {6}, {6, 0, 1, 2, 3, 4, 5}},
      {"jeanne", {}, {}},
  };
  for (const CandidateCase& c : cases)
    EXPECT_EQ(completionCandidates(kClub, c.typed, c.preferred), c.expected)
        << "typed: " << c.typed;
}

TEST(NameMatchTest, FindPlayerNeedsTheWholeNameAndTakesTheLastEntered) {
  const std::vector<Participant> players = entered({"Ann", "Bob", "ANN", "\xC9ve"});
  EXPECT_EQ(findPlayer(players, "ann"), 2);
  EXPECT_EQ(findPlayer(players, "EVE"), 3);
  EXPECT_EQ(findPlayer(players, "bo"), kNoParticipant);
}

// --- Tab

struct TabCase {
  Names players;
  std::string typed;
  Ids preferred;
  TabOutcome first;
  Names texts;  // after each press in a row
};

TEST(NameMatchTest, TabPressesInARowCompleteThenCycle) {
  const Names club = {"Jean Dupont", "H\xE9l\xE8ne Martin", "Jean-Pierre Roux", "Jean"};
  const TabCase cases[] = {
      {club, "xyz", {}, TabOutcome::kNoCandidate, {"xyz", "xyz"}},
      {club, "hel", {}, TabOutcome::kWholeName, {"H\xE9l\xE8ne Martin", "H\xE9l\xE8ne Martin"}},
      {club, "jean", {}, TabOutcome::kSeveral,
       {"jean", "Jean", "Jean Dupont", "Jean-Pierre Roux", "Jean"}},
      // The text already shows the first candidate: the cycle starts at the next.
      {club, "Jean", {2}, TabOutcome::kSeveral,
       {"Jean", "Jean-Pierre Roux", "Jean Dupont", "Jean"}},
      {{"Bernard", "Bertrand", "Bernadette"}, "bern", {}, TabOutcome::kSeveral,
       {"Berna", "Bernard", "Bernadette", "Bernard"}},
      // The common start in the first candidate's own bytes.
      {{"H\xC9L\xC8NE ROY", "H\xE9l\xE8na Petit"}, "hel", {}, TabOutcome::kSeveral,
       {"H\xC9L\xC8N", "H\xC9L\xC8NE ROY", "H\xE9l\xE8na Petit"}},
      // ae folds to two letters: the start is counted in the name's bytes.
      {{"L\xE6titia Roy", "Laetitia Bon"}, "lae", {}, TabOutcome::kSeveral,
       {"L\xE6titia ", "L\xE6titia Roy", "Laetitia Bon"}},
      // Common to both only in its first half, sharp s is left out.
      {{"Stra\xDF" "e", "Strasbourg"}, "st", {}, TabOutcome::kSeveral, {"Stra", "Stra\xDF" "e"}},
      // Matched by a later word, the common start would drop what was typed.
      {{"Jean Dupont", "Jean Dupuis", "Jean Roux"}, "dup", {}, TabOutcome::kSeveral,
       {"dup", "Jean Dupont", "Jean Dupuis"}},
  };
  for (const TabCase& c : cases) {
    const std::vector<Participant> players = entered(c.players);
    Completion state;
    std::string input = c.typed;
    for (size_t press = 0; press < c.texts.size(); ++press) {
      state = pressTab(state, input, players, c.preferred);
      input = state.text;
      EXPECT_EQ(state.text, c.texts[press]) << "typed: " << c.typed << " press " << press;
    }
    EXPECT_EQ(pressTab(Completion{}, c.typed, players, c.preferred).outcome, c.first)
        << "typed: " << c.typed;
  }
}

TEST(NameMatchTest, CandidatesLineKeepsWholeNamesThatFit) {
  const std::vector<Participant> players = entered({"Jean", "Jean Dupont", "Jean-Pierre Roux"});
  const Ids ids = {2, 0, 1};
  const std::pair<size_t, std::string> cases[] = {
      {100, "Jean-Pierre Roux  Jean  Jean Dupont"},
      {35, "Jean-Pierre Roux  Jean  Jean Dupont"},
      {34, "Jean-Pierre Roux  Jean ..."},
      {26, "Jean-Pierre Roux  Jean ..."},
      {25, "Jean-Pierre Roux ..."},
      {19, "Jean-Pierre Rou ..."},
      {4, " ..."},
      {3, ""},
  };
  for (const auto& c : cases) {
    std::string line = candidatesLine(players, ids, c.first);
    EXPECT_EQ(line, c.second) << "bytes: " << c.first;
    EXPECT_LE(line.size(), c.first) << "bytes: " << c.first;
  }
}

// --- close names

struct CloseCase {
  Names players;
  std::string typed;
  size_t max;
  Names expected;
};

TEST(NameMatchTest, ClosestNamesOfferOnlyNamesNearTheTypedText) {
  const Names club = kClubNames;
  const CloseCase cases[] = {
      {club, "Jean Dupnot", 1, {"Jean Dupont"}},            // two letters swapped
      {club, "dupnot", 2, {"Jean Dupont", "Marie Dupuis"}},  // a later word
      {{"Eva"}, "eav", 1, {"Eva"}},  // a swap counts as one
      {club, "HELEN MARTIN", 3, {"H\xE9l\xE8ne Martin"}},
      {club, "emilie francoise", 3, {"\xC9milie Fran\xE7ois"}},
      {club, "Jean", 0, {}},
      {club, "zzzzzzz", 3, {}},
      {club, "", 3, {}},
      // Equal distances: the longer common start, then entry order.
      {{"Mark", "Park", "Bart"}, "bark", 3, {"Bart", "Mark", "Park"}},
      // Up to half the longer text, not beyond.
      {{"abxy", "axyz"}, "abcd", 3, {"abxy"}},
      {{"abcdefuvwxyz"}, "abcdef", 3, {"abcdefuvwxyz"}},
      {{"abcdeftuvwxyz"}, "abcdef", 3, {}},
  };
  for (const CloseCase& c : cases)
    EXPECT_EQ(closestNames(entered(c.players), c.typed, c.max), c.expected)
        << "typed: " << c.typed;
}

// --- entering players

TEST(NameMatchTest, EntryRefusesEachKindOfBadName) {
  const std::vector<Participant> players = entered({"Ann", "H\xE9l\xE8ne", "Bob"});
  const std::pair<std::string, std::string> cases[] = {
      {"Ann Roy", ""},
      {"auto", ""},
      {"Annuler Roy", ""},
      {std::string(kMaxNameBytes, 'x'), ""},
      {"", "Le nom ne peut pas etre vide"},
      {"   ", "Le nom ne peut pas etre vide"},
      {std::string(kMaxNameBytes + 1, 'x'), "Le nom depasse 30 caracteres"},
      {"Bob (2)", "Le nom ne peut pas contenir \"(\""},
      {"ANNULER", "\"annuler\" est une commande, pas un nom"},
      {"Forf\xC2it", "\"forfait\" est une commande, pas un nom"},
      {"tables", "\"tables\" est une commande, pas un nom"},
      {"bob", "Ce nom est deja pris par le joueur 3"},
      {"HELENE", "Ce nom est deja pris par le joueur 2"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(entryRefusal(players, c.first), c.second) << "name: " << c.first;
}

// --- lists of players

struct ListCase {
  std::string file;
  Names names;
  Names problems;
};

// "J1", "J2", ... up to count.
Names numbered(int count) {
  Names names;
  for (int k = 1; k <= count; ++k) names.push_back("J" + std::to_string(k));
  return names;
}

std::string fileOf(const Names& lines) {
  std::string file;
  for (const std::string& line : lines) file += line + "\n";
  return file;
}

TEST(PlayerListTest, ReadsNamesAndReportsEachProblemByLine) {
  const std::string kRange = " : il en faut de 2 a 100";
  const ListCase cases[] = {
      {"H\xC3\xA9l\xC3\xA8ne\nBob\n", {"H\xE9l\xE8ne", "Bob"}, {}},  // UTF-8
      {"H\xE9l\xE8ne\nBob", {"H\xE9l\xE8ne", "Bob"}, {}},            // Latin-1
      {"\xEF\xBB\xBFNom\r\n  \xC3\x89va Roy\t\r\n\r\n  \r\nBob\r\n", {"\xC9va Roy", "Bob"}, {}},
      {"\n\nnom\nAnn\nnom\n", {"Ann", "nom"}, {}},  // a heading only first
      {fileOf(numbered(100)), numbered(100), {}},
      {"nom\nAnn\n\nBob\nANN\nbob\n", {"Ann", "Bob"},
       {"Ligne 5 : Ce nom figure deja a la ligne 2", "Ligne 6 : Ce nom figure deja a la ligne 4"}},
      {"Ann\nquit\nBob (2)\nBob\n", {"Ann", "Bob"},
       {"Ligne 2 : \"quit\" est une commande, pas un nom",
        "Ligne 3 : Le nom ne peut pas contenir \"(\""}},
      {"Ann\n\xC5\x81ukasz\nBob\n\xF0\x9F\x98\x80\n", {"Ann", "Bob"},
       {"Ligne 2 : Le caractere U+0141 n'est pas en Latin-1",
        "Ligne 4 : Le caractere U+1F600 n'est pas en Latin-1"}},
      {"Ann\n", {"Ann"}, {"Le fichier contient 1 joueur" + kRange}},
      {"nom\n\n", {}, {"Le fichier ne contient aucun joueur" + kRange}},
      {"Ann\nann\n", {"Ann"}, {"Ligne 2 : Ce nom figure deja a la ligne 1"}},
      {fileOf(numbered(101)), numbered(101), {"Le fichier contient 101 joueurs" + kRange}},
  };
  for (const ListCase& c : cases) {
    Names names = {"left over"}, problems = {"left over"};
    bool ok = readPlayerList(c.file, &names, &problems);
    EXPECT_EQ(names, c.names) << "file: " << c.file.substr(0, 40);
    EXPECT_EQ(problems, c.problems) << "file: " << c.file.substr(0, 40);
    EXPECT_EQ(ok, c.problems.empty()) << "file: " << c.file.substr(0, 40);
  }
}

TEST(PlayerListTest, AnyBrokenUtf8SequenceMakesTheFileLatin1) {
  // Each of these holds a byte sequence UTF-8 forbids; read as Latin-1,
  // every byte is one character of the name.
  const std::string broken[] = {"\xC3", "\xA9", "\xC0\xAF", "\xED\xA0\x80",
                                "\xF4\x90\x80\x80", "\xF9\x80\x80\x80"};
  for (const std::string& bytes : broken) {
    Names names, problems;
    readPlayerList("Ann \xC3\xA9\nx" + bytes + "\n", &names, &problems);
    EXPECT_EQ(names, (Names{"Ann \xC3\xA9", "x" + bytes})) << "bytes: " << bytes;
  }
}

}  // namespace
