// participant.cpp: placeholder ids and names, and names folded for comparing.
#include "engine/participant.h"

#include <algorithm>

namespace {

// The base letters of the Latin-1 letters 0xC0 to 0xDF, which the lower
// case letters 0xE0 to 0xFF repeat 0x20 higher. '*' marks the bytes that
// fold otherwise: AE, the times sign, thorn, and sharp s (y diaeresis in
// the lower half).
constexpr char kBaseLetters[] = "aaaaaa*ceeeeiiiidnooooo*ouuuuy**";

void appendFolded(unsigned char c, std::string* out) {
  switch (c) {
    case 0xC6: case 0xE6: out->append("ae"); return;
    case 0xDF: out->append("ss"); return;
    case 0xFF: out->push_back('y'); return;
    case 0xDE: out->push_back('\xFE'); return;
    default: break;
  }
  if (c >= 'A' && c <= 'Z') {
    c = static_cast<unsigned char>(c - 'A' + 'a');
  } else if (c >= 0xC0 && kBaseLetters[c & 0x1F] != '*') {
    c = static_cast<unsigned char>(kBaseLetters[c & 0x1F]);
  }
  out->push_back(static_cast<char>(c));
}

}  // namespace

int32_t placeholderCounter = kFirstPlaceholderId;

int32_t nextPlaceholderId() { return ++placeholderCounter; }

void resetPlaceholders() { placeholderCounter = kFirstPlaceholderId; }

std::string foldName(const std::string& latin1) {
  std::string folded;
  folded.reserve(latin1.size());
  for (char c : latin1) appendFolded(static_cast<unsigned char>(c), &folded);
  return folded;
}

Participant lastNamed(const std::vector<Participant>& players, const std::string& name) {
  Participant found;
  for (const Participant& player : players)
    if (player.name == name) found = player;
  return found;
}

std::string generatedName(const char* tag,
                          std::initializer_list<const std::string*> parts) {
  // Sized once, since names are built hundreds of times per rebuild; short
  // names stay within the string's own small buffer.
  size_t length = std::char_traits<char>::length(tag) + 1 + parts.size();
  for (const std::string* part : parts) length += part->size();
  std::string name;
  name.reserve(std::min(length, kMaxGeneratedNameBytes));
  // Appends what still fits under the bound.
  auto add = [&name](const char* text, size_t size) {
    name.append(text, std::min(size, kMaxGeneratedNameBytes - name.size()));
  };
  add(tag, std::char_traits<char>::length(tag));
  char separator = '(';
  for (const std::string* part : parts) {
    add(&separator, 1);
    add(part->data(), part->size());
    separator = ',';
  }
  add(")", 1);
  return name;
}
