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
const std::vector<Participant> kClub = entered(
    {"Jean Dupont", "H\xE9l\xE8ne Martin", "Jean-Pierre Roux", "Marie Dupuis", "Jean",
     "O'Neil", "\xC9milie Fran\xE7ois"});

// --- folding

TEST(NameMatchTest, UpperAndLowerCaseOfEachLetterFoldAlike) {
  for (int c = 0; c < 256; ++c) {
    bool asciiUpper = c >= 'A' && c <= 'Z';
    bool latinUpper = c >= 0xC0 && c <= 0xDE && c != 0xD7;
    if (!asciiUpper && !latinUpper) continue;
    std::string upper(1, static_cast<char>(c));
    std::string lower(1, static_cast<char>(c + 0x20));
    EXPECT_EQ(foldName(upper), foldName(lower)) << "byte " << c;
    EXPECT_TRUE(sameName(upper, lower)) << "byte " << c;
  }
}

TEST(NameMatchTest, AccentedLettersFoldToTheirBaseLetters) {
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
  EXPECT_EQ(findPlayer(players, "bob"), 1);
  EXPECT_EQ(findPlayer(players, "ann"), 2);
  EXPECT_EQ(findPlayer(players, "EVE"), 3);
  EXPECT_EQ(findPlayer(players, "bo"), kNoParticipant);
  EXPECT_EQ(findPlayer(players, ""), kNoParticipant);
}

}  // namespace
