// The bracket drawn as SVG: read back with a small XML reader, every
// pairing is drawn once, every player enters in the first block, each
// column's players end within its places, names come out as typed, every
// SVG fits a printed page with its boxes whole and apart, and every line
// joins two boxes of its SVG while every other destination is written.
#include "views/bracket_svg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "engine/tournament_play.h"
#include "views/text_escape.h"
#include "views/bracket_layout.h"

namespace {

// --- a reader for the drawing's XML

struct Node {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string text;  // its own text, entities replaced
  std::vector<std::unique_ptr<Node>> children;

  int number(const std::string& attribute) const {
    auto found = attributes.find(attribute);
    return found == attributes.end() ? -1 : std::stoi(found->second);
  }
};

// Text up to `end` with the five entities escapeHtml writes replaced; false
// on a bare '&' or '<', or '>'.
bool unescape(const std::string& s, size_t* pos, char end, std::string* out) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
  while (*pos < s.size() && s[*pos] != end) {
    const char c = s[*pos];
    if (c == '<' || c == '>') return false;
    if (c != '&') {
      *out += c;
      ++*pos;
      continue;
    }
    bool known = false;
    for (const auto& e : kEntities) {
      if (s.compare(*pos, std::strlen(e.first), e.first) != 0) continue;
      *out += e.second;
      *pos += std::strlen(e.first);
      known = true;
    }
    if (!known) return false;
  }
  return *pos < s.size() || end == '<';
}

std::string readName(const std::string& s, size_t* pos) {
  const size_t start = *pos;
  while (*pos < s.size() && (std::isalnum(static_cast<unsigned char>(s[*pos])) || s[*pos] == '-'))
    ++*pos;
  return s.substr(start, *pos - start);
}

// Elements in balanced tags, attributes in double quotes; the document's
// top elements become children of the returned node. Null when malformed.
std::unique_ptr<Node> readXml(const std::string& s) {
  auto root = std::make_unique<Node>();
  std::vector<Node*> open{root.get()};
  size_t pos = 0;
  while (pos < s.size()) {
    if (s[pos] != '<') {
      if (!unescape(s, &pos, '<', &open.back()->text)) return nullptr;
      continue;
    }
    ++pos;
    const bool closing = pos < s.size() && s[pos] == '/';
    pos += closing;
    const std::string name = readName(s, &pos);
    if (name.empty()) return nullptr;
    if (closing) {
      if (open.size() < 2 || open.back()->name != name || s.compare(pos, 1, ">") != 0)
        return nullptr;
      open.pop_back();
      ++pos;
      continue;
    }
    auto node = std::make_unique<Node>();
    node->name = name;
    while (pos < s.size() && s[pos] == ' ') {
      ++pos;
      const std::string attribute = readName(s, &pos);
      if (attribute.empty() || s.compare(pos, 2, "=\"") != 0) return nullptr;
      pos += 2;
      if (!unescape(s, &pos, '"', &node->attributes[attribute])) return nullptr;
      ++pos;
    }
    const bool empty = s.compare(pos, 2, "/>") == 0;
    if (!empty && s.compare(pos, 1, ">") != 0) return nullptr;
    pos += empty ? 2 : 1;
    Node* added = node.get();
    open.back()->children.push_back(std::move(node));
    if (!empty) open.push_back(added);
  }
  return open.size() == 1 ? std::move(root) : nullptr;
}

// All the text under the node, in order.
std::string allText(const Node& node) {
  std::string text = node.text;
  for (const auto& child : node.children) text += allText(*child);
  return text;
}

template <class Visit>
void forEachNode(const Node& node, Visit visit) {
  visit(node);
  for (const auto& child : node.children) forEachNode(*child, visit);
}

// --- labels

TEST(BracketSvgTest, SidesReadAsNamesOrWhereTheyComeFrom) {
  using K = SideOrigin::Kind;
  const std::string thirty(30, 'n');
  const struct {
    PairingSide side;
    std::string label;
  } cases[] = {
      {{true, {4, "Zo\xE9"}, {}}, "Zo\xC3\xA9"},
      {{true, {4, thirty}, {K::kWinnerOf, 2, 0}}, thirty},
      {{true, {4, thirty + "\xE9"}, {}}, thirty.substr(1) + "\xE2\x80\xA6"},
      {{false, {}, {K::kWinnerOf, 12, 0}}, "Vainqueur de 12"},
      {{false, {}, {K::kLoserOf, 7, 0}}, "Perdant de 7"},
      {{false, {}, {K::kGroupPlace, 3, 1}}, "1er du groupe 3"},
      {{false, {}, {K::kGroupPlace, 3, 2}}, "2e du groupe 3"},
      {{false, {}, {K::kGroupPlace, 3, 3}}, "3e du groupe 3"},
  };
  for (const auto& c : cases) EXPECT_EQ(sideLabel(c.side), c.label) << "expected: " << c.label;
}

// --- whole tournaments

// Some names need escaping, some are over 30 characters.
std::vector<Participant> namedPlayers(int n) {
  std::vector<Participant> players;
  for (int i = 0; i < n; ++i) {
    std::string name = "p" + std::to_string(i) + (i % 5 == 1 ? " <&\"\xE9'>" : "");
    players.push_back({i, name + std::string(static_cast<size_t>(i * 7 % 34), 'x')});
  }
  return players;
}

// The SVGs, the places of their columns and the players in them.
void checkBlocks(const TournamentState& state, const Node& document, const std::string& where) {
  ASSERT_FALSE(document.children.empty()) << where;
  std::map<int, int> drawn;  // pairing number -> times
  std::set<int32_t> entered;  // in the first column of the first block's pieces
  const int players = static_cast<int>(state.players.size());
  for (size_t s = 0; s < document.children.size(); ++s) {
    const Node& svg = *document.children[s];
    const std::string at = where + ", svg " + std::to_string(s);
    ASSERT_EQ(svg.name, "svg") << at;
    EXPECT_LE(svg.number("width"), kSheetMaxWidth) << at;
    EXPECT_LE(svg.number("height"), kSheetMaxHeight) << at;
    EXPECT_EQ(svg.attributes.at("viewBox"),
              "0 0 " + svg.attributes.at("width") + " " + svg.attributes.at("height"))
        << at;
    const int first = svg.number("data-first-place");
    const int last = svg.number("data-last-place");
    if (s == 0) {
      EXPECT_TRUE(first == 1 && last == players) << at;
    }
    for (const auto& column : svg.children) {
      if (column->name != "g") continue;
      const int from = column->number("data-first-place");
      const int to = column->number("data-last-place");
      EXPECT_TRUE(from >= first && to <= last) << at;
      const bool firstRound = from == 1 && to == players;
      forEachNode(*column, [&](const Node& node) {
        if (node.number("data-pairing") > 0) ++drawn[node.number("data-pairing")];
        const int id = node.number("data-player");
        if (id < 0) return;
        if (firstRound) entered.insert(id);
        const Participant& player = state.players.at(static_cast<size_t>(id));
        EXPECT_EQ(allText(node), sideLabel(PairingSide{true, player, {}})) << at;
        for (int place : state.reachable[static_cast<size_t>(id)])
          EXPECT_TRUE(place >= from && place <= to)
              << at << ": p" << id << " reaches " << place << " outside " << from << "-" << to;
      });
    }
  }
  EXPECT_EQ(entered.size(), state.players.size()) << where << ": first round";
  ASSERT_EQ(drawn.size(), state.pairings.size()) << where;
  for (const auto& d : drawn) {
    EXPECT_EQ(d.second, 1) << where << ": pairing " << d.first;
    EXPECT_TRUE(d.first >= 1 && d.first <= static_cast<int>(state.pairings.size())) << where;
  }
}

// --- the geometry of each SVG

struct Box {
  int x = 0, y = 0, w = 0, h = 0;
  const Node* node = nullptr;
  bool contains(int px, int py) const { return px >= x && px <= x + w && py >= y && py <= y + h; }
};

// A box's frame: a pairing's or a group's first <rect>.
Box frameOf(const Node& item) {
  for (const auto& child : item.children)
    if (child->name == "rect")
      return {child->number("x"), child->number("y"), child->number("width"),
              child->number("height"), &item};
  ADD_FAILURE() << "a box without its frame";
  return {};
}

// A line between columns: "M x1 y1 H xm V y2 H x2", as four numbers.
bool lineEnds(const std::string& d, int* x1, int* y1, int* x2, int* y2) {
  int middle = 0;
  return std::sscanf(d.c_str(), "M%d %dH%dV%dH%d", x1, y1, &middle, y2, x2) == 5;
}

// The text a box must hold for a destination not drawn beside it.
std::string noteOf(const char* label, const Destination& to) {
  std::string text = std::string(label) + " \xE2\x86\x92 ";
  switch (to.kind) {
    case Destination::Kind::kPlace: return text + finalPlaceText(to.number);
    case Destination::Kind::kGroup: return text + "groupe " + std::to_string(to.number) + " (";
    case Destination::Kind::kPairing: return text + std::to_string(to.number) + " (";
    case Destination::Kind::kNone: break;
  }
  return text;
}

// Within each SVG: every box and text inside its bounds, no two boxes
// overlapping, every line leaving a box's right side and entering another's
// left side. Across them: a destination in the same SVG has its line, any
// other is written in the box.
void checkPieces(const TournamentState& state, const Node& document, const std::string& where) {
  struct Placed {
    size_t svg = 0;
    Box box;
  };
  std::map<int, Placed> pairingAt, groupAt;
  std::vector<std::vector<std::pair<Box, Box>>> lines(document.children.size());
  for (size_t s = 0; s < document.children.size(); ++s) {
    const Node& svg = *document.children[s];
    const std::string at = where + ", svg " + std::to_string(s);
    const int width = svg.number("width"), height = svg.number("height");
    std::vector<Box> boxes;
    std::vector<const Node*> paths;
    for (const auto& column : svg.children) {
      if (column->name != "g") continue;
      for (const auto& item : column->children) {
        if (item->name == "path") paths.push_back(item.get());
        if (item->name != "g") continue;
        const Box box = frameOf(*item);
        boxes.push_back(box);
        if (item->number("data-pairing") > 0) pairingAt[item->number("data-pairing")] = {s, box};
        if (item->number("data-group") > 0) groupAt[item->number("data-group")] = {s, box};
      }
    }
    for (size_t i = 0; i < boxes.size(); ++i) {
      const Box& a = boxes[i];
      EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.w <= width && a.y + a.h <= height)
          << at << ": a box out of the picture at " << a.x << "," << a.y;
      for (size_t j = 0; j < i; ++j) {
        const Box& b = boxes[j];
        EXPECT_FALSE(a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h)
            << at << ": boxes overlap at " << a.x << "," << a.y;
      }
    }
    forEachNode(svg, [&](const Node& node) {
      if (node.name != "text") return;
      const int x = node.number("x"), y = node.number("y");
      EXPECT_TRUE(x > 0 && x < width && y > 0 && y < height) << at << ": text at " << x << "," << y;
    });
    for (const Node* path : paths) {
      int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
      ASSERT_TRUE(lineEnds(path->attributes.at("d"), &x1, &y1, &x2, &y2)) << at;
      const Box* from = nullptr;
      const Box* into = nullptr;
      for (const Box& box : boxes) {
        if (box.x + box.w == x1 && box.contains(x1, y1)) from = &box;
        if (box.x == x2 && box.contains(x2, y2)) into = &box;
      }
      EXPECT_TRUE(from && into) << at << ": a line to nowhere, " << path->attributes.at("d");
      if (from && into) lines[s].emplace_back(*from, *into);
    }
  }
  // The destination `to` of the box at `from`: a line to it, or a note.
  const auto check = [&](const Placed& from, const char* label, const Destination& to,
                         bool drawable, const std::string& at) {
    const std::map<int, Placed>* targets = to.kind == Destination::Kind::kPairing ? &pairingAt
                                           : to.kind == Destination::Kind::kGroup ? &groupAt
                                                                                  : nullptr;
    const auto target = targets ? targets->find(to.number) : pairingAt.end();
    if (drawable && targets && target != targets->end() && target->second.svg == from.svg) {
      const bool joined = std::any_of(
          lines[from.svg].begin(), lines[from.svg].end(), [&](const std::pair<Box, Box>& line) {
            return line.first.node == from.box.node && line.second.node == target->second.box.node;
          });
      EXPECT_TRUE(joined) << at << ": no line for the " << label;
      return;
    }
    if (to.kind == Destination::Kind::kNone) return;
    EXPECT_NE(allText(*from.box.node).find(noteOf(label, to)), std::string::npos)
        << at << ": " << label << " goes nowhere";
  };
  for (const Pairing& p : state.pairings) {
    if (p.group != 0) continue;
    const std::string at = where + ", pairing " + std::to_string(p.number);
    ASSERT_EQ(pairingAt.count(p.number), 1u) << at;
    check(pairingAt[p.number], "vainqueur", p.winnerTo, true, at);
    check(pairingAt[p.number], "perdant", p.loserTo, false, at);
  }
  for (const ThreeWayGroup& g : state.groups) {
    const std::string at = where + ", group " + std::to_string(g.number);
    ASSERT_EQ(groupAt.count(g.number), 1u) << at;
    const bool together = g.to[0].kind == g.to[1].kind && g.to[0].number == g.to[1].number;
    check(groupAt[g.number], together ? "1er, 2e" : "1er", g.to[0], true, at);
    if (!together) check(groupAt[g.number], "2e", g.to[1], true, at);
    check(groupAt[g.number], "3e", g.to[2], false, at);
  }
}

// Each played box marks its winner in bold, alone, and shows the result's
// number in the log.
void checkResults(const TournamentState& state, const Node& document, const std::string& where) {
  forEachNode(document, [&](const Node& box) {
    const int number = box.number("data-pairing");
    if (number < 0 || box.attributes.at("class").find("match") != 0) return;
    const Pairing& p = state.pairings.at(static_cast<size_t>(number) - 1);
    const std::string at = where + ", pairing " + std::to_string(number);
    std::vector<int> bold;
    forEachNode(box, [&](const Node& node) {
      if (node.attributes.count("font-weight") && node.number("data-player") >= 0)
        bold.push_back(node.number("data-player"));
    });
    if (p.status == PairingStatus::kPlayed) {
      EXPECT_NE(allText(box).find("n\xC2\xB0 " + std::to_string(p.logPosition + 1)),
                std::string::npos)
          << at;
      if (p.group == 0) {
        EXPECT_EQ(bold, std::vector<int>{p.winner}) << at;
      }
    } else {
      EXPECT_TRUE(bold.empty()) << at;
    }
  });
}

// The drawing of one state, read back and checked against the state.
void checkDrawing(const TournamentState& state, const std::string& where) {
  const std::unique_ptr<Node> document = readXml(renderBracketSvg(state));
  ASSERT_NE(document, nullptr) << where << ": not well-formed";
  checkBlocks(state, *document, where);
  checkPieces(state, *document, where);
  checkResults(state, *document, where);
}

TEST(BracketSvgTest, EveryTurnOfEveryTournamentDrawsTheWholeBracket) {
  for (int n = kMinPlayers; n <= kMaxPlayers; ++n) {
    size_t turn = 0;
    const std::vector<Participant> players = namedPlayers(n);
    const TournamentState end = playThrough(
        players, static_cast<uint32_t>(n) * 104729u,
        [&](const TournamentState& state, const ResultLog&) {
          // Every turn of the small ones, a sample of the large ones.
          if (n <= 12 || turn % 8 == 0) {
            const std::string where = std::to_string(n) + " players, turn " + std::to_string(turn);
            checkDrawing(state, where);
          }
          ++turn;
        });
    checkDrawing(end, std::to_string(n) + " players, at the end");
  }
}

}  // namespace
