#include "download/wininet_failure.h"

#include <wininet.h>

#include "common/system_message_windows.h"

namespace feedline {
namespace {

struct FailureKind {
  DWORD error;
  DownloadFailure failure;
};

// WinINet reports a refused connection and an unreachable host with the same error.
constexpr FailureKind kKinds[] = {
    {ERROR_INTERNET_NAME_NOT_RESOLVED, DownloadFailure::NameNotResolved},
    {ERROR_INTERNET_CANNOT_CONNECT, DownloadFailure::ConnectionRefusedOrUnreachable},
    {ERROR_INTERNET_TIMEOUT, DownloadFailure::TimeLimitReached},
    {ERROR_INTERNET_SEC_CERT_DATE_INVALID, DownloadFailure::CertificateExpired},
    {ERROR_INTERNET_SEC_CERT_CN_INVALID, DownloadFailure::CertificateForAnotherName},
    {ERROR_INTERNET_INVALID_CA, DownloadFailure::CertificateUntrusted},
    {ERROR_INTERNET_SEC_INVALID_CERT, DownloadFailure::CertificateUntrusted},
    {ERROR_INTERNET_SEC_CERT_ERRORS, DownloadFailure::CertificateUntrusted},
    {ERROR_INTERNET_SEC_CERT_REV_FAILED, DownloadFailure::CertificateRevocationNotChecked},
    {ERROR_INTERNET_SEC_CERT_REVOKED, DownloadFailure::CertificateRevoked},
    {ERROR_INTERNET_SECURITY_CHANNEL_ERROR, DownloadFailure::TlsHandshakeFailed},
    {ERROR_INTERNET_CONNECTION_RESET, DownloadFailure::ConnectionReset},
    {ERROR_INTERNET_CONNECTION_ABORTED, DownloadFailure::ConnectionAborted},
    {ERROR_INTERNET_UNRECOGNIZED_SCHEME, DownloadFailure::AddressNotSupported},
    {ERROR_INTERNET_INVALID_URL, DownloadFailure::AddressNotValid},
    {ERROR_HTTP_INVALID_SERVER_RESPONSE, DownloadFailure::NotHttpAnswer},
    {ERROR_INTERNET_LOGIN_FAILURE, DownloadFailure::LoginRefused},
    {ERROR_INTERNET_INCORRECT_PASSWORD, DownloadFailure::LoginRefused},
    {ERROR_INTERNET_INCORRECT_USER_NAME, DownloadFailure::LoginRefused},
};

}  // namespace

void SetWinInetFailure(DWORD error, DownloadReport& report) {
  report.failure = DownloadFailure::Other;
  for (const FailureKind& kind : kKinds) {
    if (kind.error == error) report.failure = kind.failure;
  }
  report.detail = "WinINet error " + std::to_string(error);
  const std::string message = SystemMessage(error, GetModuleHandleA("wininet.dll"));
  if (!message.empty()) report.detail += ": " + message;
}

}  // namespace feedline
