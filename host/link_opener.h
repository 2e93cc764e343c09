#pragma once

#include <string>

namespace feedline::host {

// Whether `link` may be opened: only http: and https: addresses (any letter case).
bool IsOpenableLink(const std::string& link);

// Starts `program` with `link` as its only argument, directly (no shell sees the link), detached:
// its own session, standard streams on /dev/null, default signal dispositions and an empty
// mask. It is not waited for; a running host reaps it on SIGCHLD. Returns false and sets
// `error` when the link is refused or the program cannot be started.
bool OpenLink(const std::string& program, const std::string& link, std::string& error);

}  // namespace feedline::host
