// The results entered so far, and the look-up the bracket makes for every
// pairing.
//
// A long (possibly damaged) save file can fill the log with tens of thousands
// of entries, and every turn resolves hundreds of pairings, so look-ups go
// through an index: for each unordered pair of ids, the positions of the
// live entries between them, oldest first. Cancelled entries never match, so
// they are left out, and a cancel takes its entry out of its list; entering
// and cancelling the same match over and over thus leaves nothing behind to
// walk past. The look-up still tests each entry as stored, so the answer is
// the same as walking the whole log from its oldest entry.
#include "engine/match_log.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace {

uint64_t pairKey(int32_t a, int32_t b) {
  const uint32_t low = static_cast<uint32_t>(std::min(a, b));
  const uint32_t high = static_cast<uint32_t>(std::max(a, b));
  return (static_cast<uint64_t>(low) << 32) | high;
}

// Whether the entry is a result between a and b, in either order. A cancelled
// entry (winner id -1) settles nothing, whatever the ids asked about.
bool settles(const MatchRecord& r, int32_t a, int32_t b) {
  if (r.winner.id == kNoParticipant) return false;
  return (r.winner.id == a && r.loser.id == b) ||
         (r.loser.id == a && r.winner.id == b);
}

// The program's log.
ResultLog programLog;

// Those of `side` who can still take the outcome against some member of
// `other`: all but the ones the log (or a withdrawal) already sends the
// other way against every member of `other`. (The sides come from separate
// parts of the bracket, so any member of one can meet any member of the
// other.) Players outside withResults go the wrong way against exactly
// `usual`: nobody, or when losing, the withdrawn players.
PlayerSet ableAgainst(const PlayerSet& side, const PlayerSet& other,
                      const std::array<PlayerSet, kMaxPlayers>& wrongWay,
                      const PlayerSet& withResults, const PlayerSet& usual) {
  // Only players with a logged result or a withdrawal are looked at one by
  // one; most sides of an early turn have none, and this runs for every
  // open match.
  const PlayerSet doubtful = side & withResults;
  PlayerSet able = side;
  if (usual.any() && (other & ~usual).none()) able &= withResults;
  for (size_t p = doubtful._Find_first(); p < doubtful.size();
       p = doubtful._Find_next(p)) {
    if ((other & ~wrongWay[p]).none()) able.reset(p);
  }
  return able;
}

bool isWithdrawn(const Participant& p, const BracketTrace& trace) {
  return isPlayerId(p.id) && trace.withdrawn.test(static_cast<size_t>(p.id));
}

// Candidates of the placeholders made for a pending match between a and b.
// A withdrawn player against a placeholder is not announced: it will be a
// forfeit, or a result already logged.
void noteOpenMatch(const Participant& a, const Participant& b,
                   const MatchRecord& pending, BracketTrace* trace) {
  if ((isPlayerId(a.id) && !isWithdrawn(a, *trace)) ||
      (isPlayerId(b.id) && !isWithdrawn(b, *trace)))
    // notePairing records this pairing right after, under the next number.
    trace->toPlay.push_back(MatchToPlay{a, b, isPlayerId(a.id) && isPlayerId(b.id),
                                        static_cast<int>(trace->pairings.size()) + 1});
  const PlayerSet sideA = trace->candidates(a);
  const PlayerSet sideB = trace->candidates(b);
  const PlayerSet& logged = trace->withResults;
  const PlayerSet nobody;
  trace->setCandidates(pending.winner.id,
                       ableAgainst(sideA, sideB, trace->beatenBy, logged, nobody) |
                           ableAgainst(sideB, sideA, trace->beatenBy, logged, nobody));
  const PlayerSet& left = trace->withdrawn;
  trace->setCandidates(pending.loser.id,
                       ableAgainst(sideA, sideB, trace->beats, logged, left) |
                           ableAgainst(sideB, sideA, trace->beats, logged, left));
}

// Two players without a result, at least one withdrawn: the withdrawn one,
// or the one who withdrew first, loses.
MatchRecord forfeit(Participant a, Participant b, BracketTrace* trace) {
  const bool aLoses =
      isWithdrawn(a, *trace) &&
      (!isWithdrawn(b, *trace) || trace->withdrawalRank[static_cast<size_t>(a.id)] <
                                      trace->withdrawalRank[static_cast<size_t>(b.id)]);
  MatchRecord r = aLoses ? MatchRecord{b, a} : MatchRecord{a, b};
  trace->forfeits.push_back(r);
  trace->notePairing(a, b, r, PairingStatus::kForfeit, kNoLogPosition);
  return r;
}

// Notes each withdrawn player as beaten by every player it has no result
// with. Those who withdrew before it were noted as beaten by it already, so
// among withdrawn players the one who withdrew first loses.
void noteWithdrawals(const std::vector<int32_t>& withdrawn, BracketTrace* trace) {
  int rank = 0;
  for (int32_t id : withdrawn) {
    if (!isPlayerId(id) || trace->withdrawn.test(static_cast<size_t>(id))) continue;
    const size_t w = static_cast<size_t>(id);
    trace->withdrawn.set(w);
    trace->withdrawalRank[w] = rank++;
    trace->withResults.set(w);
    PlayerSet open = ~(trace->beats[w] | trace->beatenBy[w]);
    open.reset(w);
    trace->beatenBy[w] |= open;
    for (size_t p = open._Find_first(); p < open.size(); p = open._Find_next(p))
      trace->beats[p].set(w);
  }
}

}  // namespace

void ResultLog::append(MatchRecord record) {
  entries_.push_back(std::move(record));
  const MatchRecord& r = entries_.back();
  if (r.winner.id == kNoParticipant) return;
  byPair_[pairKey(r.winner.id, r.loser.id)].push_back(entries_.size() - 1);
}

bool ResultLog::cancel(size_t position) {
  if (position >= entries_.size()) return false;
  MatchRecord& r = entries_[position];
  if (r.winner.id == kNoParticipant) return false;
  // Out of the index first: the key depends on the winner id.
  auto found = byPair_.find(pairKey(r.winner.id, r.loser.id));
  if (found != byPair_.end()) {
    std::vector<size_t>& positions = found->second;
    positions.erase(std::remove(positions.begin(), positions.end(), position),
                    positions.end());
  }
  r.winner.id = kNoParticipant;
  return true;
}

const size_t* ResultLog::deciding(int32_t a, int32_t b) const {
  auto found = byPair_.find(pairKey(a, b));
  if (found == byPair_.end()) return nullptr;
  for (const size_t& position : found->second) {
    if (settles(entries_[position], a, b)) return &position;
  }
  return nullptr;
}

bool ResultLog::correct(size_t position, MatchRecord corrected) {
  if (position >= entries_.size()) return false;
  const MatchRecord& old = entries_[position];
  if (old.winner.id == kNoParticipant || corrected.winner.id == kNoParticipant ||
      pairKey(old.winner.id, old.loser.id) !=
          pairKey(corrected.winner.id, corrected.loser.id))
    return false;
  // Copied: cancel edits the list being walked.
  const std::vector<size_t> samePair = byPair_[pairKey(old.winner.id, old.loser.id)];
  for (size_t other : samePair) cancel(other);
  append(std::move(corrected));
  return true;
}

const ResultLog& resultLog() { return programLog; }

const std::vector<MatchRecord>& matchLog() { return programLog.entries(); }

BracketTrace startTrace(const ResultLog& log, const MatchRecord* corrected,
                        const std::vector<int32_t>& withdrawn) {
  BracketTrace trace;
  trace.log = &log;
  trace.corrected = corrected;
  trace.firstPlaceholderId = trace.lastPlaceholderId = kFirstPlaceholderId;
  // A rebuild of n players makes fewer than 4n placeholders.
  trace.placeholderCandidates.reserve(4 * kMaxPlayers);
  auto note = [&trace](const MatchRecord& r) {
    if (!isPlayerId(r.winner.id) || !isPlayerId(r.loser.id)) return;
    trace.beats[r.winner.id].set(r.loser.id);
    trace.beatenBy[r.loser.id].set(r.winner.id);
    trace.withResults.set(r.winner.id).set(r.loser.id);
  };
  log.forEachDeciding([&](const MatchRecord& r) {
    if (corrected == nullptr || !settles(r, corrected->winner.id, corrected->loser.id))
      note(r);
  });
  if (corrected != nullptr) note(*corrected);
  noteWithdrawals(withdrawn, &trace);
  return trace;
}

MatchRecord resolveMatch(Participant a, Participant b, BracketTrace* trace) {
  const ResultLog& log = trace != nullptr ? *trace->log : programLog;
  if (trace != nullptr && trace->corrected != nullptr &&
      settles(*trace->corrected, a.id, b.id)) {
    // The correction tried out takes the place the appended entry would.
    trace->consulted.push_back(log.entries().size());
    trace->notePairing(a, b, *trace->corrected, PairingStatus::kPlayed, log.entries().size());
    return *trace->corrected;
  }
  if (const size_t* position = log.deciding(a.id, b.id)) {
    if (trace != nullptr) {
      trace->consulted.push_back(*position);
      trace->notePairing(a, b, log.entries()[*position], PairingStatus::kPlayed, *position);
    }
    return log.entries()[*position];
  }
  if (trace != nullptr && isPlayerId(a.id) && isPlayerId(b.id) &&
      (isWithdrawn(a, *trace) || isWithdrawn(b, *trace)))
    return forfeit(std::move(a), std::move(b), trace);
  MatchRecord pending;
  pending.winner.id = trace != nullptr ? trace->nextPlaceholderId() : nextPlaceholderId();
  pending.winner.name = generatedName("winner", {&a.name, &b.name});
  pending.loser.id = trace != nullptr ? trace->nextPlaceholderId() : nextPlaceholderId();
  pending.loser.name = generatedName("loser", {&a.name, &b.name});
  if (trace != nullptr) {
    noteOpenMatch(a, b, pending, trace);
    const bool playable = isPlayerId(a.id) && isPlayerId(b.id);
    trace->notePairing(a, b, pending,
                       playable ? PairingStatus::kToPlay : PairingStatus::kWaiting,
                       kNoLogPosition);
  }
  return pending;
}

void appendResult(MatchRecord record) { programLog.append(std::move(record)); }

bool hasResults() { return !programLog.entries().empty(); }

MatchRecord lastResult() {
  if (programLog.entries().empty()) return MatchRecord{};
  return programLog.entries().back();
}

void cancelLastResult() {
  if (hasResults()) programLog.cancel(programLog.entries().size() - 1);
}

bool cancelEntry(size_t position) { return programLog.cancel(position); }

bool findResult(int32_t a, int32_t b, size_t* position) {
  const size_t* found = programLog.deciding(a, b);
  if (found == nullptr) return false;
  *position = *found;
  return true;
}

bool correctResult(size_t position, MatchRecord corrected) {
  return programLog.correct(position, std::move(corrected));
}

void resetMatchLog() { programLog = ResultLog(); }

PlayerSet BracketTrace::candidates(const Participant& p) const {
  PlayerSet set;
  if (isPlayerId(p.id)) {
    set.set(static_cast<size_t>(p.id));
  } else if (p.id > firstPlaceholderId) {
    const size_t slot = static_cast<size_t>(p.id - firstPlaceholderId - 1);
    if (slot < placeholderCandidates.size()) set = placeholderCandidates[slot];
  }
  return set;
}

void BracketTrace::setCandidates(int32_t placeholderId, const PlayerSet& players) {
  if (placeholderId <= firstPlaceholderId) return;
  const size_t slot = static_cast<size_t>(placeholderId - firstPlaceholderId - 1);
  if (placeholderCandidates.size() <= slot) placeholderCandidates.resize(slot + 1);
  placeholderCandidates[slot] = players;
}
