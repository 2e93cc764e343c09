#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "host/atomic_file.h"
#include "host/host_identity.h"

namespace feedline::host {

// Where a running host records the link it shows, for `feedline-host --open`: the file NAME.link in
// the directory feedline/ of $XDG_RUNTIME_DIR, or, when that is not set, of $XDG_STATE_HOME
// (~/.local/state): places no other user can create ahead. Its first line names the host that
// holds the name (OwnerLine), its second the link. The directory is this user's, mode
// 0700, opened once and checked on its handle; files in it are made and read through it.

// Whether `name` can name a state file: letters, digits, ".", "_" and "-", not starting with ".".
bool IsValidStateName(const std::string& name);

// The state directory, made if missing; nothing (and `error` set) when it cannot be made or is
// not this user's private directory.
std::optional<DirectoryHandle> OpenStateDirectory(std::string& error);

// The directory that keeps the host's message logs: feedline/ in $XDG_STATE_HOME
// (~/.local/state), which outlives a session, unlike the runtime directory; made if missing and
// checked like the state directory.
std::optional<DirectoryHandle> OpenLogDirectory(std::string& error);
// Its path, for telling a person where the logs are.
std::string LogDirectoryPath();

enum class RecordResult { Written, NewerHostHolds, Locked, Failed };

// How long a record waits for the state directory's lock, and what ends the wait sooner.
struct LockWait {
  std::chrono::milliseconds atMost{1000};
  std::function<bool()> stopRequested;  // may be empty
};

// Records `link` shown by `host` in the state file `name`, replacing it at once, unless a newer
// host that is still running holds the name: the newest host with a name owns it, so that a
// restarted or reloaded bar's new host takes over from an old one still on its way out, and a
// dead host's record blocks nothing. The check and the replacement happen under a lock on the
// state directory, so two hosts never both believe they hold the name. NewerHostHolds tells the
// newer host's process id in `newer`; Locked (the lock was not had within `wait`) and Failed set
// `error`. The record of NAME is the file NAME.link.
RecordResult WriteShownLink(const DirectoryHandle& directory, const std::string& name,
                            const HostIdentity& host, const std::string& link, pid_t& newer,
                            std::string& error, const LockWait& wait = {});

// Removes the temporary files that a host of `name` killed while it wrote its record left behind.
void SweepStaleRecordTemporaries(const DirectoryHandle& directory, const std::string& name);

// The link recorded for `name`; nothing (and `error` set) when there is none or the state file
// is not a regular file of the state directory.
std::optional<std::string> ReadShownLink(const std::string& name, std::string& error);

}  // namespace feedline::host
