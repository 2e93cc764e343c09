#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>

namespace feedline::test {

// Runs `call` with standard error going to a temporary file, and returns what was written there.
template <typename Call>
std::string StandardErrorDuring(Call call) {
  std::fflush(stderr);
  FILE* caught = std::tmpfile();
  const int saved = dup(STDERR_FILENO);
  dup2(fileno(caught), STDERR_FILENO);
  call();
  dup2(saved, STDERR_FILENO);
  close(saved);
  std::string text;
  std::rewind(caught);
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, caught)) > 0;) text.append(buffer, n);
  std::fclose(caught);
  return text;
}

}  // namespace feedline::test
