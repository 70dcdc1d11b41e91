// options.h: the program's command line, read without side effects, and
// its usage text. main prints and exits; nothing here does.
#pragma once

#include <string>
#include <vector>

constexpr int kDefaultSharePort = 8080;

struct ProgramOptions {
  bool help = false;     // --help: print the usage, exit 0
  bool version = false;  // --version: print the version, exit 0
  bool share = false;    // --partager / --share: serve the players' page
  int port = kDefaultSharePort;  // 0: any free port
  std::string playersFile;  // --joueurs / --players FILE: a new tournament of these
};

// The arguments after the program's name. --partager and --share take an
// optional port, as the next argument (when it does not start with '-') or
// after '='; --joueurs and --players take a file, as the next argument or
// after '='. False, with the reason in French in err, for an unknown
// option, a stray argument, a port outside 0 to 65535 or a missing file
// name.
bool parseOptions(const std::vector<std::string>& args, ProgramOptions* options,
                  std::string* err);

// The usage in French, UTF-8: the options, the keys, the files written.
std::string usageText();
