#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace feedline::test {

// An HTTP proxy on 127.0.0.1 that only tunnels: it answers "CONNECT localhost:PORT" by
// connecting to 127.0.0.1:PORT and relaying bytes both ways until either side closes. It serves
// one connection at a time, which is all one download needs.
class ConnectProxy {
 public:
  ConnectProxy();
  ~ConnectProxy();
  ConnectProxy(const ConnectProxy&) = delete;
  ConnectProxy& operator=(const ConnectProxy&) = delete;

  std::string Url() const;
  // The first line of each request the proxy was sent.
  std::vector<std::string> RequestLines() const;

 private:
  void Serve();
  void Tunnel(int client);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requestLines_;
};

}  // namespace feedline::test
