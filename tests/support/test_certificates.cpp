#include "tests/support/test_certificates.h"

#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509v3.h>

namespace feedline::test {
namespace {

constexpr long kDay = 24 * 60 * 60;

std::unique_ptr<EVP_PKEY, KeyFree> MakeKey() {
  return std::unique_ptr<EVP_PKEY, KeyFree>(EVP_RSA_gen(2048));
}

void AddExtension(X509* certificate, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
  X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
}

struct Validity {
  long fromSeconds;  // relative to now
  long toSeconds;
};

constexpr Validity kValidNow{-kDay, 30 * kDay};

// A version 3 certificate for `commonName`, signed by `issuerKey` (its own key when the
// issuer is null: self-signed).
std::unique_ptr<X509, X509Free> MakeCertificate(const std::string& commonName, EVP_PKEY* key,
                                                X509* issuer, EVP_PKEY* issuerKey,
                                                Validity validity, bool isCa,
                                                bool withAltName = true) {
  static long serial = 1;
  std::unique_ptr<X509, X509Free> certificate(X509_new());
  X509* cert = certificate.get();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), serial++);
  X509_gmtime_adj(X509_getm_notBefore(cert), validity.fromSeconds);
  X509_gmtime_adj(X509_getm_notAfter(cert), validity.toSeconds);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("feedline tests"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1,
                             0);
  X509* signer = issuer != nullptr ? issuer : cert;
  X509_set_issuer_name(cert, X509_get_subject_name(signer));
  AddExtension(cert, signer, NID_subject_key_identifier, "hash");
  if (isCa) {
    AddExtension(cert, signer, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(cert, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    const std::string altName = "DNS:" + commonName;
    AddExtension(cert, signer, NID_basic_constraints, "CA:FALSE");
    AddExtension(cert, signer, NID_key_usage, "critical,digitalSignature,keyEncipherment");
    AddExtension(cert, signer, NID_ext_key_usage, "serverAuth");
    if (withAltName) AddExtension(cert, signer, NID_subject_alt_name, altName.c_str());
  }
  if (issuer != nullptr) AddExtension(cert, signer, NID_authority_key_identifier, "keyid");
  X509_sign(cert, issuerKey != nullptr ? issuerKey : key, EVP_sha256());
  return certificate;
}

std::string ToPem(X509* certificate) {
  BIO* memory = BIO_new(BIO_s_mem());
  PEM_write_bio_X509(memory, certificate);
  char* data = nullptr;
  const long size = BIO_get_mem_data(memory, &data);
  std::string pem(data, static_cast<size_t>(size));
  BIO_free(memory);
  return pem;
}

// A second reference to `key`, so that each identity owns the key it holds.
std::unique_ptr<EVP_PKEY, KeyFree> Share(EVP_PKEY* key) {
  EVP_PKEY_up_ref(key);
  return std::unique_ptr<EVP_PKEY, KeyFree>(key);
}

TestCertificates Make() {
  auto caKey = MakeKey();
  auto serverKey = MakeKey();
  auto ca = MakeCertificate("feedline test CA", caKey.get(), nullptr, nullptr,
                            {-kDay, 365 * kDay}, true);
  auto signedBy = [&](const std::string& name, Validity validity) {
    return TlsIdentity{MakeCertificate(name, serverKey.get(), ca.get(), caKey.get(), validity,
                                       false),
                       Share(serverKey.get())};
  };
  TestCertificates made;
  made.caPem = ToPem(ca.get());
  made.good = signedBy("localhost", kValidNow);
  made.otherName = signedBy("feedline-other.test", kValidNow);
  made.expired = signedBy("localhost", {-30 * kDay, -kDay});
  // Without an alternative name, a client that refuses it quotes its common name.
  made.hostileName = {MakeCertificate(kHostileCommonName, serverKey.get(), ca.get(), caKey.get(),
                                      kValidNow, false, false),
                      Share(serverKey.get())};
  made.selfSigned = {MakeCertificate("localhost", serverKey.get(), nullptr, nullptr, kValidNow,
                                     false),
                     Share(serverKey.get())};
  return made;
}

}  // namespace

const TestCertificates& TestCertificates::Get() {
  static const TestCertificates made = Make();
  return made;
}

}  // namespace feedline::test
