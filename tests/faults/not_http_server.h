#pragma once

#include <string>

#include "tests/faults/loopback_server.h"

namespace feedline::test {

// A server on 127.0.0.1 that answers every connection with a line that is not HTTP (an SSH
// server's greeting, as a wrong port gives) and closes it.
class NotHttpServer {
 public:
  NotHttpServer();

  std::string Url() const { return server_.Url(); }

 private:
  LoopbackServer server_;
};

}  // namespace feedline::test
