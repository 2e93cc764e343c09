#include "download/wininet_address.h"

#include <string_view>

namespace feedline {
namespace {

// Whether `location` starts with a scheme ("https:", "ftp:"): letters, digits, "+", "-" or
// "." after a first letter, then ":".
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool HasScheme(const std::string& location) {
  const std::size_t colon = location.find(':');
  if (colon == std::string::npos || colon == 0 || !IsAsciiLetter(location[0])) return false;
  for (std::size_t i = 1; i < colon; ++i) {
    const char c = location[i];
    const bool digit = c >= '0' && c <= '9';
    if (!IsAsciiLetter(c) && !digit && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

}  // namespace

// Splits `url` with WinINet's own parser. Asked for no buffers, InternetCrackUrlA points into
// the address itself, so no part is too long for it; nothing when it cannot parse the address.
std::optional<AddressParts> CrackAddress(const std::string& url) {
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUserNameLength = parts.dwPasswordLength = 1;
  parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
  if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
    return std::nullopt;
  }
  const auto part = [](const char* text, DWORD length) {
    return text != nullptr ? std::string(text, length) : std::string();
  };
  AddressParts cracked;
  cracked.scheme = parts.nScheme;
  cracked.port = parts.nPort;
  cracked.host = part(parts.lpszHostName, parts.dwHostNameLength);
  cracked.user = part(parts.lpszUserName, parts.dwUserNameLength);
  cracked.password = part(parts.lpszPassword, parts.dwPasswordLength);
  const std::string path = part(parts.lpszUrlPath, parts.dwUrlPathLength);
  cracked.object.append(path.empty() ? std::string_view("/") : std::string_view(path));
  cracked.object.append(part(parts.lpszExtraInfo, parts.dwExtraInfoLength));
  return cracked;
}

// The absolute address a Location points to from `from` (an http or https address); empty when
// it cannot be made. Absolute, scheme-relative and path-absolute Locations are joined here,
// whatever their length: WinINet's own joining cuts a result longer than
// INTERNET_MAX_URL_LENGTH short and still reports success.
std::string RedirectTarget(const std::string& from, const std::string& location) {
  if (location.empty()) return {};
  if (HasScheme(location)) return location;
  const std::size_t schemeEnd = from.find("://");
  if (schemeEnd == std::string::npos) return {};
  if (location.starts_with("//")) return from.substr(0, schemeEnd + 1) + location;
  if (location.starts_with("/")) {
    return from.substr(0, from.find_first_of("/?#", schemeEnd + 3)) + location;
  }
  // A relative path ("next.xml", "?page=2") needs the base's path and dot segments resolved:
  // WinINet does that, within the length it can join.
  if (from.size() + location.size() >= INTERNET_MAX_URL_LENGTH) return {};
  std::string target(INTERNET_MAX_URL_LENGTH + 1, '\0');
  DWORD size = static_cast<DWORD>(target.size());
  if (!InternetCombineUrlA(from.c_str(), location.c_str(), target.data(), &size, ICU_NO_ENCODE)) {
    return {};
  }
  target.resize(size);
  return target;
}

bool IsWebAddress(const std::string& url) {
  return _strnicmp(url.c_str(), "http://", 7) == 0 || _strnicmp(url.c_str(), "https://", 8) == 0;
}

}  // namespace feedline
