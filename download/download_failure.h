#pragma once

namespace feedline {

// What failed in a download, one kind for both platforms. Each kind has one fixed phrase, so a
// person reads the same words for the same failure whichever build told them; the platform's
// own words go beside it as detail.
enum class DownloadFailure {
  None,
  ClientNotStarted,
  OptionRefused,
  OutOfMemory,
  AddressNotValid,
  AddressNotSupported,
  NotRegularFile,
  NameNotResolved,
  ConnectionRefused,
  ConnectionRefusedOrUnreachable,  // WinINet cannot tell the two apart
  CouldNotConnect,
  ConnectionReset,
  ConnectionAborted,
  NotHttpAnswer,  // the server answered, but not in HTTP
  LoginRefused,
  TimeLimitReached,
  TlsHandshakeFailed,
  CertificateExpired,
  CertificateForAnotherName,
  CertificateUntrusted,
  CertificateRevocationNotChecked,
  CertificateRevoked,
  TooLarge,  // its phrase names the size limit, which the report carries
  BodyNotDecoded,
  BodyShorterThanAnnounced,
  TooManyRedirects,
  RedirectNotHttp,
  RedirectNotValid,
  Other,
};

// The fixed phrase for `failure` ("connection refused"); empty for None.
const char* FailurePhrase(DownloadFailure failure);

}  // namespace feedline
