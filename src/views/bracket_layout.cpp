// bracket_layout.cpp: see bracket_layout.h.
//
// The recursion decides a distinct range of places with every group it
// pairs off, so a pairing's range names its group, and a group's first
// place names its block: the block's first group is the one with the
// widest range starting there, and each of its winners' halves starts at
// the same place. Boxes of the first column are stacked; each later box is
// centred on the boxes whose winners it receives, as far as the boxes
// above it allow.
#include "views/bracket_layout.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "views/text_escape.h"

namespace {

constexpr int kPageWidth = 1050;  // A4 landscape at 96 dpi, less a little
constexpr int kTop = kMargin + kTitleRow + kColumnHeadRow + 4;
constexpr int kColumnGap = 40;
constexpr int kItemGap = 10;

int textWidth(size_t chars, int size) {
  return static_cast<int>(std::ceil(static_cast<double>(chars) * size * kCharWidth));
}

size_t charCount(const std::string& utf8) {
  size_t count = 0;
  for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
  return count;
}

std::string number(int n) { return std::to_string(n); }

std::string rangeText(const PlaceRange& places) {
  return "places " + number(places.first) + " \xC3\xA0 " + number(places.last);
}

struct Location {
  int sheet = -1;
  size_t column = 0;
  size_t item = 0;
};

class Planner {
 public:
  explicit Planner(const TournamentState& state) : state_(state) {}
  BracketLayout run();

 private:
  using Key = std::pair<int, int>;  // first and last place of a group
  struct Plan {
    PlaceRange places;
    std::vector<int> pairings;
    int group = 0;
  };

  // Groups the pairings by the range of places of their group.
  void collectColumns();
  // The width every item gets: the longest name or note fits.
  int measureWidth();
  // The blocks cut into sheets of at most perSheet columns.
  void fillSheets(int perSheet);
  // Appends the group's column to the last sheet, noting where its items go.
  void addColumn(const Plan& plan);
  // Where the item's winner, loser or places go, for those that no line
  // within sheet number `sheet` shows.
  std::vector<std::string> notesOf(const BracketItem& item, int sheet) const;
  // "12 (suite)" within the block starting at blockFirst, else
  // "12 (places 5 à 8)"; a final place as such.
  std::string destinationText(const Destination& to, int blockFirst) const;
  // Stacks each column's items, each centred on its feeders when it can be.
  void placeVertically(BracketSheet* sheet, int index) const;
  // The mean middle of the items of the column before that feed `item`
  // (sheet number `index`), or -1 when none does.
  int feedersMiddle(const BracketSheet& sheet, int index, size_t column,
                    const BracketItem& item) const;
  const Location& locate(const SideOrigin& origin) const;

  const TournamentState& state_;
  std::map<Key, Plan> columns_;
  BracketLayout layout_;
  std::vector<Location> pairingAt_;  // by number
  std::vector<Location> groupAt_;    // by number
};

void Planner::collectColumns() {
  for (const Pairing& p : state_.pairings) {
    Plan& plan = columns_[Key(p.places.first, p.places.last)];
    plan.places = p.places;
    if (p.group == 0) plan.pairings.push_back(p.number);
  }
  for (const ThreeWayGroup& g : state_.groups)
    columns_[Key(g.places.first, g.places.last)].group = g.number;
}

std::string Planner::destinationText(const Destination& to, int blockFirst) const {
  const size_t index = static_cast<size_t>(to.number) - 1;
  PlaceRange places;
  std::string text;
  switch (to.kind) {
    case Destination::Kind::kNone: return "?";
    case Destination::Kind::kPlace: return finalPlaceText(to.number);
    case Destination::Kind::kPairing:
      if (index < state_.pairings.size()) places = state_.pairings[index].places;
      text = number(to.number);
      break;
    case Destination::Kind::kGroup:
      if (index < state_.groups.size()) places = state_.groups[index].places;
      text = "groupe " + number(to.number);
      break;
  }
  return text + (places.first == blockFirst ? " (suite)" : " (" + rangeText(places) + ")");
}

// With sheet -1, every destination is written out: the longest notes the
// item can have.
std::vector<std::string> Planner::notesOf(const BracketItem& item, int sheet) const {
  const auto drawn = [this, sheet](const Destination& to) {
    const size_t n = static_cast<size_t>(to.number);
    if (to.kind == Destination::Kind::kPairing && n < pairingAt_.size())
      return pairingAt_[n].sheet == sheet;
    if (to.kind == Destination::Kind::kGroup && n < groupAt_.size())
      return groupAt_[n].sheet == sheet;
    return false;
  };
  const char* kArrow = " \xE2\x86\x92 ";
  std::vector<std::string> notes;
  if (item.group == 0) {
    const Pairing& p = state_.pairings[static_cast<size_t>(item.pairing) - 1];
    if (!drawn(p.winnerTo))
      notes.push_back(std::string("vainqueur") + kArrow +
                      destinationText(p.winnerTo, p.places.first));
    if (!drawn(p.loserTo))
      notes.push_back(std::string("perdant") + kArrow + destinationText(p.loserTo, p.places.first));
    return notes;
  }
  const ThreeWayGroup& g = state_.groups[static_cast<size_t>(item.group) - 1];
  const int first = g.places.first;
  const bool together = g.to[0].kind == g.to[1].kind && g.to[0].number == g.to[1].number;
  if (together && !drawn(g.to[0])) {
    notes.push_back(std::string("1er, 2e") + kArrow + destinationText(g.to[0], first));
  } else if (!together) {
    if (!drawn(g.to[0]))
      notes.push_back(std::string("1er") + kArrow + destinationText(g.to[0], first));
    if (!drawn(g.to[1]))
      notes.push_back(std::string("2e") + kArrow + destinationText(g.to[1], first));
  }
  if (!drawn(g.to[2]))
    notes.push_back(std::string("3e") + kArrow + destinationText(g.to[2], first));
  return notes;
}

int Planner::measureWidth() {
  size_t nameChars = 0;
  for (const Pairing& p : state_.pairings)
    for (const PairingSide& side : p.sides)
      nameChars = std::max(nameChars, charCount(sideLabel(side)));
  for (const ThreeWayGroup& g : state_.groups)
    for (const PairingSide& side : g.members)
      nameChars = std::max(nameChars, charCount(sideLabel(side)));
  size_t noteChars = 0;
  BracketItem item;
  for (const Pairing& p : state_.pairings) {
    if (p.group != 0) continue;
    item.pairing = p.number;
    for (const std::string& note : notesOf(item, -1))
      noteChars = std::max(noteChars, charCount(note));
  }
  item.pairing = 0;
  for (const ThreeWayGroup& g : state_.groups) {
    item.group = g.number;
    for (const std::string& note : notesOf(item, -1))
      noteChars = std::max(noteChars, charCount(note));
  }
  const int box = kMarkWidth + textWidth(nameChars, kNameSize);
  // A member row: its number, the name, and its place in the group.
  const int member = textWidth(nameChars + 3, kNameSize) + textWidth(4, kSmallSize);
  const int cells = 3 * (textWidth(kCellChars, kSmallSize) + 2 * kCellGap);
  return 2 * kPad + std::max({box, member, cells, textWidth(noteChars, kSmallSize)});
}

void Planner::fillSheets(int perSheet) {
  pairingAt_.assign(state_.pairings.size() + 1, Location{});
  groupAt_.assign(state_.groups.size() + 1, Location{});
  // In place order; within a block, from the widest range down.
  for (auto start = columns_.begin(); start != columns_.end();) {
    auto end = start;
    while (end != columns_.end() && end->first.first == start->first.first) ++end;
    std::vector<const Plan*> block;
    for (auto it = end; it != start;) block.push_back(&(--it)->second);
    // As few sheets as fit the page, sharing the columns evenly: a lone
    // final on a sheet of its own reads badly.
    const size_t count = block.size();
    const size_t per = static_cast<size_t>(perSheet);
    const size_t sheets = (count + per - 1) / per;
    for (size_t c = 0; c < count; ++c) {
      if (c == 0 || c * sheets / count != (c - 1) * sheets / count) {
        BracketSheet sheet;
        sheet.places = block.front()->places;
        sheet.continued = c > 0;
        layout_.sheets.push_back(std::move(sheet));
      }
      addColumn(*block[c]);
    }
    start = end;
  }
}

void Planner::addColumn(const Plan& plan) {
  const int sheetIndex = static_cast<int>(layout_.sheets.size()) - 1;
  BracketSheet& sheet = layout_.sheets.back();
  BracketColumn column;
  column.places = plan.places;
  column.x = kMargin + static_cast<int>(sheet.columns.size()) * (layout_.itemWidth + kColumnGap);
  const size_t c = sheet.columns.size();
  for (int number : plan.pairings) {
    pairingAt_[static_cast<size_t>(number)] = {sheetIndex, c, column.items.size()};
    column.items.push_back(BracketItem{number, 0, 0, 0, {}});
  }
  if (plan.group != 0) {
    groupAt_[static_cast<size_t>(plan.group)] = {sheetIndex, c, column.items.size()};
    column.items.push_back(BracketItem{0, plan.group, 0, 0, {}});
  }
  sheet.columns.push_back(std::move(column));
}

const Location& Planner::locate(const SideOrigin& origin) const {
  static const Location kNowhere;
  const size_t n = static_cast<size_t>(origin.number);
  if (origin.kind == SideOrigin::Kind::kWinnerOf && n < pairingAt_.size()) return pairingAt_[n];
  if (origin.kind == SideOrigin::Kind::kGroupPlace && origin.place <= 2 && n < groupAt_.size())
    return groupAt_[n];
  return kNowhere;
}

int Planner::feedersMiddle(const BracketSheet& sheet, int index, size_t column,
                           const BracketItem& item) const {
  if (column == 0) return -1;
  const PairingSide* sides =
      item.group == 0 ? state_.pairings[static_cast<size_t>(item.pairing) - 1].sides.data()
                      : state_.groups[static_cast<size_t>(item.group) - 1].members.data();
  int feeders = 0, middles = 0;
  for (int s = 0; s < (item.group == 0 ? 2 : 3); ++s) {
    const Location& at = locate(sides[s].origin);
    if (at.sheet != index || at.column != column - 1) continue;
    const BracketItem& from = sheet.columns[column - 1].items[at.item];
    ++feeders;
    middles += from.y + from.height / 2;
  }
  return feeders == 0 ? -1 : middles / feeders;
}

void Planner::placeVertically(BracketSheet* sheet, int index) const {
  int bottom = 0;
  for (size_t c = 0; c < sheet->columns.size(); ++c) {
    int next = kTop;
    for (BracketItem& item : sheet->columns[c].items) {
      item.notes = notesOf(item, index);
      const int notes = static_cast<int>(item.notes.size()) * kNoteRow;
      item.height = item.group == 0
                        ? 2 * kPad + kHeaderRow + 2 * kSideRow + notes
                        : 2 * kPad + kHeaderRow + 3 * kSideRow + kCellRows * kNoteRow + 8 + notes;
      const int middle = feedersMiddle(*sheet, index, c, item);
      item.y = middle < 0 ? next : std::max(next, middle - item.height / 2);
      next = item.y + item.height + kItemGap;
      bottom = std::max(bottom, item.y + item.height);
    }
  }
  const int columns = static_cast<int>(sheet->columns.size());
  sheet->width = 2 * kMargin + columns * layout_.itemWidth + (columns - 1) * kColumnGap;
  sheet->height = std::max(bottom, kTop) + kMargin;
}

BracketLayout Planner::run() {
  collectColumns();
  layout_.itemWidth = measureWidth();
  const int perSheet =
      std::max(1, (kPageWidth - 2 * kMargin + kColumnGap) / (layout_.itemWidth + kColumnGap));
  fillSheets(perSheet);
  for (size_t s = 0; s < layout_.sheets.size(); ++s)
    placeVertically(&layout_.sheets[s], static_cast<int>(s));
  return std::move(layout_);
}

}  // namespace

BracketLayout layOutBracket(const TournamentState& state) { return Planner(state).run(); }

std::string sideLabel(const PairingSide& side) {
  if (side.known) {
    const std::string& name = side.player.name;
    if (name.empty()) return "?";
    // Latin-1: one byte per character.
    if (name.size() <= kShownNameChars) return latin1ToUtf8(name);
    return latin1ToUtf8(name.substr(0, kShownNameChars - 1)) + "\xE2\x80\xA6";
  }
  const std::string of = number(side.origin.number);
  switch (side.origin.kind) {
    case SideOrigin::Kind::kEntry: return "?";
    case SideOrigin::Kind::kWinnerOf: return "Vainqueur de " + of;
    case SideOrigin::Kind::kLoserOf: return "Perdant de " + of;
    case SideOrigin::Kind::kGroupPlace:
      return (side.origin.place == 1 ? std::string("1er") : number(side.origin.place) + "e") +
             " du groupe " + of;
  }
  return "?";
}

std::string finalPlaceText(int place) {
  return number(place) + (place == 1 ? "re place" : "e place");
}

int sideRowMiddle(const BracketItem& item, int side) {
  return item.y + kPad + kHeaderRow + side * kSideRow + kSideRow / 2;
}

int memberRowMiddle(const BracketItem& item, int member) { return sideRowMiddle(item, member); }

int cellsTop(const BracketItem& item) { return item.y + kPad + kHeaderRow + 3 * kSideRow + 4; }
