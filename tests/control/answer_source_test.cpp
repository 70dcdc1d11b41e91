#include "control/answer_source.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

class AnswerSourceTest : public ::testing::Test {
 protected:
  // Every answer the content replays, in order; the echo lands in `echo`.
  std::vector<std::string> replayAll(const std::string& content) {
    ReplayBuffer buffer;
    buffer.load(content);
    std::vector<std::string> answers;
    while (buffer.pending()) answers.push_back(takeReplayedAnswer(buffer, echo));
    left = buffer.remaining();
    return answers;
  }

  std::ostringstream echo;
  size_t left = 0;
};

using Answers = std::vector<std::string>;

// --- keys while typing

struct KeyCase {
  std::string before;
  unsigned unicode;
  std::string after;
  bool done;
  bool changed;
};

TEST_F(AnswerSourceTest, EachKeyEditsTheAnswerAsItsTableSays) {
  const std::string full(kMaxAnswerBytes, 'x');
  const std::string almost(kMaxAnswerBytes - 1, 'x');
  const KeyCase cases[] = {
      {"", 8, "", false, false},            // backspace on nothing
      {"ab", 8, "a", false, true},          // backspace removes the last byte
      {"", 13, "", true, false},            // return on nothing: empty answer
      {"Ann", 13, "Ann", true, false},      // return keeps the text
      {"", 0, "", false, false},            // key without a character
      {"a", 'b', "ab", false, true},
      {"", 0xE9, "\xE9", false, true},      // e acute as one Latin-1 byte
      {"", 0xFF, "\xFF", false, true},      // the last one-byte value
      {"a", 0x100, "a", false, false},      // beyond Latin-1: ignored
      {"a", 0x141, "a", false, false},
      {"a", 10, "a", false, false},         // a typed line feed is ignored
      {"a", 9, "a\t", false, true},         // tab is appended like a letter
      {"a", 27, "a\x1B", false, true},      // so is escape
      {almost, 'y', almost + "y", false, true},
      {full, 'y', full, false, false},      // typing stops at the limit
      {full, 8, almost, false, true},
  };
  for (const KeyCase& c : cases) {
    AnswerEdit edit;
    edit.text = c.before;
    edit.changed = true;  // a stale flag must not survive the next key
    AnswerEdit result = applyKey(edit, c.unicode);
    EXPECT_EQ(result.text, c.after) << "before: " << c.before << " key: " << c.unicode;
    EXPECT_EQ(result.done, c.done) << "before: " << c.before << " key: " << c.unicode;
    EXPECT_EQ(result.changed, c.changed)
        << "before: " << c.before << " key: " << c.unicode;
  }
}

TEST_F(AnswerSourceTest, TypingAWordThenCorrectingItGivesTheCorrectedAnswer) {
  AnswerEdit edit;
  const unsigned keys[] = {'B', 'o', 'x', 8, 'b', 13};  // 8 backspace, 13 return
  for (unsigned key : keys) edit = applyKey(edit, key);
  EXPECT_EQ(edit.text, "Bob");
  EXPECT_TRUE(edit.done);
}

// --- replaying lines

TEST_F(AnswerSourceTest, SaveFileExampleReplaysEveryAnswerInOrder) {
  EXPECT_EQ(replayAll("3\nAnn\nBob\nCy\nAnn\nBob\nannuler\n\nBob\nAnn\n"),
            (Answers{"3", "Ann", "Bob", "Cy", "Ann", "Bob", "annuler", "", "Bob",
                     "Ann"}));
  EXPECT_EQ(left, 0u);
}

TEST_F(AnswerSourceTest, CrLfLinesReplayLikeLfLines) {
  EXPECT_EQ(replayAll("2\r\nAnn\r\n\r\nBob\r\n"), (Answers{"2", "Ann", "", "Bob"}));
}

TEST_F(AnswerSourceTest, CarriageReturnInsideALineIsDropped) {
  EXPECT_EQ(replayAll("A\rn\rn\nx\n"), (Answers{"Ann", "x"}));
}

TEST_F(AnswerSourceTest, EmptyLineReplaysAsAnEmptyAnswer) {
  EXPECT_EQ(replayAll("annuler\n\nBob\n"), (Answers{"annuler", "", "Bob"}));
}

// An empty answer is saved as a line feed alone; last in the file, it is
// an acknowledgement that was given, and counts.
TEST_F(AnswerSourceTest, FinalEmptyAnswerIsReplayed) {
  EXPECT_EQ(replayAll("annuler\n\n"), (Answers{"annuler", ""}));
  EXPECT_EQ(left, 0u);
}

TEST_F(AnswerSourceTest, LoneFinalByteIsNeverReplayed) {
  EXPECT_EQ(replayAll("2\nA"), (Answers{"2"}));
  EXPECT_EQ(left, 1u);
}

// A line whose line feed is missing is an answer cut off while it was being
// saved: however much of it reached the file, none of it is replayed.
TEST_F(AnswerSourceTest, LastLineWithoutLineFeedIsLeftForTyping) {
  for (const std::string tail : {"A", "An", "Ann", "Ann\r"}) {
    EXPECT_EQ(replayAll("2\n" + tail), (Answers{"2"})) << "tail " << tail;
    EXPECT_EQ(left, tail.size()) << "tail " << tail;
  }
}

TEST_F(AnswerSourceTest, LongLineIsCutAndItsRestIsNotTheNextAnswer) {
  std::string longLine(kMaxAnswerBytes + 45, 'y');
  EXPECT_EQ(replayAll(longLine + "\nnext\n"),
            (Answers{std::string(kMaxAnswerBytes, 'y'), "next"}));
}

TEST_F(AnswerSourceTest, CarriageReturnsDoNotCountTowardsTheCut) {
  std::string line = std::string(kMaxAnswerBytes - 1, 'y') + "\r\rzw";
  EXPECT_EQ(replayAll(line + "\n"),
            (Answers{std::string(kMaxAnswerBytes - 1, 'y') + "z"}));
}

// --- the echo of what remains

TEST_F(AnswerSourceTest, EchoShowsTheRestAfterEachAnswer) {
  replayAll("2\nAnn\nBob\n");
  EXPECT_EQ(echo.str(), "Ann\nBob\n\nBob\n\n\n");
}

TEST_F(AnswerSourceTest, EchoWaitsUntilNoMoreThanTheLimitRemains) {
  // After "a", exactly one byte more than the limit remains: no echo. After
  // the long line, only "b\n" remains.
  std::string longLine(kReplayEchoLimit - 2, 'x');
  replayAll("a\n" + longLine + "\nb\n");
  EXPECT_EQ(echo.str(), "b\n\n\n");
}

TEST_F(AnswerSourceTest, EchoStartsWhenExactlyTheLimitRemains) {
  std::string longLine(kReplayEchoLimit - 3, 'x');
  ReplayBuffer buffer;
  buffer.load("a\n" + longLine + "\nb\n");
  EXPECT_EQ(takeReplayedAnswer(buffer, echo), "a");
  EXPECT_EQ(echo.str(), longLine + "\nb\n\n");
}

}  // namespace
