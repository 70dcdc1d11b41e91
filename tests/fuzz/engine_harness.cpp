// engine_harness.cpp: see engine_harness.h.
#include "engine_harness.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

// One change to the log, as made, so a fresh log can be given the same.
struct Operation {
  enum Kind { kAppend, kCancelLast, kCancelEntry } kind;
  MatchRecord record;
  size_t position = 0;
};

void apply(const Operation& op) {
  switch (op.kind) {
    case Operation::kAppend: appendResult(op.record); break;
    case Operation::kCancelLast: cancelLastResult(); break;
    case Operation::kCancelEntry: cancelEntry(op.position); break;
  }
}

Participant pick(const std::vector<Participant>& players, unsigned byte) {
  size_t index = byte % (players.size() + 1);
  return index < players.size() ? players[index] : Participant{};  // nobody
}

// The next operation(s) the bytes ask for, given the tournament as it stands.
void nextOperations(Bytes& in, const std::vector<Participant>& players,
                    const TournamentState& state, std::vector<Operation>* ops) {
  const unsigned kind = in.take() % 8;
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
  return text;
}

void check(const TournamentState& state, size_t step) {
  std::string problem = tournamentProblem(state, matchLog().size());
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
  TournamentState state = computeTournament(players, resultLog());
  check(state, 0);
  // Above 24 players no input is long enough to get near the end of the
  // bracket anyway; their operations are capped so that they do not eat
  // the time of the many small brackets that do.
  const size_t maxOperations = count > kSmallPlayers ? kLargeBracketOperations : size;
  while (in.left() && ops.size() < maxOperations) {
    size_t before = ops.size();
    nextOperations(in, players, state, &ops);
    for (size_t i = before; i < ops.size(); ++i) apply(ops[i]);
    if (ops.size() == before) continue;
    state = computeTournament(players, resultLog());
    check(state, ops.size());
  }

  const std::string reached = describe(state);
  resetMatchLog();
  for (const Operation& op : ops) apply(op);
  const std::string rebuilt = describe(computeTournament(players, resultLog()));
  if (rebuilt != reached)
    fail("a fresh log given the same " + std::to_string(ops.size()) +
         " operations rebuilds to\n" + rebuilt + "instead of\n" + reached);
  return EngineFigures{count, ops.size()};
}
