// The results entered so far, the placeholder counter, and the look-up the
// bracket makes for every pairing.
//
// A long (possibly damaged) save file can fill MatchLog with tens of thousands
// of entries, and every turn resolves hundreds of pairings, so look-ups go
// through an index: for each unordered pair of ids, the positions of the
// live entries between them, oldest first. Cancelled entries never match, so
// they are left out, and a cancel takes the newest entry out of its list;
// entering and cancelling the same match over and over thus leaves nothing
// behind to walk past. The look-up still tests each entry as stored, so the
// answer is the same as walking the whole log from its oldest entry.
#include "engine/match_log.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "display/text_panel.h"

std::vector<MatchRecord> MatchLog;
int32_t placeholderCounter = kFirstPlaceholderId;

namespace {

constexpr unsigned kAnnouncedNameWidth = 50;

// Positions in MatchLog of the live entries for each unordered pair of ids.
std::unordered_map<uint64_t, std::vector<size_t>> entriesByPair;
// How many entries of MatchLog, from the oldest, are in entriesByPair.
size_t indexedCount = 0;

uint64_t pairKey(int32_t a, int32_t b) {
  const uint32_t low = static_cast<uint32_t>(std::min(a, b));
  const uint32_t high = static_cast<uint32_t>(std::max(a, b));
  return (static_cast<uint64_t>(low) << 32) | high;
}

// Brings the index in step with MatchLog. Normally only the newest entry is
// missing; if the log was emptied or shrunk behind our back, start over.
void syncIndex() {
  if (indexedCount > MatchLog.size()) {
    entriesByPair.clear();
    indexedCount = 0;
  }
  for (; indexedCount < MatchLog.size(); ++indexedCount) {
    const MatchRecord& r = MatchLog[indexedCount];
    if (r.winner.id == kNoParticipant) continue;
    entriesByPair[pairKey(r.winner.id, r.loser.id)].push_back(indexedCount);
  }
}

// Takes the newest entry of MatchLog out of the index, before its winner id
// is overwritten (the key depends on it). Being the newest, it can only be at
// the end of its list; if it is not there, it was never indexed.
void unindexNewest() {
  const MatchRecord& newest = MatchLog.back();
  auto found = entriesByPair.find(pairKey(newest.winner.id, newest.loser.id));
  if (found == entriesByPair.end()) return;
  std::vector<size_t>& positions = found->second;
  if (!positions.empty() && positions.back() == MatchLog.size() - 1)
    positions.pop_back();
}

// Whether the entry is a result between a and b, in either order. A cancelled
// entry (winner id -1) settles nothing, whatever the ids asked about.
bool settles(const MatchRecord& r, const Participant& a, const Participant& b) {
  if (r.winner.id == kNoParticipant) return false;
  return (r.winner.id == a.id && r.loser.id == b.id) ||
         (r.loser.id == a.id && r.winner.id == b.id);
}

bool looksLikePlaceholder(const std::string& name) {
  return name.find('(') != std::string::npos;
}

// The row that tells the operator a match is to be played now.
void announce(const Participant& a, const Participant& b) {
  leftPanel << "***** Play match " << fitName(a.name, kAnnouncedNameWidth)
            << " vs " << fitName(b.name, kAnnouncedNameWidth) << std::endl;
}

}  // namespace

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

int32_t nextPlaceholderId() { return ++placeholderCounter; }

std::string fitName(std::string name, unsigned width) {
  if (name.size() <= width) return name;
  return "X";
}

MatchRecord resolveMatch(Participant a, Participant b) {
  syncIndex();
  auto found = entriesByPair.find(pairKey(a.id, b.id));
  if (found != entriesByPair.end()) {
    for (size_t position : found->second) {
      if (settles(MatchLog[position], a, b)) return MatchLog[position];
    }
  }
  if (!looksLikePlaceholder(a.name) || !looksLikePlaceholder(b.name))
    announce(a, b);
  MatchRecord pending;
  pending.winner.id = nextPlaceholderId();
  pending.winner.name = generatedName("winner", {&a.name, &b.name});
  pending.loser.id = nextPlaceholderId();
  pending.loser.name = generatedName("loser", {&a.name, &b.name});
  return pending;
}

void appendResult(MatchRecord record) {
  MatchLog.push_back(std::move(record));
  syncIndex();
}

bool hasResults() { return !MatchLog.empty(); }

// On an empty log there is nothing to show: the result is a record whose two
// sides have id -1 and empty names. Callers should ask hasResults() first.
MatchRecord lastResult() {
  if (MatchLog.empty()) return MatchRecord{};
  return MatchLog.back();
}

// On an empty log there is nothing to mark, and nothing happens.
void cancelLastResult() {
  if (MatchLog.empty()) return;
  syncIndex();
  unindexNewest();
  MatchLog.back().winner.id = kNoParticipant;
}

void resetMatchLog() {
  MatchLog.clear();
  placeholderCounter = kFirstPlaceholderId;
  entriesByPair.clear();
  indexedCount = 0;
}
