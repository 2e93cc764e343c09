#pragma once

#include <netinet/in.h>

namespace feedline::test {

// 127.0.0.1 at `port`.
sockaddr_in LoopbackAddress(int port);

// A TCP socket listening on 127.0.0.1 at a port the system chose; socket is -1 on failure.
struct LoopbackListener {
  int socket = -1;
  int port = 0;
};
LoopbackListener ListenOnLoopback();

}  // namespace feedline::test
