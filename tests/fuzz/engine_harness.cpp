// engine_harness.cpp: see engine_harness.h.
#include "engine_harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "engine/match_count.h"
#include "engine/match_log.h"
#include "engine/participant.h"
#include "engine/tournament_state.h"
#include "tournament_checks.h"

namespace {

constexpr int kSmallPlayers = 24;  // the most players of most inputs
constexpr size_t kLargeBracketOperations = 16;

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "engine harness: %s\n", what.c_str());
  std::abort();
}

// The fuzz bytes, one at a time; zeros once they run out.
struct Bytes {
  const uint8_t* data;
  size_t size;
  size_t next = 0;
  bool left() const { return next < size; }
  unsigned take() { return next < size ? data[next++] : 0; }
};

// One change to the log or to the withdrawals, as made, so a fresh log and
// list can be given the same.
struct Operation {
  enum Kind { kAppend, kCancelLast, kCancelEntry, kWithdraw, kTakeBack } kind;
  MatchRecord record;  // kAppend
  size_t position = 0;  // kCancelEntry: in the log; kTakeBack: in the withdrawals
  int32_t player = kNoParticipant;  // kWithdraw
};

void applyOperation(const Operation& op, std::vector<int32_t>* withdrawn) {
  switch (op.kind) {
    case Operation::kAppend: appendResult(op.record); break;
    case Operation::kCancelLast: cancelLastResult(); break;
    case Operation::kCancelEntry: cancelEntry(op.position); break;
    case Operation::kWithdraw: withdrawn->push_back(op.player); break;
    case Operation::kTakeBack:
      withdrawn->erase(withdrawn->begin() + static_cast<std::ptrdiff_t>(op.position));
      break;
  }
}

Participant pick(const std::vector<Participant>& players, unsigned byte) {
  size_t index = byte % (players.size() + 1);
  return index < players.size() ? players[index] : Participant{};  // nobody
}

// The next operation(s) the bytes ask for, given the tournament as it stands.
void nextOperations(Bytes& in, const std::vector<Participant>& players,
                    const TournamentState& state, std::vector<Operation>* ops) {
  const unsigned kind = in.take() % 10;
  if (kind < 4) {  // the result of a match to play, either way round
    std::vector<const MatchToPlay*> playable;
    for (const MatchToPlay& m : state.toPlay)
      if (m.playable) playable.push_back(&m);
    if (playable.empty()) return;
    const MatchToPlay& m = *playable[in.take() % playable.size()];
    ops->push_back({Operation::kAppend,
                    kind % 2 ? MatchRecord{m.first, m.second} : MatchRecord{m.second, m.first}});
  } else if (kind == 4) {  // any two, the same player twice or nobody included
    Participant winner = pick(players, in.take());
    ops->push_back({Operation::kAppend, MatchRecord{winner, pick(players, in.take())}});
  } else if (kind == 5) {
    ops->push_back({Operation::kCancelLast, {}});
  } else if (kind == 8) {  // a player (perhaps again, or nobody) withdraws
    ops->push_back({Operation::kWithdraw, {}, 0, pick(players, in.take()).id});
  } else if (kind == 9) {  // a withdrawal taken back, wherever it is in the list
    if (!state.withdrawn.empty())
      ops->push_back({Operation::kTakeBack, {}, in.take() % state.withdrawn.size()});
  } else if (!matchLog().empty()) {  // an older result cancelled, perhaps reversed
    size_t position = in.take() % matchLog().size();
    MatchRecord old = matchLog()[position];
    ops->push_back({Operation::kCancelEntry, {}, position});
    if (kind == 6 && old.winner.id != kNoParticipant)
      ops->push_back({Operation::kAppend, MatchRecord{old.loser, old.winner}});
  }
}

// The tournament as text, placeholder ids left out: the rebuild draws them
// from a counter that only moves forward.
std::string describe(const TournamentState& state) {
  std::string text;
  auto who = [](const Participant& p) {
    return (isPlayerId(p.id) ? std::to_string(p.id) : std::string("?")) + ":" + p.name + " ";
  };
  for (const MatchToPlay& m : state.toPlay)
    text += "play " + who(m.first) + who(m.second) + (m.playable ? "y\n" : "n\n");
  for (const Participant& p : state.placement) text += "place " + who(p) + "\n";
  for (const std::vector<int>& places : state.reachable) {
    text += "reach";
    for (int place : places) text += " " + std::to_string(place);
    text += "\n";
  }
  for (size_t used : state.usedResults) text += "used " + std::to_string(used) + "\n";
  for (const MatchRecord& r : state.forfeits)
    text += "forfeit " + who(r.winner) + who(r.loser) + "\n";
  return text;
}

// What withdrawals promise: nothing announced with a withdrawn player; each
// forfeit lost by a withdrawn player, to one who withdrew later or not at
// all, between players the log has no result for, once; and no more
// matches decided than the tournament has. Once every place is decided,
// every forfeit's winner is placed above its loser and every match is
// decided.
std::string withdrawalProblem(const TournamentState& state) {
  const auto rank = [&state](int32_t id) {
    return std::find(state.withdrawn.begin(), state.withdrawn.end(), id) -
           state.withdrawn.begin();
  };
  const std::ptrdiff_t present = static_cast<std::ptrdiff_t>(state.withdrawn.size());
  for (const MatchToPlay& m : state.toPlay)
    if (rank(m.first.id) < present || rank(m.second.id) < present)
      return "announced " + m.first.name + " vs " + m.second.name + " with a withdrawn player";
  std::vector<std::pair<int32_t, int32_t>> seen;
  for (const MatchRecord& r : state.forfeits) {
    const std::string what = r.winner.name + " beat " + r.loser.name + " by forfeit";
    size_t position = 0;
    if (!isPlayerId(r.winner.id) || rank(r.loser.id) >= rank(r.winner.id))
      return what + ", not the one who withdrew first";
    if (findResult(r.winner.id, r.loser.id, &position)) return what + " despite a result";
    const std::pair<int32_t, int32_t> pair = std::minmax(r.winner.id, r.loser.id);
    if (std::find(seen.begin(), seen.end(), pair) != seen.end()) return what + ", twice";
    seen.push_back(pair);
  }
  const int n = static_cast<int>(state.players.size());
  const int decided = static_cast<int>(state.usedResults.size() + state.forfeits.size());
  if (decided > totalMatches(n))
    return std::to_string(decided) + " matches decided of " + std::to_string(totalMatches(n));
  if (!state.finished()) return "";
  if (decided != totalMatches(n) || matchesLeft(n, static_cast<int>(state.usedResults.size()),
                                                static_cast<int>(state.forfeits.size())) != 0)
    return "finished with " + std::to_string(decided) + " matches decided";
  for (const MatchRecord& r : state.forfeits) {
    const auto placed = [&state](int32_t id) {
      return std::find_if(state.placement.begin(), state.placement.end(),
                          [id](const Participant& p) { return p.id == id; });
    };
    if (placed(r.winner.id) > placed(r.loser.id))
      return r.loser.name + " placed above " + r.winner.name + ", who won by forfeit";
  }
  return "";
}

void check(const TournamentState& state, size_t step) {
  std::string problem = tournamentProblem(state, matchLog().size());
  if (problem.empty()) problem = withdrawalProblem(state);
  if (!problem.empty()) fail("after operation " + std::to_string(step) + ": " + problem);
}

}  // namespace

EngineFigures runEngineInput(const uint8_t* data, size_t size) {
  resetMatchLog();
  resetPlaceholders();
  Bytes in{data, size};
  // An eighth of the first byte's values give any count up to 100; the rest
  // give up to 24 players, whose rebuilds cost a tenth as much, so more
  // operations are tried per second.
  const unsigned first = in.take();
  const int most = first >= 224 ? kMaxPlayers : kSmallPlayers;
  const int count = kMinPlayers + static_cast<int>(first % (most - kMinPlayers + 1));
  std::vector<Participant> players;
  for (int k = 0; k < count; ++k) players.push_back(Participant{k, "p" + std::to_string(k)});

  std::vector<Operation> ops;
  std::vector<int32_t> withdrawn;
  TournamentState state = computeTournament(players, resultLog(), withdrawn);
  check(state, 0);
  // Above 24 players no input is long enough to get near the end of the
  // bracket anyway; their operations are capped so that they do not eat
  // the time of the many small brackets that do.
  const size_t maxOperations = count > kSmallPlayers ? kLargeBracketOperations : size;
  while (in.left() && ops.size() < maxOperations) {
    size_t before = ops.size();
    nextOperations(in, players, state, &ops);
    for (size_t i = before; i < ops.size(); ++i) applyOperation(ops[i], &withdrawn);
    if (ops.size() == before) continue;
    const TournamentState previous = std::move(state);
    state = computeTournament(players, resultLog(), withdrawn);
    check(state, ops.size());
    if (ops.back().kind != Operation::kWithdraw) continue;
    // Taken straight back, the withdrawal leaves nothing behind.
    const std::vector<int32_t> without(withdrawn.begin(), withdrawn.end() - 1);
    if (describe(computeTournament(players, resultLog(), without)) != describe(previous))
      fail("after operation " + std::to_string(ops.size()) + ": the withdrawal of " +
           std::to_string(ops.back().player) + " taken back does not restore the state");
  }

  const std::string reached = describe(state);
  resetMatchLog();
  withdrawn.clear();
  for (const Operation& op : ops) applyOperation(op, &withdrawn);
  const std::string rebuilt = describe(computeTournament(players, resultLog(), withdrawn));
  if (rebuilt != reached)
    fail("a fresh log given the same " + std::to_string(ops.size()) +
         " operations rebuilds to\n" + rebuilt + "instead of\n" + reached);
  return EngineFigures{count, ops.size()};
}
