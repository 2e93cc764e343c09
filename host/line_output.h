#pragma once

#include <string>

namespace feedline::host {

enum class WriteResult { Written, ReaderGone, Failed };

// Where each new line goes: standard output, or a file replaced whole on every line so that
// its readers (conky, scripts) never see half a line.
class LineOutput {
 public:
  explicit LineOutput(std::string file) : file_(std::move(file)) {}

  // Writes `line` and a line break. ReaderGone when standard output's reader has closed it,
  // whether or not SIGPIPE is ignored.
  WriteResult Write(const std::string& line, std::string& error);

 private:
  std::string file_;  // empty: standard output
};

}  // namespace feedline::host
