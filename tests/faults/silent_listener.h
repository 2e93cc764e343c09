#pragma once

#include <string>

namespace feedline::test {

// A socket on 127.0.0.1 that takes connections (the kernel completes them) but never reads or
// answers: a server that hangs.
class SilentListener {
 public:
  SilentListener();
  ~SilentListener();
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;

  std::string Url() const;

 private:
  int socket_ = -1;
  int port_ = 0;
};

}  // namespace feedline::test
