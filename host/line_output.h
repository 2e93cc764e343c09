#pragma once

#include <memory>
#include <optional>
#include <string>

#include "host/atomic_file.h"

namespace feedline::host {

enum class WriteResult { Written, ReaderGone, Failed };

// Where each new line goes: standard output, or a file replaced whole on every line so that
// its readers (conky, scripts) never see half a line.
class LineOutput {
 public:
  // Standard output when `file` is empty. For a file, its directory is opened once and the
  // file checked: anything but a regular file (or nothing) at the path is refused here, with
  // `error` set, rather than replaced on the first line.
  static std::optional<LineOutput> Open(const std::string& file, std::string& error);

  // Writes `line` and a line break. ReaderGone when standard output's reader has closed it,
  // whether or not SIGPIPE is ignored.
  WriteResult Write(const std::string& line, std::string& error);

  bool ToStandardOutput() const { return file_.empty(); }

 private:
  LineOutput() = default;

  std::string file_;  // empty: standard output
  std::string name_;  // the file's name in `directory_`
  DirectoryHandle directory_;
};

}  // namespace feedline::host
