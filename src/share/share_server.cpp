// share_server.cpp: see share_server.h. Built on cpp-httplib.
#include "share/share_server.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>

#include <httplib.h>

#include "share/standings_files.h"

namespace {

using httplib::Request;
using httplib::Response;
using Routing = httplib::Server::HandlerResponse;

// Which rendering each path serves (a pattern matched against the whole
// path), with its media type.
struct Route {
  const char* path;
  std::string SharedStandings::*content;
  const char* type;
};
const Route kRoutes[] = {
    {"/", &SharedStandings::page, "text/html; charset=utf-8"},
    {"/classement\\.csv", &SharedStandings::csv, "text/csv; charset=utf-8"},
    {"/tournoi\\.json", &SharedStandings::json, "application/json"},
    // Also as the file name, which the page's link gives from the disk.
    {"/ecran(\\.html)?", &SharedStandings::screen, "text/html; charset=utf-8"},
};

// Only GET and HEAD go further; a request with more headers than a browser
// ever sends is refused.
Routing screen(const Request& request, Response& response) {
  if (request.method != "GET" && request.method != "HEAD") {
    response.status = 405;
    response.set_header("Allow", "GET, HEAD");
    response.set_content("Lecture seule\n", "text/plain; charset=utf-8");
    return Routing::Handled;
  }
  if (request.headers.size() > kShareMaxHeaders) {
    response.status = 431;
    response.set_content("Trop d'en-tetes\n", "text/plain; charset=utf-8");
    return Routing::Handled;
  }
  return Routing::Unhandled;
}

// SO_REUSEADDR only: the library's default adds SO_REUSEPORT, which would
// let a second program share the port silently instead of failing.
void socketOptions(socket_t fd) {
  int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

}  // namespace

struct ShareServer::Impl {
  httplib::Server server;
  std::thread thread;
  std::future<void> finished;
  int port = 0;
};

ShareServer::ShareServer() : impl_(new Impl) {}

ShareServer::~ShareServer() { stop(); }

int ShareServer::port() const { return impl_ ? impl_->port : 0; }

bool ShareServer::start(int port, std::string* err) {
  httplib::Server& server = impl_->server;
  server.new_task_queue = [] { return new httplib::ThreadPool(kShareWorkers); };
  server.set_socket_options(socketOptions);
  server.set_read_timeout(kShareTimeoutSeconds, 0);
  server.set_write_timeout(kShareTimeoutSeconds, 0);
  server.set_keep_alive_timeout(kShareKeepAliveSeconds);
  server.set_keep_alive_max_count(kShareKeepAliveRequests);
  server.set_payload_max_length(0);
  server.set_pre_routing_handler(screen);
  for (const Route& route : kRoutes) {
    server.Get(route.path, [route](const Request&, Response& response) {
      std::shared_ptr<const SharedStandings> standings = latestStandings();
      // Never destroyed, like the published standings (see stop).
      static const SharedStandings* nothingYet = new SharedStandings(renderStandings({}, {}));
      response.set_content((standings ? *standings : *nothingYet).*route.content, route.type);
      response.set_header("Cache-Control", "no-cache");
    });
  }

  errno = 0;
  const int bound = port == 0 ? server.bind_to_any_port("0.0.0.0")
                              : (server.bind_to_port("0.0.0.0", port) ? port : -1);
  if (bound <= 0) {
    const int error = errno;
    *err = error == EADDRINUSE ? std::string("le port est deja utilise")
           : error != 0        ? std::string(std::strerror(error))
                               : std::string("ecoute impossible");
    return false;
  }
  impl_->port = bound;
  std::promise<void> done;
  impl_->finished = done.get_future();
  impl_->thread = std::thread([this, done = std::move(done)]() mutable {
    // Below the window's thread: on a busy machine the operator's keys come
    // first. The workers, started from this thread, inherit the niceness.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kShareNiceness);
    impl_->server.listen_after_bind();
    done.set_value();
  });
  return true;
}

void ShareServer::stop() {
  if (!impl_ || !impl_->thread.joinable()) return;
  impl_->server.stop();
  // The listening loop ends at once, but the library then lets its workers
  // finish every connection already accepted, each up to its time-outs.
  // Past half a second the thread is left to end with the process.
  if (impl_->finished.wait_for(std::chrono::milliseconds(500)) == std::future_status::ready) {
    impl_->thread.join();
  } else {
    impl_->thread.detach();
    impl_.release();  // still in use by the detached thread
  }
}

std::string firstLanAddress() {
  struct ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return "";
  std::string found;
  for (struct ifaddrs* i = list; i != nullptr && found.empty(); i = i->ifa_next) {
    if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
    if ((i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & IFF_LOOPBACK) != 0) continue;
    char text[INET_ADDRSTRLEN];
    const auto* address = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
    if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) found = text;
  }
  freeifaddrs(list);
  return found;
}
