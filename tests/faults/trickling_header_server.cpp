#include "tests/faults/trickling_header_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "tests/faults/loopback_socket.h"

namespace feedline::test {

TricklingHeaderServer::TricklingHeaderServer() {
  const LoopbackListener listener = ListenOnLoopback();
  socket_ = listener.socket;
  port_ = listener.port;
  if (socket_ < 0) return;
  // One thread serves every client in turn, a line a second each, until the client goes.
  thread_ = std::thread([this] {
    std::vector<int> clients;
    auto lastLine = std::chrono::steady_clock::now();
    while (!stopping_) {
      pollfd waiting{socket_, POLLIN, 0};
      if (poll(&waiting, 1, 50) > 0) {
        const int client = accept(socket_, nullptr, nullptr);
        if (client >= 0) {
          static constexpr char kStatus[] = "HTTP/1.1 200 OK\r\n";
          (void)!send(client, kStatus, sizeof kStatus - 1, MSG_NOSIGNAL);
          clients.push_back(client);
        }
      }
      if (std::chrono::steady_clock::now() - lastLine < std::chrono::seconds(1)) continue;
      lastLine = std::chrono::steady_clock::now();
      for (auto it = clients.begin(); it != clients.end();) {
        static constexpr char kHeader[] = "X-Trickle: still here\r\n";
        if (send(*it, kHeader, sizeof kHeader - 1, MSG_NOSIGNAL) < 0) {
          close(*it);
          it = clients.erase(it);
        } else {
          ++it;
        }
      }
    }
    for (const int client : clients) close(client);
  });
}

TricklingHeaderServer::~TricklingHeaderServer() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  if (socket_ >= 0) close(socket_);
}

std::string TricklingHeaderServer::Url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/feed";
}

}  // namespace feedline::test
