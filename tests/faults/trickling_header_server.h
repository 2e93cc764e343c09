#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace feedline::test {

// A server on 127.0.0.1 that answers each request with a status line, then one header line a
// second for as long as the client listens, and never ends the headers: every read gets a
// little, so only a limit on the whole download ends it.
class TricklingHeaderServer {
 public:
  TricklingHeaderServer();
  ~TricklingHeaderServer();
  TricklingHeaderServer(const TricklingHeaderServer&) = delete;
  TricklingHeaderServer& operator=(const TricklingHeaderServer&) = delete;

  std::string Url() const;

 private:
  int socket_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace feedline::test
