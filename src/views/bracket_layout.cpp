// bracket_layout.cpp: see bracket_layout.h.
//
// The recursion decides a distinct range of places with every group it
// pairs off, so a pairing's range names its group, and a group's first
// place names its block: the block's first group is the one with the
// widest range starting there, and each of its winners' halves starts at
// the same place. Boxes of the first column are stacked; each later box is
// centred on the boxes whose winners it receives, as far as the boxes
// above it allow.
//
// A block too big for a page is cut into pieces. Its columns are shared
// out into runs of at most as many as a page's width takes; a run taller
// than a page is cut across, at heights where no box of any of its columns
// lies, into bands that each fit a page. Each band is laid out again as a
// piece of its own, so the run that is cut is the one that needs the
// fewest pieces for the whole block (a run of wide subtrees may find no
// such height at all: then fewer columns do).
#include "views/bracket_layout.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "views/text_escape.h"

namespace {

constexpr int kTop = kMargin + kTitleRow + kColumnHeadRow + 4;
constexpr int kColumnGap = 40;
constexpr int kItemGap = 10;
constexpr int kTitleSize = 16;

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

// Sheets being tried are numbered from here, each try anew, so that no
// item placed by an earlier try counts as drawn beside a later one.
constexpr int kFirstTry = 1 << 20;

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
  using Block = std::vector<const Plan*>;  // widest range first
  // Columns first to first + spans.size() - 1 of a block, of each the items
  // from .first to before .second.
  struct Piece {
    size_t first = 0;
    std::vector<std::pair<size_t, size_t>> spans;
  };

  // Groups the pairings by the range of places of their group.
  void collectColumns();
  // The width every item gets: the longest name or note fits.
  int measureWidth();
  // Cuts each block into pieces and makes a sheet of each.
  void fillSheets();
  // The pieces that cut the block's columns with as few as can be, runs
  // of columns at most perSheet_ wide.
  std::vector<Piece> cutBlock(const Block& block);
  // The bands that cut columns first to first + count - 1 across, each
  // fitting a page; empty when some of their boxes overlap so far that no
  // band of them fits.
  // Bands as even in height as their number allows when `balance`.
  std::vector<Piece> cutAcross(const Block& block, size_t first, size_t count, bool balance);
  // A height no cut may cross (boxes of the columns overlapping there),
  // and by column the index of the item after the last that ends by it.
  struct Run {
    int top = 0, bottom = 0;
    std::vector<size_t> ends;
  };
  // The runs of a sheet laid out whole, top down.
  std::vector<Run> runsOf(const BracketSheet& laid) const;
  // The runs gathered into bands of at most a page laid out, each as tall
  // as fits, or, given how many bands to make, each nearest the height
  // left shared among the bands left; empty when one run alone is taller.
  std::vector<Piece> bandsOf(const Block& block, size_t first, const std::vector<Run>& runs,
                             size_t wanted);
  // The piece as a sheet, its items noted as on sheet number `index`, laid
  // out (notes counted, not written).
  BracketSheet trySheet(const Block& block, const Piece& piece, int index);
  // Calls note(label, destination, the item's first place) for each of the
  // item's winner, loser or places that no line within sheet number
  // `sheet` shows.
  template <class Note>
  void forEachNote(const BracketItem& item, int sheet, Note note) const;
  std::vector<std::string> notesOf(const BracketItem& item, int sheet) const;
  // "12 (suite)" within the block starting at blockFirst, else
  // "12 (places 5 à 8)"; a final place as such.
  std::string destinationText(const Destination& to, int blockFirst) const;
  // Stacks each column's items, each centred on its feeders when it can
  // be, and sizes the sheet; the notes are written when `write`.
  void placeVertically(BracketSheet* sheet, int index, bool write) const;
  // The mean middle of the items of the column before that feed `item`
  // (sheet number `index`), or -1 when none does.
  int feedersMiddle(const BracketSheet& sheet, int index, size_t column,
                    const BracketItem& item) const;
  const Location& locate(const SideOrigin& origin) const;

  const TournamentState& state_;
  std::map<Key, Plan> columns_;
  BracketLayout layout_;
  int perSheet_ = 1;
  int nextTry_ = kFirstTry;
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

// With sheet -1, every destination is noted: the most notes the item can
// have.
template <class Note>
void Planner::forEachNote(const BracketItem& item, int sheet, Note note) const {
  const auto drawn = [this, sheet](const Destination& to) {
    const size_t n = static_cast<size_t>(to.number);
    if (to.kind == Destination::Kind::kPairing && n < pairingAt_.size())
      return pairingAt_[n].sheet == sheet;
    if (to.kind == Destination::Kind::kGroup && n < groupAt_.size())
      return groupAt_[n].sheet == sheet;
    return false;
  };
  if (item.group == 0) {
    const Pairing& p = state_.pairings[static_cast<size_t>(item.pairing) - 1];
    if (!drawn(p.winnerTo)) note("vainqueur", p.winnerTo, p.places.first);
    if (!drawn(p.loserTo)) note("perdant", p.loserTo, p.places.first);
    return;
  }
  const ThreeWayGroup& g = state_.groups[static_cast<size_t>(item.group) - 1];
  const int first = g.places.first;
  const bool together = g.to[0].kind == g.to[1].kind && g.to[0].number == g.to[1].number;
  if (together && !drawn(g.to[0])) {
    note("1er, 2e", g.to[0], first);
  } else if (!together) {
    if (!drawn(g.to[0])) note("1er", g.to[0], first);
    if (!drawn(g.to[1])) note("2e", g.to[1], first);
  }
  if (!drawn(g.to[2])) note("3e", g.to[2], first);
}

std::vector<std::string> Planner::notesOf(const BracketItem& item, int sheet) const {
  std::vector<std::string> notes;
  forEachNote(item, sheet, [&](const char* label, const Destination& to, int first) {
    notes.push_back(std::string(label) + " \xE2\x86\x92 " + destinationText(to, first));
  });
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
  // A column's head, with the numbers of the boxes of a shared column.
  size_t headChars = 0;
  for (const auto& column : columns_)
    headChars = std::max(headChars, charCount(rangeText(column.second.places)) + 14);
  const int box = kMarkWidth + textWidth(nameChars, kNameSize);
  // A member row: its number, the name, and its place in the group.
  const int member = textWidth(nameChars + 3, kNameSize) + textWidth(4, kSmallSize);
  const int cells = 3 * (textWidth(kCellChars, kSmallSize) + 2 * kCellGap);
  return 2 * kPad + std::max({box, member, cells, textWidth(noteChars, kSmallSize),
                              textWidth(headChars, kSmallSize) - 2 * kPad});
}

BracketSheet Planner::trySheet(const Block& block, const Piece& piece, int index) {
  BracketSheet sheet;
  for (size_t c = 0; c < piece.spans.size(); ++c) {
    const Plan& plan = *block[piece.first + c];
    const auto span = piece.spans[c];
    if (span.first >= span.second) continue;
    BracketColumn column;
    column.places = plan.places;
    column.x = kMargin + static_cast<int>(sheet.columns.size()) * (layout_.itemWidth + kColumnGap);
    const size_t at = sheet.columns.size();
    const size_t all = plan.pairings.size() + (plan.group != 0 ? 1 : 0);
    column.items.reserve(span.second - span.first);
    int low = 0, high = 0;
    for (size_t i = span.first; i < span.second; ++i) {
      const BracketItem item =
          i < plan.pairings.size() ? BracketItem{plan.pairings[i], 0, 0, 0, {}}
                                   : BracketItem{0, plan.group, 0, 0, {}};
      Location& where = item.group == 0 ? pairingAt_[static_cast<size_t>(item.pairing)]
                                        : groupAt_[static_cast<size_t>(item.group)];
      where = {index, at, column.items.size()};
      column.items.push_back(item);
      // A group frame holds its three matches, numbered after the pairs.
      const ThreeWayGroup* g =
          item.group != 0 ? &state_.groups[static_cast<size_t>(item.group) - 1] : nullptr;
      const int from = g ? g->pairings[0] : item.pairing;
      const int to = g ? g->pairings[2] : item.pairing;
      low = low == 0 ? from : std::min(low, from);
      high = std::max(high, to);
    }
    // A try is only measured: no words.
    if (index < kFirstTry) {
      column.head = rangeText(plan.places);
      column.head[0] = 'P';
      if (span.second - span.first < all)
        column.head += " : " + number(low) + (high > low ? " \xC3\xA0 " + number(high) : "");
    }
    sheet.columns.push_back(std::move(column));
  }
  placeVertically(&sheet, index, false);
  return sheet;
}

std::vector<Planner::Run> Planner::runsOf(const BracketSheet& laid) const {
  struct Box {
    int top, bottom;
    size_t column, item;
  };
  std::vector<Box> boxes;
  for (size_t c = 0; c < laid.columns.size(); ++c)
    for (size_t i = 0; i < laid.columns[c].items.size(); ++i) {
      const BracketItem& item = laid.columns[c].items[i];
      boxes.push_back({item.y, item.y + item.height, c, i});
    }
  std::sort(boxes.begin(), boxes.end(),
            [](const Box& a, const Box& b) { return a.top < b.top; });
  std::vector<Run> runs;
  std::vector<size_t> ends(laid.columns.size(), 0);
  for (const Box& box : boxes) {
    if (runs.empty() || box.top >= runs.back().bottom) runs.push_back({box.top, box.bottom, {}});
    runs.back().bottom = std::max(runs.back().bottom, box.bottom);
    ends[box.column] = std::max(ends[box.column], box.item + 1);
    runs.back().ends = ends;
  }
  return runs;
}

std::vector<Planner::Piece> Planner::bandsOf(const Block& block, size_t first,
                                             const std::vector<Run>& runs, size_t wanted) {
  // Each band checked once laid out anew, its boxes noting what now lies
  // in other bands.
  const size_t count = runs.empty() ? 0 : runs.front().ends.size();
  const int room = kSheetMaxHeight - kTop - kMargin;
  std::vector<Piece> bands;
  std::vector<size_t> begins(count, 0);
  for (size_t a = 0; a < runs.size();) {
    size_t b = a;
    while (b + 1 < runs.size() && runs[b + 1].bottom - runs[a].top <= room) ++b;
    if (wanted > bands.size() + 1) {
      const int share =
          (runs.back().bottom - runs[a].top) / static_cast<int>(wanted - bands.size());
      const auto off = [&](size_t end) { return std::abs(runs[end].bottom - runs[a].top - share); };
      for (size_t end = a; end < b; ++end)
        if (off(end) < off(b)) b = end;
    }
    for (;; --b) {
      Piece band{first, {}};
      for (size_t c = 0; c < count; ++c) band.spans.emplace_back(begins[c], runs[b].ends[c]);
      if (trySheet(block, band, nextTry_++).height <= kSheetMaxHeight) {
        bands.push_back(std::move(band));
        break;
      }
      if (b == a) return {};
    }
    for (size_t c = 0; c < count; ++c) begins[c] = runs[b].ends[c];
    a = b + 1;
  }
  return bands;
}

std::vector<Planner::Piece> Planner::cutAcross(const Block& block, size_t first, size_t count,
                                               bool balance) {
  Piece whole{first, {}};
  for (size_t c = first; c < first + count; ++c)
    whole.spans.emplace_back(0, block[c]->pairings.size() + (block[c]->group != 0 ? 1 : 0));
  const BracketSheet laid = trySheet(block, whole, nextTry_++);
  if (laid.height <= kSheetMaxHeight) return {whole};
  const std::vector<Run> runs = runsOf(laid);
  std::vector<Piece> bands = bandsOf(block, first, runs, 0);
  if (!balance || bands.size() < 2) return bands;
  // As many bands, as even as they can be: a last band of two boxes reads
  // as if lost.
  std::vector<Piece> even = bandsOf(block, first, runs, bands.size());
  return even.size() == bands.size() ? even : bands;
}

std::vector<Planner::Piece> Planner::cutBlock(const Block& block) {
  // best[i]: the fewest pieces for columns i to the last, then the
  // narrowest widest run (columns shared evenly: a lone final on a piece of
  // its own reads badly); take[i]: the pieces of the run starting at i.
  const size_t n = block.size();
  if (n <= static_cast<size_t>(perSheet_)) {
    std::vector<Piece> whole = cutAcross(block, 0, n, false);
    if (whole.size() == 1) return whole;
  }
  const size_t kNone = static_cast<size_t>(-1);
  std::vector<std::pair<size_t, size_t>> best(n + 1, {kNone, 0});
  std::vector<std::vector<Piece>> take(n + 1);
  best[n] = {0, 0};
  for (size_t i = n; i-- > 0;) {
    for (size_t count = 1; count <= static_cast<size_t>(perSheet_) && i + count <= n; ++count) {
      if (best[i + count].first == kNone) continue;
      std::vector<Piece> pieces = cutAcross(block, i, count, false);
      if (pieces.empty()) continue;
      const std::pair<size_t, size_t> cost{pieces.size() + best[i + count].first,
                                           std::max(count, best[i + count].second)};
      if (cost < best[i]) {
        best[i] = cost;
        take[i] = std::move(pieces);
      }
    }
  }
  std::vector<Piece> pieces;
  for (size_t i = 0; i < n;) {
    const size_t count = take[i].front().spans.size();
    if (take[i].size() > 1) take[i] = cutAcross(block, i, count, true);
    for (Piece& piece : take[i]) pieces.push_back(std::move(piece));
    i += count;
  }
  return pieces;
}

void Planner::fillSheets() {
  pairingAt_.assign(state_.pairings.size() + 1, Location{});
  groupAt_.assign(state_.groups.size() + 1, Location{});
  // In place order; within a block, from the widest range down.
  for (auto start = columns_.begin(); start != columns_.end();) {
    auto end = start;
    while (end != columns_.end() && end->first.first == start->first.first) ++end;
    Block block;
    for (auto it = end; it != start;) block.push_back(&(--it)->second);
    const std::vector<Piece> pieces = cutBlock(block);
    for (size_t k = 0; k < pieces.size(); ++k) {
      BracketSheet sheet =
          trySheet(block, pieces[k], static_cast<int>(layout_.sheets.size()));
      sheet.places = block.front()->places;
      sheet.part = static_cast<int>(k) + 1;
      sheet.parts = static_cast<int>(pieces.size());
      sheet.title = rangeText(sheet.places);
      sheet.title[0] = 'P';
      if (sheet.parts > 1)
        sheet.title += std::string(k > 0 ? " (suite, " : " (") + number(sheet.part) + "/" +
                       number(sheet.parts) + ")";
      sheet.width = std::max(sheet.width,
                             2 * kMargin + textWidth(charCount(sheet.title), kTitleSize));
      layout_.sheets.push_back(std::move(sheet));
    }
    start = end;
  }
  // Every item is where it ends: the notes can be written.
  for (size_t s = 0; s < layout_.sheets.size(); ++s)
    placeVertically(&layout_.sheets[s], static_cast<int>(s), true);
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

void Planner::placeVertically(BracketSheet* sheet, int index, bool write) const {
  int bottom = 0;
  for (size_t c = 0; c < sheet->columns.size(); ++c) {
    int next = kTop;
    for (BracketItem& item : sheet->columns[c].items) {
      int count = 0;
      if (write) {
        item.notes = notesOf(item, index);
        count = static_cast<int>(item.notes.size());
      } else {
        forEachNote(item, index, [&count](const char*, const Destination&, int) { ++count; });
      }
      const int notes = count * kNoteRow;
      item.height = item.group == 0
                        ? 2 * kPad + kHeaderRow + 2 * kSideRow + notes
                        : 2 * kPad + kHeaderRow + 3 * kSideRow + kCellRows * kNoteRow + 12 + notes;
      const int middle = feedersMiddle(*sheet, index, c, item);
      item.y = middle < 0 ? next : std::max(next, middle - item.height / 2);
      next = item.y + item.height + kItemGap;
      bottom = std::max(bottom, item.y + item.height);
    }
  }
  const int columns = static_cast<int>(sheet->columns.size());
  sheet->width = std::max(sheet->width,
                          2 * kMargin + columns * layout_.itemWidth + (columns - 1) * kColumnGap);
  sheet->height = std::max(bottom, kTop) + kMargin;
}

BracketLayout Planner::run() {
  collectColumns();
  layout_.itemWidth = measureWidth();
  perSheet_ = std::max(
      1, (kSheetMaxWidth - 2 * kMargin + kColumnGap) / (layout_.itemWidth + kColumnGap));
  fillSheets();
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
