#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

namespace feedline {

// One WinINet handle, closed when this object goes, on every path out of a download.
class WinInetHandle {
 public:
  WinInetHandle() = default;
  explicit WinInetHandle(HINTERNET handle) : handle_(handle) {}
  ~WinInetHandle() {
    if (handle_ != nullptr) InternetCloseHandle(handle_);
  }
  WinInetHandle(WinInetHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  WinInetHandle& operator=(WinInetHandle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  WinInetHandle(const WinInetHandle&) = delete;
  WinInetHandle& operator=(const WinInetHandle&) = delete;

  HINTERNET get() const { return handle_; }
  // Gives the handle up without closing it (someone else closed it).
  void Release() { handle_ = nullptr; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_ = nullptr;
};

}  // namespace feedline
