#include "tests/integration/ftp_server.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "tests/integration/feed_server.h"

namespace feedline::test {

FtpServer::FtpServer() {
  char directory[] = "/tmp/feedline-ftp-XXXXXX";
  if (mkdtemp(directory) == nullptr) {
    failure_ = "mkdtemp failed";
    return;
  }
  directory_ = directory;
  std::ofstream(directory_ + "/feed.xml", std::ios::binary) << kThreeItemFeed;
  int toServer[2], fromServer[2];
  if (pipe(toServer) != 0 || pipe(fromServer) != 0) {
    failure_ = "pipe failed";
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    dup2(toServer[0], STDIN_FILENO);
    dup2(fromServer[1], STDOUT_FILENO);
    const int quiet = open("/dev/null", O_WRONLY);  // its log of every command
    if (quiet >= 0) dup2(quiet, STDERR_FILENO);
    close(toServer[1]);
    close(fromServer[0]);
    execl("/usr/bin/python3", "python3", FEEDLINE_FTP_SERVER_SCRIPT, directory_.c_str(), nullptr);
    _exit(127);
  }
  close(toServer[0]);
  close(fromServer[1]);
  input_ = toServer[1];
  // Its first line is the port, written once it listens.
  FILE* output = fdopen(fromServer[0], "r");
  if (output == nullptr || std::fscanf(output, "%d", &port_) != 1) {
    failure_ = "the FTP server did not start (Debian package python3-pyftpdlib)";
  }
  if (output != nullptr) std::fclose(output);
}

FtpServer::~FtpServer() {
  if (input_ >= 0) close(input_);
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  if (!directory_.empty()) {
    std::remove((directory_ + "/feed.xml").c_str());
    rmdir(directory_.c_str());
  }
}

std::string FtpServer::Url(const std::string& path) const {
  if (!failure_.empty()) return {};
  return "ftp://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace feedline::test
