#include "host/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace feedline::host {

bool ReplaceFileAtomically(const std::string& path, const std::string& content) {
  std::vector<char> temporary(path.begin(), path.end());
  for (const char c : std::string(".XXXXXX")) temporary.push_back(c);
  temporary.push_back('\0');
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  fchmod(fd, 0644);  // mkstemp makes 0600; readers of an output file may be other programs
  bool ok = true;
  for (std::size_t written = 0; ok && written < content.size();) {
    const ssize_t n = write(fd, content.data() + written, content.size() - written);
    if (n < 0) ok = false;
    else written += static_cast<std::size_t>(n);
  }
  ok = close(fd) == 0 && ok;
  ok = ok && std::rename(temporary.data(), path.c_str()) == 0;
  if (!ok) unlink(temporary.data());
  return ok;
}

}  // namespace feedline::host
