#pragma once

#include <optional>
#include <string>

#include "host/atomic_file.h"

namespace feedline::host {

// Where a running host records the link it shows, for `feedline-host --open`: the file NAME in
// the directory feedline/ of $XDG_RUNTIME_DIR, or, when that is not set, of $XDG_STATE_HOME
// (~/.local/state): places no other user can create ahead. The directory is this user's, mode
// 0700, opened once and checked on its handle; files in it are made and read through it.

// Whether `name` can name a state file: letters, digits, ".", "_" and "-", not starting with ".".
bool IsValidStateName(const std::string& name);

// The state directory, made if missing; nothing (and `error` set) when it cannot be made or is
// not this user's private directory.
std::optional<DirectoryHandle> OpenStateDirectory(std::string& error);

// Records `link` in the state file `name`, replacing it at once; false with `error` set when
// it could not.
bool WriteShownLink(const DirectoryHandle& directory, const std::string& name,
                    const std::string& link, std::string& error);

// The link recorded for `name`; nothing (and `error` set) when there is none or the state file
// is not a regular file of the state directory.
std::optional<std::string> ReadShownLink(const std::string& name, std::string& error);

}  // namespace feedline::host
