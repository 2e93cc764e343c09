#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace feedline::host {

// A running host as its state file records it: its process id with the process's start time
// (in clock ticks since boot, as the kernel keeps it), which together never name another
// process, and when it started in nanoseconds since boot, which orders hosts by age.
struct HostIdentity {
  pid_t pid = 0;
  std::uint64_t startTicks = 0;
  std::uint64_t bootNanoseconds = 0;
  bool operator==(const HostIdentity&) const = default;
};

// This process, read once when the host starts.
HostIdentity ThisHost();

// "host PID START_TICKS BOOT_NANOSECONDS", the first line of a state file, and back.
std::string OwnerLine(const HostIdentity& host);
std::optional<HostIdentity> ParseOwnerLine(std::string_view line);

// The start time in a /proc/PID/stat text (its 22nd field, counted after the command name in
// parentheses, which may itself hold blanks and parentheses).
std::optional<std::uint64_t> StartTicksInStat(std::string_view stat);

// Whether `host` is still running: its process id is in use by the same process.
bool IsRunning(const HostIdentity& host);

// Whether `a` started after `b`; the process id decides between hosts started in the same
// nanosecond, so that two hosts always agree on which is newer.
bool IsNewer(const HostIdentity& a, const HostIdentity& b);

}  // namespace feedline::host
