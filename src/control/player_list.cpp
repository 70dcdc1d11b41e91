// player_list.cpp: the players' names read from a text file, UTF-8 or
// Latin-1, as the operator or a spreadsheet saved it.
#include <algorithm>
#include <cstdio>

#include "control/name_match.h"

namespace {

const std::string kByteOrderMark = "\xEF\xBB\xBF";

// The length of the UTF-8 sequence at bytes[at], its code point in *code;
// 0 when no valid sequence starts there (a lone continuation byte, a cut
// sequence, an overlong form, a surrogate, or beyond U+10FFFF).
size_t decodeUtf8(const std::string& bytes, size_t at, uint32_t* code) {
  const unsigned char lead = static_cast<unsigned char>(bytes[at]);
  if (lead < 0x80) {
    *code = lead;
    return 1;
  }
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || at + length > bytes.size()) return 0;
  uint32_t value = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(bytes[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    value = value << 6 | (next & 0x3F);
  }
  const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return 0;
  *code = value;
  return length;
}

bool isUtf8(const std::string& bytes) {
  uint32_t code = 0;
  for (size_t at = 0; at < bytes.size();) {
    size_t length = decodeUtf8(bytes, at, &code);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

// A valid UTF-8 line in Latin-1; "" when it holds a character beyond it,
// with the reason in *problem.
std::string toLatin1(const std::string& utf8, std::string* problem) {
  std::string latin1;
  uint32_t code = 0;
  for (size_t at = 0; at < utf8.size();) {
    at += decodeUtf8(utf8, at, &code);
    if (code > 0xFF) {
      char text[64];
      std::snprintf(text, sizeof text, "Le caractere U+%04X n'est pas en Latin-1",
                    static_cast<unsigned>(code));
      *problem = text;
      return "";
    }
    latin1.push_back(static_cast<char>(code));
  }
  return latin1;
}

std::string trimmed(const std::string& line) {
  const char* const kBlank = " \t\r";
  size_t first = line.find_first_not_of(kBlank);
  if (first == std::string::npos) return "";
  return line.substr(first, line.find_last_not_of(kBlank) - first + 1);
}

std::string countProblem(size_t count) {
  std::string range = " : il en faut de " + std::to_string(kMinPlayers) + " a " +
                      std::to_string(kMaxPlayers);
  if (count == 0) return "Le fichier ne contient aucun joueur" + range;
  return "Le fichier contient " + std::to_string(count) +
         (count == 1 ? " joueur" : " joueurs") + range;
}

}  // namespace

bool readPlayerList(const std::string& bytes, std::vector<std::string>* names,
                    std::vector<std::string>* problems) {
  names->clear();
  problems->clear();
  const bool bom = bytes.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
  const std::string text = bom ? bytes.substr(kByteOrderMark.size()) : bytes;
  const bool utf8 = isUtf8(text);
  std::vector<size_t> lineOf;  // the file line of each name kept
  size_t nameLines = 0;  // refused ones included
  bool firstLine = true;  // no non-blank line yet
  size_t number = 0;
  for (size_t start = 0; start <= text.size(); ++number) {
    size_t end = std::min(text.find('\n', start), text.size());
    std::string name = trimmed(text.substr(start, end - start));
    start = end + 1;
    if (name.empty()) continue;
    std::string problem;
    if (utf8) name = toLatin1(name, &problem);
    const bool heading = firstLine && problem.empty() && sameName(name, "nom");
    firstLine = false;
    if (heading) continue;
    ++nameLines;
    if (problem.empty()) problem = nameRefusal(name);
    for (size_t k = 0; problem.empty() && k < names->size(); ++k)
      if (sameName((*names)[k], name))
        problem = "Ce nom figure deja a la ligne " + std::to_string(lineOf[k] + 1);
    if (!problem.empty()) {
      problems->push_back("Ligne " + std::to_string(number + 1) + " : " + problem);
      continue;
    }
    names->push_back(name);
    lineOf.push_back(number);
  }
  if (nameLines < static_cast<size_t>(kMinPlayers) || nameLines > static_cast<size_t>(kMaxPlayers))
    problems->push_back(countProblem(nameLines));
  return problems->empty();
}
