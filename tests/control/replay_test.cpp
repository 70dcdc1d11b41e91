// Saving and loading: answers recorded in one run and replayed in the next
// rebuild the same tournament.
#include <gtest/gtest.h>

#include <random>

#include "control/dialogue.h"
#include "control_test_util.h"

namespace {

const std::string kExampleSave = "3\nAnn\nBob\nCy\nAnn\nBob\nannuler\n\nBob\nAnn\n";

class ReplayTest : public DialogueFixture {
 protected:
  struct Outcome {
    Log log;
    Lines left, right;
    std::string saved;
  };

  // Everything a run leaves behind that a replay must reproduce.
  Outcome outcome() {
    return Outcome{matchLog(), lastLeftFrame(), lastRightFrame(), fileBytes(save)};
  }

  // Runs with the typed answers, then again from scratch loading what the
  // first run saved, and checks that both runs end in the same state.
  void expectReplayMatches(const Lines& typed, const std::string& label) {
    Lines withChoice = {""};
    withChoice.insert(withChoice.end(), typed.begin(), typed.end());
    run(withChoice);
    Outcome typedRun = outcome();

    resetGlobals();
    run({"load"});
    Outcome replayed = outcome();
    EXPECT_EQ(replayed.log, typedRun.log) << label;
    EXPECT_EQ(replayed.left, typedRun.left) << label;
    EXPECT_EQ(replayed.right, typedRun.right) << label;
    EXPECT_EQ(replayed.saved, typedRun.saved) << label;
    for (const std::string& call : calls())
      EXPECT_EQ(call.find("error"), std::string::npos) << label << ": " << call;
  }
};

// --- the example save file

TEST_F(ReplayTest, ExampleAnswersAreSavedOneALine) {
  run({"", "3", "Ann", "Bob", "Cy", "Ann", "Bob", "annuler", "", "Bob", "Ann"});
  EXPECT_EQ(fileBytes(save), kExampleSave);
}

TEST_F(ReplayTest, ExampleFileRebuildsTheLogAndIsSavedAgainUnchanged) {
  writeFile(save, kExampleSave);
  EXPECT_EQ(run({"load"}), 0);
  EXPECT_EQ(matchLog(), (Log{result(kNoParticipant, "Ann", 1, "Bob"),
                           result(1, "Bob", 0, "Ann")}));
  EXPECT_EQ(fileBytes(save), kExampleSave);
  EXPECT_EQ(fileBytes(backup), kExampleSave);
  EXPECT_EQ(calls().back(), "closed");
  EXPECT_EQ(err.str(), "");
}

TEST_F(ReplayTest, TypedRunAndItsReplayEndInTheSameState) {
  expectReplayMatches({"3", "Ann", "Bob", "Cy", "Ann", "Bob", "annuler", "",
                       "Bob", "Ann", "Cy", "Ann"},
                      "example");
}

TEST_F(ReplayTest, RejectedCountsAndAutoNamingReplayTheSameWay) {
  expectReplayMatches({"abc", "101", "5", "Ann", "auto", "Ann", "1", "3", "4",
                       "anuler", "", "5", "3"},
                      "counts");
}

// --- many random tournaments

TEST_F(ReplayTest, RandomTournamentsReplayToTheSameState) {
  const Lines names = {"Ann", "Bob", "Cy", "Dee", "Ed", "Flo", "(x)", ""};
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 random(seed);
    auto pick = [&](const Lines& from) { return from[random() % from.size()]; };
    Lines typed;
    if (random() % 4 == 0) typed.push_back(pick({"0", "1", "abc", "101", "-7"}));
    int count = 2 + static_cast<int>(random() % 11);
    typed.push_back(std::to_string(count));
    for (int k = 0; k < count; ++k)
      typed.push_back(random() % 15 == 0 ? "auto" : pick(names));
    for (int turn = 0; turn < 25; ++turn) {
      if (random() % 6 == 0) {
        typed.insert(typed.end(), {pick({"annuler", "cancel", "anuler"}), "ok"});
      } else if (random() % 5 == 0) {
        typed.insert(typed.end(),
                     {"corriger", pick(names), pick(names), pick({"", "non", "ok"})});
      } else {
        typed.insert(typed.end(), {pick(names), pick(names)});
      }
    }
    // One result more ends the file.
    typed.insert(typed.end(), {"Ann", "Bob"});
    resetGlobals();
    expectReplayMatches(typed, "seed " + std::to_string(seed));
  }
}

// --- truncated files

// The lines of a text whose every line ends with a line feed.
Lines splitLines(const std::string& text) {
  Lines lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// Every complete line of the cut file is replayed and recorded again
// unchanged; a cut last line can only be recorded as the start of the line
// it was.
TEST_F(ReplayTest, EveryTruncationReplaysAsAPrefixOfTheAnswers) {
  const std::string original = kExampleSave + "Cy\nAnn\n";
  const Lines answers = splitLines(original);
  for (size_t size = 0; size <= original.size(); ++size) {
    resetGlobals();
    std::string cut = original.substr(0, size);
    writeFile(save, cut);
    EXPECT_EQ(run({"load"}), 0) << "size " << size;
    Lines saved = splitLines(fileBytes(save));
    // A cut last line is never replayed.
    size_t completeLines = splitLines(cut).size();
    EXPECT_GE(saved.size() + 1, completeLines) << "size " << size;
    ASSERT_LE(saved.size(), answers.size()) << "size " << size;
    for (size_t i = 0; i + 1 < saved.size(); ++i)
      EXPECT_EQ(saved[i], answers[i]) << "size " << size << ", line " << i;
    if (!saved.empty()) {
      const std::string& last = saved.back();
      EXPECT_EQ(answers[saved.size() - 1].compare(0, last.size(), last), 0)
          << "size " << size << ", last line " << last;
    }
  }
}

}  // namespace
