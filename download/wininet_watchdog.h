#pragma once

#include <windows.h>
#include <wininet.h>

#include <vector>

namespace feedline {

// Ends a download at its deadline whatever the server does. WinINet's time limits bound each
// wait, not the whole request: a server that sends a header line every few seconds would hold
// a blocking call for ever. At the deadline the watchdog's thread cuts the time limits of the
// handles it watches to a millisecond (Wine reads them again before each wait) and closes the
// session handle (Windows fails every blocking call on a closed handle's tree). The owner
// watches each request handle while it may block, unwatches it before closing it, and leaves
// the session handle alone once the watchdog fired (Fired()).
class WinInetWatchdog {
 public:
  WinInetWatchdog(HINTERNET session, DWORD milliseconds);
  ~WinInetWatchdog();
  WinInetWatchdog(const WinInetWatchdog&) = delete;
  WinInetWatchdog& operator=(const WinInetWatchdog&) = delete;

  void Watch(HINTERNET handle);
  void Unwatch(HINTERNET handle);
  // Whether the deadline passed and the session was closed.
  bool Fired() const { return InterlockedCompareExchange(&fired_, 0, 0) != 0; }
  // Stops the watchdog; from then on nothing is changed behind the owner. Safe to call twice.
  void Stop();

 private:
  static DWORD WINAPI Run(void* self);
  void Fire();

  HINTERNET session_;
  DWORD milliseconds_;
  HANDLE stop_ = nullptr;
  HANDLE thread_ = nullptr;
  mutable LONG fired_ = 0;
  CRITICAL_SECTION lock_;
  std::vector<HINTERNET> watched_;  // under lock_
};

}  // namespace feedline
