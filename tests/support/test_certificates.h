#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <string>

namespace feedline::test {

struct X509Free {
  void operator()(X509* certificate) const { X509_free(certificate); }
};
struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};

// A common name that clears a terminal, sets its title and forges a second told line, should a
// client's error text carry it through unescaped.
inline constexpr char kHostileCommonName[] =
    "\x1b[2J\x1b]2;X\x07\r\nfeedline: https://n/: HTTP 200, 9 bytes, 9 items";

// A certificate and its private key, as a TLS server presents them.
struct TlsIdentity {
  std::unique_ptr<X509, X509Free> certificate;
  std::unique_ptr<EVP_PKEY, KeyFree> key;
};

// Certificates made for the tests, once per process, from a CA of their own. Only the CA is
// meant to be trusted; each server identity fails verification for one reason, but the first.
struct TestCertificates {
  std::string caPem;       // the test CA's certificate, PEM
  TlsIdentity good;        // for "localhost", signed by the CA, valid now
  TlsIdentity otherName;   // signed by the CA and valid, but for another host name
  TlsIdentity expired;     // for "localhost", signed by the CA, expired yesterday
  TlsIdentity selfSigned;  // for "localhost", valid, but signed by itself
  TlsIdentity hostileName;  // signed by the CA and valid, for kHostileCommonName, no other name

  static const TestCertificates& Get();
};

}  // namespace feedline::test
