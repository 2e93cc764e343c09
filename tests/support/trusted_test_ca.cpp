#include "tests/support/trusted_test_ca.h"

#include <sys/mount.h>

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/support/test_certificates.h"

namespace feedline::test {
namespace {

// Where libcurl (Debian's build) and Wine's crypt32 look first for the trusted roots.
constexpr char kSystemBundle[] = "/etc/ssl/certs/ca-certificates.crt";

std::string MountTestCa() {
  if (!HasPrivateMounts()) {
    return "needs a mount namespace of its own; ctest runs this in one (isolated-network)";
  }
  if (!std::filesystem::exists(kSystemBundle)) {
    return std::string(kSystemBundle) + " is missing (package ca-certificates)";
  }
  const std::filesystem::path bundle =
      std::filesystem::temp_directory_path() / ("feedline-test-ca-" + std::to_string(getpid()));
  std::ofstream(bundle) << TestCertificates::Get().caPem;
  if (mount(bundle.c_str(), kSystemBundle, nullptr, MS_BIND, nullptr) != 0) {
    return std::string("bind mount over ") + kSystemBundle + ": " + std::strerror(errno);
  }
  // The mount keeps the file's contents reachable; the name is not needed any more.
  std::filesystem::remove(bundle);
  return {};
}

}  // namespace

bool HasPrivateMounts() { return std::getenv("FEEDLINE_PRIVATE_MOUNTS") != nullptr; }

std::string TrustOnlyTestCa() {
  static const std::string why = MountTestCa();
  return why;
}

}  // namespace feedline::test
