#include "tests/faults/silent_listener.h"

#include <unistd.h>

#include "tests/faults/loopback_socket.h"

namespace feedline::test {

SilentListener::SilentListener() {
  const LoopbackListener listener = ListenOnLoopback();
  socket_ = listener.socket;
  port_ = listener.port;
}

SilentListener::~SilentListener() {
  if (socket_ >= 0) close(socket_);
}

std::string SilentListener::Url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/feed";
}

}  // namespace feedline::test
