// participant.cpp: placeholder ids and names.
#include "engine/participant.h"

#include <algorithm>

int32_t placeholderCounter = kFirstPlaceholderId;

int32_t nextPlaceholderId() { return ++placeholderCounter; }

void resetPlaceholders() { placeholderCounter = kFirstPlaceholderId; }

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
