#include "download/download_failure.h"

namespace feedline {

const char* FailurePhrase(DownloadFailure failure) {
  switch (failure) {
    case DownloadFailure::None: return "";
    case DownloadFailure::ClientNotStarted: return "the download could not start";
    case DownloadFailure::OptionRefused: return "download option refused";
    case DownloadFailure::OutOfMemory: return "out of memory";
    case DownloadFailure::AddressNotValid: return "address not valid";
    case DownloadFailure::AddressNotSupported: return "address not supported";
    case DownloadFailure::NotRegularFile: return "not a regular file";
    case DownloadFailure::NameNotResolved: return "name not resolved";
    case DownloadFailure::ConnectionRefused: return "connection refused";
    case DownloadFailure::ConnectionRefusedOrUnreachable:
      return "connection refused or host unreachable";
    case DownloadFailure::CouldNotConnect: return "could not connect";
    case DownloadFailure::ConnectionReset: return "connection reset";
    case DownloadFailure::ConnectionAborted: return "connection aborted";
    case DownloadFailure::NotHttpAnswer: return "not an HTTP answer";
    case DownloadFailure::LoginRefused: return "login refused";
    case DownloadFailure::TimeLimitReached: return "time limit reached";
    case DownloadFailure::TlsHandshakeFailed: return "TLS handshake failed";
    case DownloadFailure::CertificateExpired: return "certificate expired";
    case DownloadFailure::CertificateForAnotherName: return "certificate for another name";
    case DownloadFailure::CertificateUntrusted: return "certificate untrusted";
    case DownloadFailure::CertificateRevocationNotChecked:
      return "certificate revocation not checked";
    case DownloadFailure::CertificateRevoked: return "certificate revoked";
    case DownloadFailure::TooLarge: return "larger than the size limit";
    case DownloadFailure::BodyNotDecoded: return "body did not decode";
    case DownloadFailure::BodyShorterThanAnnounced: return "body shorter than its Content-Length";
    case DownloadFailure::TooManyRedirects: return "too many redirects";
    case DownloadFailure::RedirectNotHttp: return "redirect to a non-http address";
    case DownloadFailure::RedirectNotValid: return "redirect to an address not valid";
    case DownloadFailure::Other: return "download failed";
  }
  return "download failed";
}

}  // namespace feedline
