// share_server.h: the players' page served on the local network, read-only,
// from memory: GET and HEAD on "/" (the page), "/classement.csv",
// "/tournoi.json" and "/ecran" (the room's screen; "/ecran.html" too, the
// page's link to it), each the latest standings published (latestStandings
// in standings_files.h). Anything else is 404, other methods 405; no path
// is ever looked up on the disk.
//
// The server runs on a thread of its own with a few workers, at a lower
// priority than the window; the program's main thread only starts it,
// publishes standings and stops it. Request
// lines and header lines are bounded by the library (8 KB each), a request
// with too many headers is refused, and read, write and keep-alive time-outs
// keep a slow or silent client from holding a worker for long.
#pragma once

#include <memory>
#include <string>

class ShareServer {
 public:
  ShareServer();
  ~ShareServer();  // stops the server
  ShareServer(const ShareServer&) = delete;
  ShareServer& operator=(const ShareServer&) = delete;

  // Listens on every IPv4 interface on the port (0: any free port) and starts
  // serving. False, with the reason in err, when the port cannot be had.
  bool start(int port, std::string* err);

  // The port listened on; 0 before start succeeds.
  int port() const;

  // Stops listening and waits, at most half a second, for the server's
  // thread; past that the thread (and this object's state, which it uses)
  // is left to end with the process.
  // Does nothing if not started.
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Limits applied to every connection.
constexpr int kShareWorkers = 8;
constexpr size_t kShareMaxHeaders = 64;
constexpr int kShareTimeoutSeconds = 1;
constexpr int kShareKeepAliveSeconds = 2;
constexpr size_t kShareKeepAliveRequests = 20;
// The server's threads run this much nicer than the rest of the program.
constexpr int kShareNiceness = 10;

// The first IPv4 address of an interface that is up and not a loopback, as
// dotted text; empty when there is none.
std::string firstLanAddress();
