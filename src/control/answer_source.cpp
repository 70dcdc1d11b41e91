// answer_source.cpp: replaying a loaded transcript and editing a typed answer.
#include "control/answer_source.h"

ReplayBuffer replayBuffer;

std::string takeReplayedAnswer(ReplayBuffer& buffer, std::ostream& echo) {
  const std::string& bytes = buffer.bytes;
  size_t lineEnd = bytes.find('\n', buffer.next);
  size_t stop = lineEnd == std::string::npos ? bytes.size() : lineEnd;

  std::string answer;
  for (size_t i = buffer.next; i < stop; ++i) {
    // Carriage returns are dropped wherever they are, so a file with CRLF
    // line ends replays like one with LF alone.
    if (bytes[i] != '\r' && answer.size() < kMaxAnswerBytes) answer += bytes[i];
  }
  // The whole line is consumed, including what the cut left out and the
  // line feed that ends it (a last line may have none).
  buffer.next = lineEnd == std::string::npos ? bytes.size() : lineEnd + 1;

  if (buffer.remaining() <= kReplayEchoLimit) {
    echo.write(bytes.data() + buffer.next,
               static_cast<std::streamsize>(buffer.remaining()));
    echo << std::endl;
  }
  return answer;
}

AnswerEdit applyKey(AnswerEdit edit, unsigned unicode) {
  edit.changed = false;
  switch (unicode) {
    case 8:  // backspace
      if (!edit.text.empty()) {
        edit.text.pop_back();
        edit.changed = true;
      }
      return edit;
    case 13:  // return
      edit.done = true;
      return edit;
    case 0:   // a key that produces no character
    case 10:  // a line feed would split the answer over two transcript lines
      return edit;
    default:
      break;
  }
  // Only Latin-1 characters fit in one byte of the answer.
  if (unicode > 255 || edit.text.size() >= kMaxAnswerBytes) return edit;
  edit.text += static_cast<char>(unicode);
  edit.changed = true;
  return edit;
}
