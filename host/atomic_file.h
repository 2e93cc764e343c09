#pragma once

#include <string>

namespace feedline::host {

// Replaces the file at `path` with `content` so that a reader sees either the old or the new
// file whole: written to a temporary file in the same directory, then renamed over it.
// Returns false (and removes the temporary file) when any step fails.
bool ReplaceFileAtomically(const std::string& path, const std::string& content);

}  // namespace feedline::host
