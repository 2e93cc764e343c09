#include "tests/faults/loopback_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/faults/loopback_socket.h"

namespace feedline::test {

LoopbackServer::LoopbackServer(std::function<void(int client)> onClient,
                               std::function<void()> onTick) {
  const LoopbackListener listener = ListenOnLoopback();
  socket_ = listener.socket;
  port_ = listener.port;
  if (socket_ < 0) return;
  thread_ = std::thread([this, onClient = std::move(onClient), onTick = std::move(onTick)] {
    while (!stopping_) {
      pollfd waiting{socket_, POLLIN, 0};
      if (poll(&waiting, 1, 50) > 0) {
        const int client = accept(socket_, nullptr, nullptr);
        if (client >= 0) onClient(client);
      }
      if (onTick) onTick();
    }
  });
}

LoopbackServer::~LoopbackServer() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  if (socket_ >= 0) close(socket_);
}

std::string LoopbackServer::Url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/feed";
}

}  // namespace feedline::test
