#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "tests/faults/loopback_server.h"

namespace feedline::test {

// A server on 127.0.0.1 that answers each request with a status line, then one header line a
// second for as long as the client listens, and never ends the headers: every read gets a
// little, so only a limit on the whole download ends it.
class TricklingHeaderServer {
 public:
  TricklingHeaderServer();

  std::string Url() const { return server_.Url(); }

 private:
  // The clients still listening; closed when the server has stopped (declared first, so
  // destroyed last).
  struct Clients {
    std::vector<int> sockets;
    std::chrono::steady_clock::time_point lastLine = std::chrono::steady_clock::now();
    ~Clients();
  };
  Clients clients_;
  LoopbackServer server_;
};

}  // namespace feedline::test
