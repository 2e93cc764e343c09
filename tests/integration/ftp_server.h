#pragma once

#include <string>

namespace feedline::test {

// An FTP server on 127.0.0.1 (Debian's pyftpdlib, run by ftp_server.py) serving the three-item
// feed as /feed.xml to anonymous users. It ends with this object, or with the test process.
class FtpServer {
 public:
  FtpServer();
  ~FtpServer();
  FtpServer(const FtpServer&) = delete;
  FtpServer& operator=(const FtpServer&) = delete;

  // "ftp://127.0.0.1:PORT" + path; empty when the server could not start.
  std::string Url(const std::string& path) const;
  const std::string& Failure() const { return failure_; }

 private:
  std::string directory_;
  std::string failure_;
  int port_ = 0;
  int pid_ = -1;
  int input_ = -1;  // the server's standard input: closing it stops the server
};

}  // namespace feedline::test
