#include "host/message_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "host/state_file.h"

namespace feedline::host {
namespace {

// Standard error pointed at /dev/null: nothing may reach the bar, even when no log can be had.
void SilenceStandardError() {
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) {
    dup2(null, STDERR_FILENO);
    close(null);
  }
}

}  // namespace

void Complain(const std::string& message) {
  std::fprintf(stderr, "feedline-host: %s\n", message.c_str());
}

bool MessagesWouldReachContent(BarFormat format) {
  if (format == BarFormat::Polybar) return true;
  struct stat out {};
  struct stat error {};
  if (fstat(STDOUT_FILENO, &out) != 0 || fstat(STDERR_FILENO, &error) != 0) return false;
  // A person at a terminal reads both streams anyway; a bar reads standard output as content.
  return out.st_dev == error.st_dev && out.st_ino == error.st_ino && !isatty(STDOUT_FILENO);
}

std::string LogPath(const std::string& name) { return LogDirectoryPath() + "/" + name + ".log"; }

MessageLog::MessageLog(const std::string& name) : name_(name) {
  std::string error;
  if (auto directory = OpenLogDirectory(error)) directory_ = std::move(*directory);
  if (!directory_.IsOpen() || !Reopen()) {
    SilenceStandardError();
    return;
  }
  KeepBounded();
  const std::time_t now = std::time(nullptr);
  char stamp[32] = "";
  std::tm local{};
  if (localtime_r(&now, &local) != nullptr) {
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  }
  std::fprintf(stderr, "feedline-host: started %s (pid %ld); messages come here, not to the bar\n",
               stamp, static_cast<long>(getpid()));
}

bool MessageLog::Reopen() {
  const std::string file = name_ + ".log";
  // Never blocking on a FIFO (opening one to write waits for a reader), and used only when it is
  // a regular file.
  const int fd = openat(directory_.Fd(), file.c_str(),
                        O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    if (fd >= 0) close(fd);
    return false;
  }
  std::fflush(stderr);
  dup2(fd, STDERR_FILENO);
  close(fd);
  return true;
}

void MessageLog::KeepBounded() {
  struct stat info {};
  if (!directory_.IsOpen() || fstat(STDERR_FILENO, &info) != 0 || info.st_size <= kMaxLogBytes) {
    return;
  }
  const std::string file = name_ + ".log";
  const std::string old = file + ".1";
  if (renameat(directory_.Fd(), file.c_str(), directory_.Fd(), old.c_str()) != 0 || !Reopen()) {
    // Better no messages than a log that grows without bound.
    SilenceStandardError();
  }
}

}  // namespace feedline::host
