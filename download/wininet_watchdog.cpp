#include "download/wininet_watchdog.h"

#include <algorithm>

namespace feedline {

WinInetWatchdog::WinInetWatchdog(HINTERNET session, DWORD milliseconds)
    : session_(session), milliseconds_(milliseconds) {
  InitializeCriticalSection(&lock_);
  stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (stop_ != nullptr) thread_ = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
  // Without a thread the per-wait limits still hold; only the whole-download bound is lost.
}

WinInetWatchdog::~WinInetWatchdog() {
  Stop();
  if (stop_ != nullptr) CloseHandle(stop_);
  DeleteCriticalSection(&lock_);
}

void WinInetWatchdog::Watch(HINTERNET handle) {
  EnterCriticalSection(&lock_);
  try {
    watched_.push_back(handle);
  } catch (...) {
    // Out of memory: this handle keeps only its per-wait limits.
  }
  LeaveCriticalSection(&lock_);
}

void WinInetWatchdog::Unwatch(HINTERNET handle) {
  EnterCriticalSection(&lock_);
  watched_.erase(std::remove(watched_.begin(), watched_.end(), handle), watched_.end());
  LeaveCriticalSection(&lock_);
}

void WinInetWatchdog::Stop() {
  if (thread_ == nullptr) return;
  SetEvent(stop_);
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
}

void WinInetWatchdog::Fire() {
  EnterCriticalSection(&lock_);
  InterlockedExchange(&fired_, 1);
  DWORD shortest = 1;
  for (HINTERNET handle : watched_) {
    for (const DWORD option : {INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                               INTERNET_OPTION_CONNECT_TIMEOUT}) {
      InternetSetOptionA(handle, option, &shortest, sizeof shortest);
    }
  }
  InternetCloseHandle(session_);
  LeaveCriticalSection(&lock_);
}

DWORD WINAPI WinInetWatchdog::Run(void* self) {
  auto* watchdog = static_cast<WinInetWatchdog*>(self);
  if (WaitForSingleObject(watchdog->stop_, watchdog->milliseconds_) == WAIT_TIMEOUT) {
    watchdog->Fire();
  }
  return 0;
}

}  // namespace feedline
