#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace feedline::test {

// A TCP server on 127.0.0.1 that does by hand what no HTTP library would: one thread accepts
// each client and hands it to `onClient`, and calls `onTick` (if any) about every 50 ms, until
// the server is destroyed. What the callbacks keep must outlive the server.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::function<void(int client)> onClient,
                          std::function<void()> onTick = {});
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // http://127.0.0.1:PORT/feed
  std::string Url() const;

 private:
  int socket_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace feedline::test
