#pragma once

#include <optional>
#include <string>

namespace feedline::host {

// Where a running host records the link it shows, for `feedline-host --open`: the file NAME in
// $XDG_RUNTIME_DIR/feedline/ (or /tmp/feedline-UID when that is not set), a directory of mode
// 0700 owned by this user.

// Whether `name` can name a state file: letters, digits, ".", "_" and "-", not starting with ".".
bool IsValidStateName(const std::string& name);

// The state file's path, creating its directory if needed; nothing (and `error` set) when the
// directory cannot be made or is not this user's private directory.
std::optional<std::string> StateFilePath(const std::string& name, std::string& error);

// Records `link` in the state file at `path` (from StateFilePath), replacing it at once; false
// when it could not.
bool WriteShownLink(const std::string& path, const std::string& link);

// The link recorded for `name`; nothing (and `error` set) when there is none.
std::optional<std::string> ReadShownLink(const std::string& name, std::string& error);

}  // namespace feedline::host
