#include "tests/faults/loopback_socket.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

namespace feedline::test {

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

LoopbackListener ListenOnLoopback() {
  const int listening = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = LoopbackAddress(0);
  socklen_t length = sizeof address;
  if (listening < 0 || bind(listening, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listening, 16) != 0 ||
      getsockname(listening, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (listening >= 0) close(listening);
    return {};
  }
  return {listening, ntohs(address.sin_port)};
}

}  // namespace feedline::test
