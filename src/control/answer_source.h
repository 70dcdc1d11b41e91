// answer_source.h: where answers come from, as plain values.
//
// An answer is a byte string without line end, at most kMaxAnswerBytes long.
// It is either replayed from a loaded transcript or typed key by key; both
// paths are pure functions here, so the dialogue never knows which one
// produced an answer and both can be tested without a window.
//
// Owns replayBuffer, filled once after "load" and consumed from the front.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "views/scroll.h"

// Longer answers are cut to this many bytes, typed or replayed: names nest
// inside placeholder names, so an unbounded answer would make every turn
// build enormous texts.
constexpr size_t kMaxAnswerBytes = 255;

// Once no more than this many bytes are left to replay, the rest of the
// buffer is echoed on standard output after each replayed answer; above it
// nothing is echoed, which keeps the echo of a huge file from growing with
// the square of its size.
constexpr size_t kReplayEchoLimit = 4096;

// The loaded transcript: bytes[next..] is what is still to be replayed.
// Consumed by offset, so taking an answer costs its own length only.
struct ReplayBuffer {
  std::string bytes;
  size_t next = 0;

  size_t remaining() const { return bytes.size() - next; }
  // Answers are replayed while a line feed ends the next line. A last line
  // without one is not replayed: the program ends every answer it saves
  // with a line feed, so such a line is an answer whose writing was cut off
  // (a power cut can leave "An" of "Ann"), which the operator types again.
  bool pending() const { return bytes.find('\n', next) != std::string::npos; }
  void load(std::string content) { bytes = std::move(content); next = 0; }
};

extern ReplayBuffer replayBuffer;

// Takes the next line of the buffer (which must be pending()): its bytes up
// to the first line feed, every carriage return dropped, cut to
// kMaxAnswerBytes; the line feed is consumed too. Then, if at most kReplayEchoLimit bytes remain, writes
// them and a line end to echo.
std::string takeReplayedAnswer(ReplayBuffer& buffer, std::ostream& echo);

// What one key press does to the answer being typed.
struct AnswerEdit {
  std::string text;
  bool done = false;     // return was pressed: text is the answer
  bool changed = false;  // text differs from before the key: echo it
};

// Unicode 8 removes the last byte (if any), 13 ends the answer, 0 and values
// above 255 are ignored, 10 (a typed line feed) is ignored because it would
// split the answer across two lines of the transcript; any other value is
// appended as one byte unless the answer already holds kMaxAnswerBytes.
AnswerEdit applyKey(AnswerEdit edit, unsigned unicode);

// What the keys do while one answer is typed: the dialogue's side of the
// keyboard loop, which only waits for keys, translates them and echoes the
// answer. The defaults type as applyKey does and ignore view keys.
class AnswerTyping {
 public:
  virtual ~AnswerTyping() = default;
  // The answer the input strip opens with: empty unless one is offered.
  virtual AnswerEdit start() { return AnswerEdit{}; }
  // One key that types a character (its Unicode value; 0 for none).
  virtual AnswerEdit press(AnswerEdit edit, unsigned unicode) {
    return applyKey(std::move(edit), unicode);
  }
  // One key that types nothing and asks to move the view.
  virtual void view(ViewKey) {}
};
