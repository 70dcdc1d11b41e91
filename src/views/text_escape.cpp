// text_escape.cpp: see text_escape.h.
#include "views/text_escape.h"

#include <cstdio>

std::string latin1ToUtf8(const std::string& latin1) {
  std::string out;
  out.reserve(latin1.size() + latin1.size() / 4);
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string escapeHtml(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size() + 16);
  for (char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') {
          out += "\xEF\xBF\xBD";
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string jsonString(const std::string& utf8) {
  std::string out = "\"";
  out.reserve(utf8.size() + 8);
  for (char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
          char code[8];
          std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(c));
          out += code;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

namespace {

bool startsFormula(const std::string& text) {
  if (text.empty()) return false;
  const char c = text[0];
  return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

bool needsQuotes(const std::string& text) {
  if (text.empty()) return false;
  if (text.front() == ' ' || text.back() == ' ') return true;
  return text.find_first_of(";\"\r\n") != std::string::npos;
}

}  // namespace

std::string csvField(const std::string& utf8) {
  const std::string text = startsFormula(utf8) ? "'" + utf8 : utf8;
  if (!needsQuotes(text)) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}
