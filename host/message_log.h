#pragma once

#include <string>

#include "host/atomic_file.h"
#include "host/bar_formats.h"

namespace feedline::host {

// Says one line to a person on standard error (or the log in its place): "feedline-host: ...".
void Complain(const std::string& message);

// A log grows to this size, then moves to NAME.log.1 (replacing the one before) and starts anew.
inline constexpr long kMaxLogBytes = 256 * 1024;

// Whether what the host and the plug-in write to standard error would reach the bar as content:
// standard error is the same file or pipe as standard output (polybar gives a script one pipe
// for both) and that is not a terminal, or the format's bar reads both streams as one.
bool MessagesWouldReachContent(BarFormat format);

// Where the messages of a host named `name` go when they cannot go to standard error.
std::string LogPath(const std::string& name);

// The host's and the plug-in's messages in the log file of a host name: the file takes standard
// error's place, so the plug-in's own lines go there too.
class MessageLog {
 public:
  // Puts the log of `name` in place of standard error. Where the log cannot be opened, standard
  // error goes nowhere rather than to the bar.
  explicit MessageLog(const std::string& name);
  // Moves the log aside once it has grown past kMaxLogBytes; cheap enough to call every poll.
  void KeepBounded();

 private:
  bool Reopen();

  std::string name_;
  DirectoryHandle directory_;
};

}  // namespace feedline::host
