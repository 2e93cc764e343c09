#pragma once

#include <windows.h>
#include <wininet.h>

#include <optional>
#include <string>

namespace feedline {

// The parts of an address that opening it needs, copied out of it whatever their length.
struct AddressParts {
  INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
  INTERNET_PORT port = 0;
  std::string host, user, password, object;  // object: path and query, "/" at least
};

// Splits `url` with WinINet's own parser; nothing when it cannot parse the address or it names a
// port above 65535.
std::optional<AddressParts> CrackAddress(const std::string& url);

// The absolute address a redirect's Location points to from `from` (an http or https address);
// empty when it cannot be made.
std::string RedirectTarget(const std::string& from, const std::string& location);

// Whether `url` is an http or https address.
bool IsWebAddress(const std::string& url);

}  // namespace feedline
