#include "host/host_identity.h"

#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

namespace feedline::host {
namespace {

std::optional<std::uint64_t> TakeNumber(std::string_view& text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end == text.data()) return std::nullopt;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return value;
}

// The text of /proc/PID/stat; empty when it cannot be read.
std::string ReadStat(pid_t pid) {
  const std::string path = "/proc/" + std::to_string(pid) + "/stat";
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string text(1024, '\0');
  const ssize_t n = read(fd, text.data(), text.size());
  close(fd);
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return text;
}

// This boot's id; empty where the kernel does not tell it.
std::string BootId() {
  const int fd = open("/proc/sys/kernel/random/boot_id", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  char text[64] = {};
  const ssize_t n = read(fd, text, sizeof text - 1);
  close(fd);
  std::string id(text, n > 0 ? static_cast<std::size_t>(n) : 0);
  while (!id.empty() && id.back() == '\n') id.pop_back();
  return IsBootId(id) ? id : std::string();
}

}  // namespace

bool IsBootId(std::string_view text) {
  if (text.size() != 36) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

HostIdentity ThisHost() {
  HostIdentity host;
  host.pid = getpid();
  host.bootId = BootId();
  host.startTicks = StartTicksInStat(ReadStat(host.pid)).value_or(0);
  timespec now{};
  if (clock_gettime(CLOCK_BOOTTIME, &now) == 0) {
    host.bootNanoseconds = static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
                           static_cast<std::uint64_t>(now.tv_nsec);
  }
  return host;
}

std::string OwnerLine(const HostIdentity& host) {
  return "host " + std::to_string(host.pid) + " " + std::to_string(host.startTicks) + " " +
         std::to_string(host.bootNanoseconds) + " " + host.bootId;
}

std::optional<HostIdentity> ParseOwnerLine(std::string_view line) {
  if (!line.starts_with("host ")) return std::nullopt;
  line.remove_prefix(5);
  HostIdentity host;
  const auto pid = TakeNumber(line);
  if (!pid || *pid == 0 || *pid > 0x7fffffff || !line.starts_with(' ')) return std::nullopt;
  line.remove_prefix(1);
  const auto ticks = TakeNumber(line);
  if (!ticks || !line.starts_with(' ')) return std::nullopt;
  line.remove_prefix(1);
  const auto nanoseconds = TakeNumber(line);
  if (!nanoseconds || !line.starts_with(' ')) return std::nullopt;
  line.remove_prefix(1);
  // A record of a version that wrote no boot id is from no known boot: it holds nothing. A host
  // on a system that tells no boot id records an empty one.
  if (!line.empty() && !IsBootId(line)) return std::nullopt;
  host.bootId = line;
  host.pid = static_cast<pid_t>(*pid);
  host.startTicks = *ticks;
  host.bootNanoseconds = *nanoseconds;
  return host;
}

std::optional<std::uint64_t> StartTicksInStat(std::string_view stat) {
  const std::size_t close = stat.rfind(')');
  if (close == std::string_view::npos) return std::nullopt;
  stat.remove_prefix(close + 1);
  // Fields 3 to 21 come before the start time.
  for (int field = 3; field <= 21; ++field) {
    const std::size_t start = stat.find_first_not_of(' ');
    if (start == std::string_view::npos) return std::nullopt;
    const std::size_t end = stat.find(' ', start);
    if (end == std::string_view::npos) return std::nullopt;
    stat.remove_prefix(end);
  }
  const std::size_t start = stat.find_first_not_of(' ');
  if (start == std::string_view::npos) return std::nullopt;
  stat.remove_prefix(start);
  return TakeNumber(stat);
}

std::optional<std::string_view> CommandInStat(std::string_view stat) {
  const std::size_t open = stat.find('(');
  const std::size_t close = stat.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
    return std::nullopt;
  }
  return stat.substr(open + 1, close - open - 1);
}

bool IsRunning(const HostIdentity& host) {
  static const std::string thisBoot = BootId();
  if (!thisBoot.empty() && host.bootId != thisBoot) return false;
  const std::string stat = ReadStat(host.pid);
  if (!stat.empty()) {
    // A host that has exited but is not yet reaped by its bar (a zombie) runs no more.
    const std::size_t close = stat.rfind(')');
    const bool ended = close != std::string::npos && close + 2 < stat.size() &&
                       (stat[close + 2] == 'Z' || stat[close + 2] == 'X');
    static const std::string thisStat = ReadStat(getpid());
    const bool sameProgram = CommandInStat(stat) == CommandInStat(thisStat);
    return !ended && sameProgram && StartTicksInStat(stat) == host.startTicks;
  }
  // Without /proc, a process id in use is taken for the host.
  return kill(host.pid, 0) == 0 || errno == EPERM;
}

bool IsNewer(const HostIdentity& a, const HostIdentity& b) {
  if (a.bootNanoseconds != b.bootNanoseconds) return a.bootNanoseconds > b.bootNanoseconds;
  return a.pid > b.pid;
}

}  // namespace feedline::host
