#include "tests/faults/not_http_server.h"

#include <unistd.h>

namespace feedline::test {

NotHttpServer::NotHttpServer()
    : server_([](int client) {
        static constexpr char kGreeting[] = "SSH-2.0-OpenSSH_9.2\r\n";
        (void)!write(client, kGreeting, sizeof kGreeting - 1);
        close(client);
      }) {}

}  // namespace feedline::test
