#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace feedline::host {

// A running host as its state file records it: its process id with the process's start time
// (in clock ticks since boot, as the kernel keeps it), which together never name another
// process of the same boot, when it started in nanoseconds since boot, which orders hosts by
// age, and the boot it belongs to (the kernel's boot id), since records outlive a reboot.
struct HostIdentity {
  pid_t pid = 0;
  std::uint64_t startTicks = 0;
  std::uint64_t bootNanoseconds = 0;
  std::string bootId;  // 36 characters, as /proc/sys/kernel/random/boot_id holds it
  bool operator==(const HostIdentity&) const = default;
};

// Whether `text` is a boot id: 36 lower-case hex digits and dashes, in the kernel's layout.
bool IsBootId(std::string_view text);

// This process, read once when the host starts.
HostIdentity ThisHost();

// "host PID START_TICKS BOOT_NANOSECONDS BOOT_ID", the first line of a state file, and back.
std::string OwnerLine(const HostIdentity& host);
std::optional<HostIdentity> ParseOwnerLine(std::string_view line);

// The start time in a /proc/PID/stat text (its 22nd field, counted after the command name in
// parentheses, which may itself hold blanks and parentheses).
std::optional<std::uint64_t> StartTicksInStat(std::string_view stat);

// The command name in a /proc/PID/stat text (between the first "(" and the last ")").
std::optional<std::string_view> CommandInStat(std::string_view stat);

// Whether `host` is still running: it belongs to this boot, and its process id is in use by the
// same process, which runs the same program as this one (a record naming another program, or a
// process of another boot, holds nothing).
bool IsRunning(const HostIdentity& host);

// Whether `a` started after `b`; the process id decides between hosts started in the same
// nanosecond, so that two hosts always agree on which is newer.
bool IsNewer(const HostIdentity& a, const HostIdentity& b);

}  // namespace feedline::host
