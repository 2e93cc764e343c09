#include "tests/faults/trickling_header_server.h"

#include <sys/socket.h>
#include <unistd.h>

namespace feedline::test {

TricklingHeaderServer::Clients::~Clients() {
  for (const int client : sockets) close(client);
}

// One thread serves every client in turn, a line a second each, until the client goes.
TricklingHeaderServer::TricklingHeaderServer()
    : server_(
          [this](int client) {
            static constexpr char kStatus[] = "HTTP/1.1 200 OK\r\n";
            (void)!send(client, kStatus, sizeof kStatus - 1, MSG_NOSIGNAL);
            clients_.sockets.push_back(client);
          },
          [this] {
            const auto now = std::chrono::steady_clock::now();
            if (now - clients_.lastLine < std::chrono::seconds(1)) return;
            clients_.lastLine = now;
            for (auto it = clients_.sockets.begin(); it != clients_.sockets.end();) {
              static constexpr char kHeader[] = "X-Trickle: still here\r\n";
              if (send(*it, kHeader, sizeof kHeader - 1, MSG_NOSIGNAL) < 0) {
                close(*it);
                it = clients_.sockets.erase(it);
              } else {
                ++it;
              }
            }
          }) {}

}  // namespace feedline::test
