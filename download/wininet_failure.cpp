#include "download/wininet_failure.h"

#include <wininet.h>

namespace feedline {
namespace {

struct FailureKind {
  DWORD error;
  const char* words;
};

// WinINet reports a refused connection and an unreachable host with the same error.
constexpr FailureKind kKinds[] = {
    {ERROR_INTERNET_NAME_NOT_RESOLVED, "name not resolved"},
    {ERROR_INTERNET_CANNOT_CONNECT, "connection refused or host unreachable"},
    {ERROR_INTERNET_TIMEOUT, "time limit reached"},
    {ERROR_INTERNET_SEC_CERT_DATE_INVALID, "certificate expired"},
    {ERROR_INTERNET_SEC_CERT_CN_INVALID, "certificate for another name"},
    {ERROR_INTERNET_INVALID_CA, "certificate untrusted"},
    {ERROR_INTERNET_SEC_INVALID_CERT, "certificate untrusted"},
    {ERROR_INTERNET_SEC_CERT_ERRORS, "certificate untrusted"},
    {ERROR_INTERNET_SEC_CERT_REV_FAILED, "certificate revocation not checked"},
    {ERROR_INTERNET_SEC_CERT_REVOKED, "certificate revoked"},
    {ERROR_INTERNET_SECURITY_CHANNEL_ERROR, "TLS handshake failed"},
    {ERROR_INTERNET_CONNECTION_RESET, "connection reset"},
    {ERROR_INTERNET_CONNECTION_ABORTED, "connection aborted"},
    {ERROR_INTERNET_UNRECOGNIZED_SCHEME, "address not supported"},
    {ERROR_INTERNET_INVALID_URL, "address not valid"},
};

// The system's message for a WinINet error, from wininet.dll's message table; empty if none.
std::string SystemMessage(DWORD error) {
  char text[512] = {};
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
      GetModuleHandleA("wininet.dll"), error, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

}  // namespace

void SetWinInetFailure(DWORD error, DownloadReport& report) {
  report.failure = "download failed";
  for (const FailureKind& kind : kKinds) {
    if (kind.error == error) report.failure = kind.words;
  }
  report.detail = "WinINet error " + std::to_string(error);
  const std::string message = SystemMessage(error);
  if (!message.empty()) report.detail += ": " + message;
}

}  // namespace feedline
