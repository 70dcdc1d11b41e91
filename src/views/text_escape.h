// text_escape.h: names as the players' page, the standings sheet and the
// JSON document need them. Names are typed and saved as Latin-1 bytes; every
// output here is UTF-8, so each name is converted first, then escaped for
// where it goes. Pure functions, no state.
#pragma once

#include <string>

// Each byte read as a Latin-1 character, written as UTF-8 (bytes 0x80 and up
// become two bytes). Never fails: every byte is a Latin-1 character.
std::string latin1ToUtf8(const std::string& latin1);

// Text safe inside HTML element content and quoted attribute values: & < > "
// and ' become character references. Control characters other than tab and
// line feed (which HTML does not allow) become U+FFFD.
std::string escapeHtml(const std::string& utf8);

// A JSON string literal, quotes included: " and \ escaped, control
// characters as \uXXXX (or \n, \t ...).
std::string jsonString(const std::string& utf8);

// One field of a semicolon-separated sheet. A text that a spreadsheet would
// read as a formula (first character = + - @, or a tab or carriage return
// before it) gets a leading apostrophe; a field holding ; " a line end or a
// leading or trailing space is quoted, with its quotes doubled.
std::string csvField(const std::string& utf8);
