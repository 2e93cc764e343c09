#include "tests/faults/connect_proxy.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <regex>

#include "tests/faults/loopback_socket.h"

namespace feedline::test {
namespace {

constexpr int kPollMs = 50;

bool SendAll(int socket, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t sent = send(socket, data, size, MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

// Reads the request head, byte by byte so that nothing after it is taken from the tunnel.
std::string ReadHead(int socket) {
  std::string head;
  char byte;
  while (!head.ends_with("\r\n\r\n") && head.size() < 8192 && recv(socket, &byte, 1, 0) == 1) {
    head += byte;
  }
  return head;
}

// Relays bytes between the two sockets until either closes.
void Relay(int a, int b, const std::atomic<bool>& stopping) {
  pollfd sockets[] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
  char buffer[16384];
  while (!stopping) {
    if (poll(sockets, 2, kPollMs) < 0) return;
    for (int i = 0; i < 2; ++i) {
      if ((sockets[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      const ssize_t got = recv(sockets[i].fd, buffer, sizeof buffer, 0);
      if (got <= 0 || !SendAll(sockets[1 - i].fd, buffer, static_cast<size_t>(got))) return;
    }
  }
}

}  // namespace

ConnectProxy::ConnectProxy() {
  const LoopbackListener listener = ListenOnLoopback();
  listener_ = listener.socket;
  port_ = listener.port;
  if (listener_ >= 0) thread_ = std::thread([this] { Serve(); });
}

ConnectProxy::~ConnectProxy() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
}

std::string ConnectProxy::Url() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> ConnectProxy::RequestLines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requestLines_;
}

void ConnectProxy::Serve() {
  pollfd listening{listener_, POLLIN, 0};
  while (!stopping_) {
    if (poll(&listening, 1, kPollMs) <= 0) continue;
    const int client = accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    Tunnel(client);
    close(client);
  }
}

void ConnectProxy::Tunnel(int client) {
  const std::string head = ReadHead(client);
  const std::string line = head.substr(0, head.find("\r\n"));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requestLines_.push_back(line);
  }
  // Only tunnels to this machine's loopback, whatever the name asked for.
  static const std::regex kConnect(R"(CONNECT (localhost|127\.0\.0\.1):(\d{1,5}) HTTP/1\.[01])");
  std::smatch match;
  if (!std::regex_match(line, match, kConnect)) {
    static const char kRefused[] = "HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\n\r\n";
    SendAll(client, kRefused, sizeof kRefused - 1);
    return;
  }
  const int upstream = socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in target = LoopbackAddress(std::stoi(match[2].str()));
  if (upstream < 0 ||
      connect(upstream, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
    static const char kBadGateway[] = "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n";
    SendAll(client, kBadGateway, sizeof kBadGateway - 1);
  } else {
    static const char kEstablished[] = "HTTP/1.1 200 Connection established\r\n\r\n";
    if (SendAll(client, kEstablished, sizeof kEstablished - 1)) Relay(client, upstream, stopping_);
  }
  if (upstream >= 0) close(upstream);
}

}  // namespace feedline::test
