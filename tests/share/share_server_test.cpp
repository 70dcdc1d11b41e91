// The players' page server on 127.0.0.1: each path and HEAD, the methods and
// paths it refuses, oversized and silent clients, and a port already taken.
// Every exchange is bounded by a receive time-out; after each bad request a
// normal one must still be answered. Then the same server loaded from its
// module, as the program loads it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "control/program_state.h"
#include "share/share_module.h"
#include "share/share_server.h"
#include "share/standings_files.h"

namespace {

// A connected socket to 127.0.0.1:port, -1 on failure; reads time out after
// the given seconds.
int connectTo(int port, int timeoutSeconds = 5) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  timeval timeout{timeoutSeconds, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Everything the server sends until it closes the connection or falls
// silent for the time-out.
std::string readAll(int fd) {
  std::string answer;
  char buffer[4096];
  for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, n);
  return answer;
}

// Sends the request (with "Connection: close" added to the headers when
// asked) and returns the whole answer.
std::string roundTrip(int port, const std::string& request) {
  int fd = connectTo(port);
  if (fd < 0) return "no connection";
  size_t sent = 0;
  while (sent < request.size()) {
    ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  std::string answer = readAll(fd);
  close(fd);
  return answer;
}

std::string get(const std::string& method, const std::string& path) {
  return method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
}

std::string statusLine(const std::string& answer) { return answer.substr(0, answer.find("\r\n")); }

std::string body(const std::string& answer) {
  size_t end = answer.find("\r\n\r\n");
  return end == std::string::npos ? "" : answer.substr(end + 4);
}

class ShareServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetProgramState();
    publishStandings(std::make_shared<const SharedStandings>(
        SharedStandings{"<p>page</p>", "1;A\r\n", "{\"a\":1}", "<p>ecran</p>"}));
    std::string reason;
    ASSERT_TRUE(server.start(0, &reason)) << reason;
    port = server.port();
  }
  void TearDown() override {
    server.stop();
    resetProgramState();
  }

  // A normal request still answered in full.
  void expectStillServing(const std::string& after) {
    EXPECT_EQ(body(roundTrip(port, get("GET", "/tournoi.json"))), "{\"a\":1}") << "after " << after;
  }

  ShareServer server;
  int port = 0;
};

TEST_F(ShareServerTest, EachPathServesItsRendering) {
  struct Case {
    std::string path, type, body;
  };
  const Case cases[] = {
      {"/", "text/html; charset=utf-8", "<p>page</p>"},
      {"/?x=1", "text/html; charset=utf-8", "<p>page</p>"},
      {"/classement.csv", "text/csv; charset=utf-8", "1;A\r\n"},
      {"/tournoi.json", "application/json", "{\"a\":1}"},
      {"/ecran", "text/html; charset=utf-8", "<p>ecran</p>"},
      {"/ecran.html", "text/html; charset=utf-8", "<p>ecran</p>"},
  };
  for (const Case& c : cases) {
    const std::string answer = roundTrip(port, get("GET", c.path));
    EXPECT_EQ(statusLine(answer), "HTTP/1.1 200 OK") << c.path;
    EXPECT_NE(answer.find("Content-Type: " + c.type + "\r\n"), std::string::npos) << c.path;
    EXPECT_EQ(body(answer), c.body) << c.path;
    const std::string head = roundTrip(port, get("HEAD", c.path));
    EXPECT_EQ(statusLine(head), "HTTP/1.1 200 OK") << "HEAD " << c.path;
    EXPECT_EQ(body(head), "") << "HEAD " << c.path;
  }
}

TEST_F(ShareServerTest, ANewPublicationIsServedAtOnce) {
  publishStandings(std::make_shared<const SharedStandings>(SharedStandings{"new", "", "", ""}));
  EXPECT_EQ(body(roundTrip(port, get("GET", "/"))), "new");
}

TEST_F(ShareServerTest, OtherMethodsAndPathsAreRefused) {
  struct Case {
    std::string request, status;
  };
  const Case cases[] = {
      {get("POST", "/"), "HTTP/1.1 405 Method Not Allowed"},
      {"POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello",
       "HTTP/1.1 405 Method Not Allowed"},
      {get("PUT", "/tournoi.json"), "HTTP/1.1 405 Method Not Allowed"},
      {get("DELETE", "/"), "HTTP/1.1 405 Method Not Allowed"},
      {get("OPTIONS", "/"), "HTTP/1.1 405 Method Not Allowed"},
      {get("PATCH", "/"), "HTTP/1.1 405 Method Not Allowed"},
      {get("GET", "/../save.txt"), "HTTP/1.1 404 Not Found"},
      {get("GET", "/%2e%2e/save.txt"), "HTTP/1.1 404 Not Found"},
      {get("GET", "/save.txt"), "HTTP/1.1 404 Not Found"},
      {get("GET", "/tournoi.html"), "HTTP/1.1 404 Not Found"},
      {get("GET", "/classementXcsv"), "HTTP/1.1 404 Not Found"},
      {get("GET", "/tournoi.json/"), "HTTP/1.1 404 Not Found"},
      {get("GET", "/ecran/"), "HTTP/1.1 404 Not Found"},
      {get("GET", "/ecranXhtml"), "HTTP/1.1 404 Not Found"},
      {get("GET", "/" + std::string(20000, 'a')), "HTTP/1.1 414 URI Too Long"},
      {"GET / HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string(100 * 1024, 'b') + "\r\n\r\n",
       "HTTP/1.1 400 Bad Request"},
  };
  for (const Case& c : cases) {
    const std::string shown = c.request.substr(0, 40);
    EXPECT_EQ(statusLine(roundTrip(port, c.request)), c.status) << shown;
    expectStillServing(shown);
  }
  const std::string allow = roundTrip(port, get("POST", "/"));
  EXPECT_NE(allow.find("Allow: GET, HEAD\r\n"), std::string::npos);
}

TEST_F(ShareServerTest, TooManyHeadersAreRefused) {
  std::string request = "GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n";
  for (int i = 0; i < 100; ++i) request += "X-" + std::to_string(i) + ": " + std::string(1000, 'c') + "\r\n";
  EXPECT_EQ(statusLine(roundTrip(port, request + "\r\n")), "HTTP/1.1 431 Request Header Fields Too Large");
  expectStillServing("100 KB of headers");
}

TEST_F(ShareServerTest, SilentClientsNeitherBlockOthersNorStayForever) {
  // More silent clients than workers: the server must still answer.
  int silent[kShareWorkers + 2];
  for (int& fd : silent) {
    fd = connectTo(port, 6);
    ASSERT_GE(fd, 0);
  }
  expectStillServing("silent clients");
  // Each silent connection is closed by the server, well before our own
  // six-second time-out.
  for (int fd : silent) {
    char byte;
    EXPECT_EQ(recv(fd, &byte, 1, 0), 0) << "the server should have closed it";
    close(fd);
  }
}

TEST_F(ShareServerTest, APortInUseIsReportedAndTheServerStops) {
  ShareServer second;
  std::string reason;
  EXPECT_FALSE(second.start(port, &reason));
  EXPECT_EQ(reason, "le port est deja utilise");
  expectStillServing("a second server on the same port");
  server.stop();
  EXPECT_EQ(connectTo(port), -1) << "still listening after stop";
}

// --- the server loaded from its module (share_module.h)

class ShareModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { resetProgramState(); }
  void TearDown() override { resetProgramState(); }
};

// The module serves the standings this program publishes, not those of a
// copy of its own: it calls back into the program, which must export
// everything it needs (the module is opened with RTLD_NOW, so a missing
// export fails the start).
TEST_F(ShareModuleTest, ServesWhatTheProgramPublishes) {
  LoadedShareServer server(BRACKORA_SHARE_MODULE);
  std::string reason;
  ASSERT_TRUE(server.start(0, &reason)) << reason;
  const int port = server.port();
  ASSERT_GT(port, 0);
  EXPECT_EQ(body(roundTrip(port, get("GET", "/"))), renderStandings({}, {}).page)
      << "before publishing";

  publishStandings(std::make_shared<const SharedStandings>(
      SharedStandings{"<p>published</p>", "1;A\r\n", "{\"a\":1}", "<p>ecran</p>"}));
  EXPECT_EQ(body(roundTrip(port, get("GET", "/"))), "<p>published</p>");
  EXPECT_EQ(body(roundTrip(port, get("GET", "/ecran"))), "<p>ecran</p>");
  EXPECT_EQ(body(roundTrip(port, get("GET", "/classement.csv"))), "1;A\r\n");
  EXPECT_EQ(body(roundTrip(port, get("GET", "/tournoi.json"))), "{\"a\":1}");

  LoadedShareServer second(BRACKORA_SHARE_MODULE);
  EXPECT_FALSE(second.start(port, &reason));
  EXPECT_EQ(reason, "le port est deja utilise");

  server.stop();
  EXPECT_EQ(connectTo(port), -1) << "still listening after stop";
}

TEST_F(ShareModuleTest, AModuleThatCannotBeUsedIsReportedAndStartsNothing) {
  struct Case {
    std::string path, reason;
  };
  const Case cases[] = {
      {"/nonexistent/brackora-share.so",
       "module de partage illisible : /nonexistent/brackora-share.so: cannot open shared "
       "object file: No such file or directory"},
      // A library, but not the module: no entry point.
      {"libm.so.6", "pas le module de partage de cette version : libm.so.6"},
  };
  for (const Case& c : cases) {
    LoadedShareServer server(c.path);
    std::string reason;
    EXPECT_FALSE(server.start(0, &reason)) << c.path;
    EXPECT_EQ(reason, c.reason);
    EXPECT_EQ(server.port(), 0) << c.path;
    EXPECT_EQ(server.firstLanAddress(), "") << c.path;
    server.stop();
  }
}

}  // namespace
