#include "tests/faults/not_http_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/faults/loopback_socket.h"

namespace feedline::test {

NotHttpServer::NotHttpServer() {
  const LoopbackListener listener = ListenOnLoopback();
  socket_ = listener.socket;
  port_ = listener.port;
  if (socket_ < 0) return;
  thread_ = std::thread([this] {
    static constexpr char kGreeting[] = "SSH-2.0-OpenSSH_9.2\r\n";
    while (!stopping_) {
      pollfd waiting{socket_, POLLIN, 0};
      if (poll(&waiting, 1, 100) <= 0) continue;
      const int client = accept(socket_, nullptr, nullptr);
      if (client < 0) continue;
      (void)!write(client, kGreeting, sizeof kGreeting - 1);
      close(client);
    }
  });
}

NotHttpServer::~NotHttpServer() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  if (socket_ >= 0) close(socket_);
}

std::string NotHttpServer::Url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/feed";
}

}  // namespace feedline::test
