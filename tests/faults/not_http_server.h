#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace feedline::test {

// A server on 127.0.0.1 that answers every connection with a line that is not HTTP (an SSH
// server's greeting, as a wrong port gives) and closes it.
class NotHttpServer {
 public:
  NotHttpServer();
  ~NotHttpServer();
  NotHttpServer(const NotHttpServer&) = delete;
  NotHttpServer& operator=(const NotHttpServer&) = delete;

  std::string Url() const;

 private:
  int socket_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace feedline::test
