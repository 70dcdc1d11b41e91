// bracket_svg.cpp: renderBracketSvg (see bracket_svg.h), drawing what
// layOutBracket placed. Everything is drawn with attributes, no style
// sheet, so each <svg> looks the same on the page, printed, or alone.
#include "views/bracket_svg.h"

#include <array>
#include <charconv>
#include <string>

#include "views/text_escape.h"
#include "views/bracket_layout.h"

namespace {

const char kFont[] = "'DejaVu Sans Mono','Liberation Mono',monospace";
const char kUnknownInk[] = "#444";

std::string num(int n) { return std::to_string(n); }

// Appends each piece in turn, numbers in decimal: the drawing is hundreds
// of kilobytes for a hundred players, so without temporary strings.
class Svg {
 public:
  explicit Svg(std::string* out) : out_(*out) {}
  Svg& operator<<(const std::string& text) {
    out_ += text;
    return *this;
  }
  Svg& operator<<(const char* text) {
    out_ += text;
    return *this;
  }
  Svg& operator<<(int n) {
    char digits[16];
    out_.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
    return *this;
  }

 private:
  std::string& out_;
};

// A <text> element, in the names' size unless `size` says otherwise;
// `attributes` starts with a space when not empty.
void text(std::string& out, int x, int y, int size, const std::string& escaped,
          const char* attributes = "") {
  Svg(&out) << "<text x=\"" << x << "\" y=\"" << y << "\"";
  if (size != kNameSize) Svg(&out) << " font-size=\"" << size << "\"";
  Svg(&out) << attributes << ">" << escaped << "</text>";
}

void rect(std::string& out, int x, int y, int w, int h, const char* attributes) {
  Svg(&out) << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << w << "\" height=\"" << h
            << "\" fill=\"#fff\" stroke=\"#000\"" << attributes << "/>";
}

// The border tells the status apart without colour.
const char* border(PairingStatus status) {
  switch (status) {
    case PairingStatus::kToPlay: return " stroke-width=\"2.5\"";
    case PairingStatus::kWaiting: return " stroke-width=\"1\" stroke-dasharray=\"5 3\"";
    case PairingStatus::kPlayed:
    case PairingStatus::kForfeit: return " stroke-width=\"1\"";
  }
  return "";
}

const char* statusClass(PairingStatus status) {
  switch (status) {
    case PairingStatus::kPlayed: return "joue";
    case PairingStatus::kToPlay: return "a-jouer";
    case PairingStatus::kWaiting: return "attente";
    case PairingStatus::kForfeit: return "forfait";
  }
  return "";
}

std::string statusText(const Pairing& p, bool shortForm) {
  switch (p.status) {
    case PairingStatus::kPlayed: return "n\xC2\xB0 " + std::to_string(p.logPosition + 1);
    case PairingStatus::kToPlay: return "\xC3\xA0 jouer";
    case PairingStatus::kWaiting: return shortForm ? "attente" : "en attente";
    case PairingStatus::kForfeit: return "forfait";
  }
  return "";
}

bool isWinner(const Pairing& p, const PairingSide& side) {
  return p.winner != kNoParticipant && side.known && side.player.id == p.winner;
}

// The label of a side or member, bold when it won, with its player's id.
void sideText(std::string& out, int x, int y, const PairingSide& side, bool bold) {
  Svg svg(&out);
  svg << "<text x=\"" << x << "\" y=\"" << y << "\"";
  if (bold) svg << " font-weight=\"bold\"";
  if (!side.known) svg << " font-style=\"italic\" fill=\"" << kUnknownInk << "\"";
  if (side.known && isPlayerId(side.player.id)) svg << " data-player=\"" << side.player.id << "\"";
  svg << ">" << escapeHtml(sideLabel(side)) << "</text>";
}

void notes(std::string& out, const BracketItem& item, int x) {
  int y = item.y + item.height - kPad - static_cast<int>(item.notes.size()) * kNoteRow;
  for (const std::string& note : item.notes) {
    y += kNoteRow;
    text(out, x + kPad, y - 3, kSmallSize, escapeHtml(note));
  }
}

void openMatch(std::string& out, const Pairing& p) {
  Svg(&out) << "<g class=\"match " << statusClass(p.status) << "\" data-pairing=\"" << p.number
            << "\">";
}

void drawPairing(std::string& out, const Pairing& p, const BracketItem& item, int x, int w) {
  openMatch(out, p);
  rect(out, x, item.y, w, item.height, border(p.status));
  const int header = item.y + kPad + kHeaderRow - 3;
  text(out, x + kPad, header, kSmallSize, num(p.number), " font-weight=\"bold\"");
  text(out, x + w - kPad, header, kSmallSize, statusText(p, false), " text-anchor=\"end\"");
  Svg(&out) << "<path d=\"M" << x + kPad << " " << item.y + kPad + kHeaderRow + kSideRow << "H"
            << x + w - kPad << "\" stroke=\"#999\" stroke-width=\"0.5\"/>";
  for (int s = 0; s < 2; ++s) {
    const PairingSide& side = p.sides[static_cast<size_t>(s)];
    const int middle = sideRowMiddle(item, s);
    const bool won = isWinner(p, side);
    if (won)
      Svg(&out) << "<path d=\"M" << x + kPad << " " << middle - 5 << "l8 5l-8 5z\" fill=\"#000\"/>";
    sideText(out, x + kPad + kMarkWidth, middle + 4, side, won);
  }
  notes(out, item, x);
  out += "</g>";
}

// A match of a group in its cell: "2 bat 3" once played, "2 – 3" before.
void drawCell(std::string& out, const Pairing& p, int first, int second, int x, int y, int w) {
  openMatch(out, p);
  rect(out, x, y, w, kCellRows * kNoteRow + 4, border(p.status));
  text(out, x + 3, y + kNoteRow - 2, kSmallSize, num(p.number), " font-weight=\"bold\"");
  std::string match = num(first) + " \xE2\x80\x93 " + num(second);
  if (isWinner(p, p.sides[0]))
    match = "<tspan font-weight=\"bold\">" + num(first) + "</tspan> bat " + num(second);
  if (isWinner(p, p.sides[1]))
    match = "<tspan font-weight=\"bold\">" + num(second) + "</tspan> bat " + num(first);
  text(out, x + 3, y + 2 * kNoteRow - 2, kSmallSize, match);
  text(out, x + 3, y + 3 * kNoteRow - 2, kSmallSize, statusText(p, true));
  out += "</g>";
}

// Members 2-3, 1-3 and 1-2 play the group's three matches, in that order.
constexpr int kCellMembers[3][2] = {{2, 3}, {1, 3}, {1, 2}};

void drawGroup(std::string& out, const TournamentState& state, const ThreeWayGroup& g,
               const BracketItem& item, int x, int w) {
  Svg(&out) << "<g class=\"groupe\" data-group=\"" << g.number << "\">";
  rect(out, x, item.y, w, item.height, " stroke-width=\"1.5\"");
  text(out, x + kPad, item.y + kPad + kHeaderRow - 3, kSmallSize, "Groupe " + num(g.number),
       " font-weight=\"bold\"");
  const int nameX = x + kPad + static_cast<int>(3 * kNameSize * kCharWidth);
  for (int m = 0; m < 3; ++m) {
    const PairingSide& member = g.members[static_cast<size_t>(m)];
    const int baseline = memberRowMiddle(item, m) + 4;
    text(out, x + kPad, baseline, kNameSize, num(m + 1));
    sideText(out, nameX, baseline, member, false);
    // Once the group is decided, the place each member takes in it.
    for (int place = 0; place < 3; ++place) {
      if (!member.known || g.finish[static_cast<size_t>(place)] != member.player.id) continue;
      text(out, x + w - kPad, baseline, kSmallSize, place == 0 ? "1er" : num(place + 1) + "e",
           " text-anchor=\"end\" font-weight=\"bold\"");
    }
  }
  const int cellWidth = (w - 2 * kPad - 2 * kCellGap) / 3;
  for (int c = 0; c < 3; ++c) {
    const size_t index = static_cast<size_t>(g.pairings[static_cast<size_t>(c)]) - 1;
    if (index >= state.pairings.size()) continue;
    drawCell(out, state.pairings[index], kCellMembers[c][0], kCellMembers[c][1],
             x + kPad + c * (cellWidth + kCellGap), cellsTop(item), cellWidth);
  }
  notes(out, item, x);
  out += "</g>";
}

// Where a line leaves a box: the winner's row once known, else between the
// rows (a group: the row of the member holding that place).
int exitY(const TournamentState& state, const BracketItem& item, const SideOrigin& origin) {
  if (item.group == 0) {
    const Pairing& p = state.pairings[static_cast<size_t>(item.pairing) - 1];
    for (int s = 0; s < 2; ++s)
      if (isWinner(p, p.sides[static_cast<size_t>(s)])) return sideRowMiddle(item, s);
    return (sideRowMiddle(item, 0) + sideRowMiddle(item, 1)) / 2;
  }
  const ThreeWayGroup& g = state.groups[static_cast<size_t>(item.group) - 1];
  const int32_t holder = g.finish[static_cast<size_t>(origin.place - 1)];
  for (int m = 0; m < 3; ++m) {
    const PairingSide& member = g.members[static_cast<size_t>(m)];
    if (member.known && member.player.id == holder) return memberRowMiddle(item, m);
  }
  return memberRowMiddle(item, 1);
}

// Whether `from` sends the side its winner (or group place 1 or 2).
bool feeds(const BracketItem& from, const SideOrigin& o) {
  return (o.kind == SideOrigin::Kind::kWinnerOf && from.pairing == o.number) ||
         (o.kind == SideOrigin::Kind::kGroupPlace && o.place <= 2 && from.group == o.number);
}

// A line into each side (or member) of the item from the box of the column
// before that feeds it; dashed while the side is not known.
void drawLinesInto(std::string& out, const TournamentState& state, const BracketColumn& before,
                   const BracketColumn& column, const BracketItem& item, int w) {
  const PairingSide* sides =
      item.group == 0 ? state.pairings[static_cast<size_t>(item.pairing) - 1].sides.data()
                      : state.groups[static_cast<size_t>(item.group) - 1].members.data();
  const int count = item.group == 0 ? 2 : 3;
  const int x1 = before.x + w;
  const int x2 = column.x;
  for (int s = 0; s < count; ++s) {
    for (const BracketItem& from : before.items) {
      if (!feeds(from, sides[s].origin)) continue;
      Svg(&out) << "<path d=\"M" << x1 << " " << exitY(state, from, sides[s].origin) << "H"
                << (x1 + x2) / 2 << "V" << sideRowMiddle(item, s) << "H" << x2
                << "\" fill=\"none\" stroke=\"#000\""
                << (sides[s].known ? " stroke-width=\"1.5\"/>"
                                   : " stroke-width=\"1\" stroke-dasharray=\"4 3\"/>");
    }
  }
}

void drawSheet(std::string& out, const TournamentState& state, const BracketSheet& sheet, int w) {
  const std::string& title = sheet.title;
  Svg(&out) << "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"tableau\" viewBox=\"0 0 "
            << sheet.width << " " << sheet.height << "\" width=\"" << sheet.width << "\" height=\""
            << sheet.height << "\" font-family=\"" << kFont << "\" font-size=\"" << kNameSize
            << "\" data-first-place=\"" << sheet.places.first << "\" data-last-place=\""
            << sheet.places.last << "\" data-part=\"" << sheet.part << "\" data-parts=\""
            << sheet.parts << "\"><title>" << title << "</title>";
  text(out, kMargin, kMargin + 16, 16, title, " font-weight=\"bold\"");
  for (size_t c = 0; c < sheet.columns.size(); ++c) {
    const BracketColumn& column = sheet.columns[c];
    Svg(&out) << "<g class=\"tour\" data-first-place=\"" << column.places.first
              << "\" data-last-place=\"" << column.places.last << "\">";
    text(out, column.x, kMargin + kTitleRow + kColumnHeadRow - 4, kSmallSize,
         escapeHtml(column.head), " fill=\"#333\"");
    for (const BracketItem& item : column.items) {
      if (c > 0) drawLinesInto(out, state, sheet.columns[c - 1], column, item, w);
      if (item.group == 0) {
        drawPairing(out, state.pairings[static_cast<size_t>(item.pairing) - 1], item, column.x, w);
      } else {
        drawGroup(out, state, state.groups[static_cast<size_t>(item.group) - 1], item, column.x, w);
      }
    }
    out += "</g>";
  }
  out += "</svg>\n";
}

}  // namespace

void appendBracketSvg(std::string* out, const TournamentState& state) {
  const BracketLayout layout = layOutBracket(state);
  out->reserve(out->size() + 1200 * state.pairings.size() + 2048);
  for (const BracketSheet& sheet : layout.sheets) drawSheet(*out, state, sheet, layout.itemWidth);
}

std::string renderBracketSvg(const TournamentState& state) {
  std::string out;
  appendBracketSvg(&out, state);
  return out;
}
