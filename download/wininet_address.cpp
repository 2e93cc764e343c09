#include "download/wininet_address.h"

#include <string>
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

// Whether `url` names a port above 65535, which WinINet's 16-bit port would wrap onto another
// port: the digits after the authority's last ":" (after "]:" for a bracketed host).
bool PortOutOfRange(std::string_view url) {
  const std::size_t schemeEnd = url.find("://");
  if (schemeEnd == std::string_view::npos) return false;
  const std::size_t start = schemeEnd + 3;
  std::string_view authority = url.substr(start, url.find_first_of("/?#", start) - start);
  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) authority.remove_prefix(at + 1);
  std::size_t colon = std::string_view::npos;
  if (authority.starts_with('[')) {
    const std::size_t close = authority.find(']');
    if (close != std::string_view::npos && close + 1 < authority.size() && authority[close + 1] == ':') {
      colon = close + 1;
    }
  } else {
    colon = authority.rfind(':');
  }
  if (colon == std::string_view::npos) return false;
  const std::string_view digits = authority.substr(colon + 1);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return false;  // WinINet's parser judges it
  }
  const std::size_t significant = digits.find_first_not_of('0');
  if (significant == std::string_view::npos) return false;
  return digits.size() - significant > 5 || std::stoul(std::string(digits)) > 65535;
}

// `path` with its "." and ".." segments resolved (RFC 3986, 5.2.4).
std::string RemoveDotSegments(std::string_view path) {
  std::string out;
  while (!path.empty()) {
    if (path.starts_with("../")) {
      path.remove_prefix(3);
    } else if (path.starts_with("./")) {
      path.remove_prefix(2);
    } else if (path.starts_with("/./")) {
      path.remove_prefix(2);
    } else if (path == "/.") {
      path = "/";
    } else if (path.starts_with("/../") || path == "/..") {
      path = path.size() == 3 ? std::string_view("/") : path.substr(3);
      const std::size_t last = out.rfind('/');
      out.erase(last == std::string::npos ? 0 : last);
    } else if (path == "." || path == "..") {
      path = {};
    } else {
      const std::size_t next = path.find('/', path.starts_with('/') ? 1 : 0);
      out.append(path.substr(0, next));
      path = next == std::string_view::npos ? std::string_view{} : path.substr(next);
    }
  }
  return out;
}

// A relative reference ("next.xml", "../a?b", "?page=2") resolved against the absolute http(s)
// address `base` (RFC 3986, 5.2.2), whatever their length.
std::string ResolveRelative(const std::string& base, const std::string& location) {
  const std::size_t schemeEnd = base.find("://");
  const std::size_t pathStart = base.find_first_of("/?#", schemeEnd + 3);
  const std::string origin = base.substr(0, pathStart);
  const std::string_view rest =
      pathStart == std::string::npos ? std::string_view{} : std::string_view(base).substr(pathStart);
  const std::string_view basePath = rest.substr(0, rest.find_first_of("?#"));
  if (location.starts_with('?')) return origin + std::string(basePath) + location;
  // The base's directory, then the reference; an empty base path counts as "/".
  const std::string merged =
      (basePath.empty() ? std::string("/")
                        : std::string(basePath.substr(0, basePath.rfind('/') + 1))) + location;
  const std::size_t query = merged.find_first_of("?#");
  return origin + RemoveDotSegments(std::string_view(merged).substr(0, query)) +
         (query == std::string::npos ? std::string() : merged.substr(query));
}

}  // namespace

// Splits `url` with WinINet's own parser. Asked for no buffers, InternetCrackUrlA points into
// the address itself, so no part is too long for it; nothing when it cannot parse the address.
std::optional<AddressParts> CrackAddress(const std::string& url) {
  if (PortOutOfRange(url)) return std::nullopt;
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
// it cannot be made. Every kind of Location is joined here, whatever its length: WinINet's own
// joining fails past INTERNET_MAX_URL_LENGTH, or cuts the result short and reports success.
std::string RedirectTarget(const std::string& from, const std::string& location) {
  if (location.empty()) return {};
  if (HasScheme(location)) return location;
  const std::size_t schemeEnd = from.find("://");
  if (schemeEnd == std::string::npos) return {};
  if (location.starts_with("//")) return from.substr(0, schemeEnd + 1) + location;
  if (location.starts_with("/")) {
    return from.substr(0, from.find_first_of("/?#", schemeEnd + 3)) + location;
  }
  if (location.starts_with("#")) return from;  // the fragment goes anyway
  return ResolveRelative(from, location);
}

bool IsWebAddress(const std::string& url) {
  return _strnicmp(url.c_str(), "http://", 7) == 0 || _strnicmp(url.c_str(), "https://", 8) == 0;
}

}  // namespace feedline
