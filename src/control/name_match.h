// name_match.h: finding players from what the operator types, and checking
// names before they join the tournament.
//
// Results are typed by name, so typing one has to be quick and forgiving:
// Tab completes a name from its first letters or from the start of any of
// its words, and an answer naming nobody is met with the closest names.
// For that to work every name must be one that can be typed back alone,
// which entryRefusal checks as players are typed and readPlayerList (in
// player_list.cpp) as they are read from a list file.
//
// Names are Latin-1 bytes, one byte per character. Every comparison goes
// through foldName (engine/participant.h), so case and accents never matter: "helene" finds the
// name written with both accents. Pure: no globals, no input or output.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/participant.h"

// True when a and b fold to the same text.
bool sameName(const std::string& a, const std::string& b);

// True when the folded typed text starts the folded name or one of its
// words; a word starts after a space, '-', '\'' or '.'. "dup" matches
// "Jean Dupont", "jean-p" and "pierre" match "Jean-Pierre"; "" matches
// every name.
bool matchesName(const std::string& name, const std::string& typed);

// The ids of the players whose name typed matches, in the order Tab offers
// them: first those whose name folds to exactly the typed text, then those
// listed in preferred (in its order: the caller passes the players of the
// matches waiting to be played, say), then the rest in entry order. Ids in
// preferred that match no player are ignored.
std::vector<int32_t> completionCandidates(const std::vector<Participant>& players,
                                          const std::string& typed,
                                          const std::vector<int32_t>& preferred);

// The id of the player whose name folds to the folded typed text, the one
// entered last if several do; kNoParticipant when none does.
int32_t findPlayer(const std::vector<Participant>& players, const std::string& typed);

// --- Tab

// What one press of Tab did.
enum class TabOutcome {
  kNoCandidate,  // no player matches: the text is unchanged
  kWholeName,    // one player matches: the text is his whole name
  kSeveral,      // several match: the text is their common start (see pressTab)
  kNextInCycle,  // a Tab after kSeveral or kNextInCycle: the next whole name
};

// Shown on the message strip after kNoCandidate.
extern const char* const kNoCandidateMessage;

// Tab presses in a row. The caller keeps the value pressTab returns while
// the operator presses only Tab, and puts back a default Completion at any
// other key, so that the next Tab starts over from the text as it then
// reads. (A state whose text is not the line starts over anyway, but a key
// and a backspace between two Tabs would leave the same line.)
struct Completion {
  std::string text;  // the input line after this Tab
  TabOutcome outcome = TabOutcome::kNoCandidate;
  // After kSeveral and kNextInCycle: every candidate, in candidate order,
  // and the place in it of the name the next Tab shows. Empty otherwise.
  std::vector<int32_t> cycle;
  size_t next = 0;
};

// One press of Tab on the input line `input`.
//
// The Tab continues a cycle when state.cycle is not empty and state.text
// is input: the text becomes the whole name of the next candidate, the
// first again after the last. A name the text already shows is passed
// over, so each Tab changes the text.
//
// Otherwise the Tab starts over with completionCandidates(players, input,
// preferred). None: the text is input. One: his whole name. Several: their
// longest common start (compared folded) when it extends the folded input,
// written with the first candidate's own bytes (case and accents), so
// "hel" for two Helene shows "Helen" with its accents; otherwise the text
// is input, as for "dup" matching "Jean Dupont" and "Marie Dupuis" by
// their second words. The caller then lists them with candidatesLine.
Completion pressTab(const Completion& state, const std::string& input,
                    const std::vector<Participant>& players,
                    const std::vector<int32_t>& preferred);

// items joined by separator. When they do not all fit in maxBytes: as many
// whole items as fit followed by " ...", or if not even the first one fits,
// as much of it as fits before " ...". Never longer than maxBytes ("" below
// 4).
std::string joinWhatFits(const std::vector<std::string>& items, const std::string& separator,
                         size_t maxBytes);

// The message-strip line naming candidates: the names of ids (in that
// order) joined by two spaces, as joinWhatFits.
std::string candidatesLine(const std::vector<Participant>& players,
                           const std::vector<int32_t>& ids, size_t maxBytes);

// --- names close to an unknown one

// Up to max names of players, closest first, to offer when typed names
// nobody. Closeness is the edit distance between folded texts (a letter
// added, removed or replaced, or two neighbours swapped), to the whole
// name or to the name from the start of one of its words, whichever is
// closer, so "dupnot" finds "Jean Dupont". A name further than half the
// longer of the two texts compared is not offered. At equal distances the
// longer common start with the typed text comes first, then entry order.
std::vector<std::string> closestNames(const std::vector<Participant>& players,
                                      const std::string& typed, size_t max);

// --- entering players

// Names longer than this many bytes are refused.
constexpr size_t kMaxNameBytes = 30;

// The answers the dialogue takes as commands, in folded form. No player may bear one (in any case or accents), or the name could
// never be given as an answer. "auto" is not among them: it only means
// something at the player prompt, where it names the players by number.
inline constexpr std::array<const char*, 9> kCommandWords = {
    "quit", "exit", "annuler", "cancel", "anuler", "corriger", "load", "forfait", "tables"};

// True when text folds to one of kCommandWords.
bool isCommandWord(const std::string& text);

// "" when name may be a player's name whatever the other names; otherwise
// why not, as entryRefusal says it.
std::string nameRefusal(const std::string& name);

// "" when name may join the players entered so far; otherwise why not, as
// one line of French in plain ASCII for the message strip. Refused: a name
// empty or made of spaces, longer than kMaxNameBytes, holding '(' (which
// marks the names the program makes up for players not yet known), a
// command word, or the name of an entered player once folded; that one is
// named by his number, his place in entered counted from 1.
std::string entryRefusal(const std::vector<Participant>& entered, const std::string& name);

// --- a list of players from a file

// Reads the names of the players from the bytes of a text file, one name
// per line, into names (replaced), and says what is wrong into problems
// (replaced). True only when there is no problem; names then holds from
// kMinPlayers to kMaxPlayers names, which entryRefusal accepts in order.
//
// Lines end with LF or CRLF. A leading UTF-8 byte order mark is dropped;
// the rest is read as UTF-8 when all of it is valid UTF-8, and as Latin-1
// otherwise; the names come out in Latin-1. Spaces and tabs at both ends
// of a line are dropped, blank lines skipped, and a first non-blank line
// reading "nom" (folded) is taken as a heading. Each problem is one line of
// plain ASCII French: "Ligne N : <reason>" for a line (N counted from 1)
// whose name has a character beyond Latin-1, is refused by nameRefusal, or
// was on an earlier line; then, when the lines holding names (refused ones
// included) are too few or too many, "Le fichier contient N joueurs : il en
// faut de 2 a 100".
bool readPlayerList(const std::string& bytes, std::vector<std::string>* names,
                    std::vector<std::string>* problems);
