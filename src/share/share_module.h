// share_module.h: the players' page server (share_server.h) as a module of
// its own, loaded only when sharing is asked for. Debian builds cpp-httplib
// against OpenSSL, zlib and Brotli, and its library sets OpenSSL up when it
// is loaded: linked into the program, that was more work before the first
// frame than loading SDL and its libraries (about 14 million instructions
// against 8). A run without sharing now never loads any of them.
//
// The module, kShareModuleFile, lies beside the program (in the build tree
// and in libexec/brackora once installed). It is never unloaded: a server
// that outlives stop() still runs its code (see ShareServer::stop). It
// calls back into the program for latestStandings and renderStandings,
// which the program exports (share_module.exports), so that it serves the
// standings the dialogue published, not those of a copy of its own.
#pragma once

#include <string>

constexpr char kShareModuleFile[] = "brackora-share.so";
// The module's one exported symbol: extern "C" const ShareModule* NAME().
constexpr char kShareModuleEntry[] = "brackoraShareModule";
// Changes whenever ShareModule does, so that a module left over from
// another build is refused instead of called wrongly.
constexpr int kShareModuleVersion = 2;

// ShareServer's operations and firstLanAddress, on an opaque server made by
// create. Each behaves as its namesake in share_server.h.
struct ShareModule {
  int version;
  void* (*create)();
  void (*destroy)(void* server);  // stops it first
  bool (*start)(void* server, int port, std::string* err);
  int (*port)(const void* server);
  void (*stop)(void* server);
  std::string (*firstLanAddress)();
};

// The program's side: the page server with ShareServer's contract, loaded
// from the module by the first start. Only main uses it.
class LoadedShareServer {
 public:
  // modulePath: the module to load; empty for kShareModuleFile in the
  // folder of the running program.
  explicit LoadedShareServer(std::string modulePath = "");
  ~LoadedShareServer();  // stops the server
  LoadedShareServer(const LoadedShareServer&) = delete;
  LoadedShareServer& operator=(const LoadedShareServer&) = delete;

  // Loads the module, then as ShareServer::start. False, with the reason in
  // err, when the module cannot be loaded or the port cannot be had.
  bool start(int port, std::string* err);

  // As ShareServer::port and ShareServer::stop; 0 and nothing before a
  // start that succeeded.
  int port() const;
  void stop();

  // firstLanAddress (share_server.h); empty until the module is loaded.
  std::string firstLanAddress() const;

 private:
  std::string modulePath_;
  const ShareModule* module_ = nullptr;
  void* server_ = nullptr;
};
