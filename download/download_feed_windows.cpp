// Feed download over WinINet.
#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "download/agent_name.h"
#include "download/body_inflater.h"
#include "download/download_feed.h"
#include "download/wininet_failure.h"

namespace feedline {
namespace {

// Reload from the server, keep nothing in the local cache, send "Pragma: no-cache".
// Redirects are followed by OpenFollowingRedirects rather than by WinINet.
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                             INTERNET_FLAG_HYPERLINK | INTERNET_FLAG_PRAGMA_NOCACHE;
static_assert(kOpenFlags == 0x84000500);

constexpr DWORD kReadBufferBytes = 1024;

// Offered on every HTTP(S) request. The answer is decoded here with zlib rather than by
// WinINet: not every WinINet reads "deflate" as the zlib stream that HTTP means by it.
constexpr char kAcceptEncoding[] = "Accept-Encoding: gzip, deflate\r\n";

void SetTimeouts(HINTERNET session, const DownloadLimits& limits) {
  DWORD connect = static_cast<DWORD>(limits.connectTimeoutMs);
  DWORD transfer = static_cast<DWORD>(limits.transferTimeoutMs);
  InternetSetOptionA(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
  InternetSetOptionA(session, INTERNET_OPTION_SEND_TIMEOUT, &transfer, sizeof transfer);
  InternetSetOptionA(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &transfer, sizeof transfer);
}

// The Content-Length the server announced, or -1 when there is none (or it is not HTTP).
long long AnnouncedLength(HINTERNET request) {
  char text[32] = {};
  DWORD size = sizeof text - 1;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return -1;
  char* end = nullptr;
  const long long length = std::strtoll(text, &end, 10);
  return end != text && length >= 0 ? length : -1;
}

enum class Encoding { Plain, Compressed, Unknown };

// How the body is encoded: as it is, with gzip or deflate, or with something not asked for.
Encoding BodyEncoding(HINTERNET request) {
  char text[64] = {};
  DWORD size = sizeof text - 1;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_ENCODING, text, &size, nullptr)) {
    return Encoding::Plain;
  }
  if (_stricmp(text, "identity") == 0) return Encoding::Plain;
  if (_stricmp(text, "gzip") == 0 || _stricmp(text, "x-gzip") == 0 ||
      _stricmp(text, "deflate") == 0) {
    return Encoding::Compressed;
  }
  return Encoding::Unknown;
}

// Whether the transfer has used up its time limit.
bool TimeIsUp(const DownloadLimits& limits, ULONGLONG started) {
  return GetTickCount64() - started > static_cast<ULONGLONG>(limits.transferTimeoutMs);
}

// Milliseconds left of the transfer's time limit, at least 1.
DWORD RemainingMs(const DownloadLimits& limits, ULONGLONG started) {
  const ULONGLONG spent = GetTickCount64() - started;
  const auto limit = static_cast<ULONGLONG>(limits.transferTimeoutMs);
  return spent >= limit ? 1 : static_cast<DWORD>(limit - spent);
}

std::string TooLarge(const DownloadLimits& limits) {
  return "larger than " + std::to_string(limits.maxDocumentBytes / (1024 * 1024)) + " MiB";
}

// Says that the transfer took longer than its limit.
void SetTimeLimitReached(const DownloadLimits& limits, DownloadReport& report) {
  report.failure = "time limit reached";
  report.detail = "more than " + std::to_string(limits.transferTimeoutMs) + " ms";
}

// Reads the whole body, decoded, into `body`; false on a failed read, a cut-off or undecodable
// body, a body over the size limit (counted in decoded bytes, so a small body that inflates past
// it stops at the limit) or a transfer longer than the time limit. Each read asks only for the
// bytes that have arrived, and each wait for more is bounded by the time left: a full-buffer
// read would wait for a slow server however long it takes. `report` gets the bytes received and
// what failed.
bool ReadBody(HINTERNET request, const DownloadLimits& limits, ULONGLONG started,
              std::string& body, DownloadReport& report) {
  const auto fail = [&report](std::string failure, std::string detail = {}) {
    report.failure = std::move(failure);
    report.detail = std::move(detail);
    return false;
  };
  const auto failLastCall = [&report] {
    SetWinInetFailure(GetLastError(), report);
    return false;
  };
  const Encoding encoding = BodyEncoding(request);
  if (encoding == Encoding::Unknown) return fail("body did not decode", "unknown Content-Encoding");
  std::optional<BodyInflater> inflater;
  if (encoding == Encoding::Compressed) inflater.emplace();
  const long long announced = AnnouncedLength(request);  // bytes on the wire
  if (announced > static_cast<long long>(limits.maxDocumentBytes)) return fail(TooLarge(limits));
  if (announced > 0 && !inflater) body.reserve(static_cast<size_t>(announced));
  unsigned long long received = 0;
  char buffer[kReadBufferBytes];
  for (;;) {
    DWORD wait = RemainingMs(limits, started);
    InternetSetOptionA(request, INTERNET_OPTION_RECEIVE_TIMEOUT, &wait, sizeof wait);
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0)) return failLastCall();
    DWORD read = 0;
    if (available > 0 &&
        !InternetReadFile(request, buffer, available < sizeof buffer ? available : sizeof buffer,
                          &read)) {
      return failLastCall();
    }
    if (read == 0) break;
    received += read;
    report.wireBytes = received;
    if (inflater) {
      if (!inflater->Feed({buffer, read}, body, limits.maxDocumentBytes)) {
        return fail(inflater->OverLimit() ? TooLarge(limits) : "body did not decode");
      }
    } else {
      if (body.size() + read > limits.maxDocumentBytes) return fail(TooLarge(limits));
      body.append(buffer, read);
    }
    if (TimeIsUp(limits, started)) {
      SetTimeLimitReached(limits, report);
      return false;
    }
  }
  // WinINet ends a body cut off by a dropped connection like a complete one.
  if (announced >= 0 && received != static_cast<unsigned long long>(announced)) {
    return fail("body shorter than its Content-Length",
                std::to_string(received) + " of " + std::to_string(announced) + " bytes");
  }
  if (inflater && !inflater->Finished()) return fail("body did not decode", "cut off");
  return true;
}

// The answer's HTTP status, or 0 when the request is not HTTP.
DWORD StatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr)) {
    return 0;
  }
  return status;
}

bool IsRedirect(HINTERNET request) {
  const DWORD status = StatusCode(request);
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A redirect's Location header: nothing when the response has none (it is then an answer like
// any other), empty when it is there but cannot be read.
std::optional<std::string> Location(HINTERNET request) {
  char location[2048] = {};
  DWORD size = sizeof location - 1;
  if (HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location, &size, nullptr)) {
    return std::string(location, size);
  }
  if (GetLastError() == ERROR_HTTP_HEADER_NOT_FOUND) return std::nullopt;
  return std::string();
}

// The absolute address a Location points to from `from`, or empty when it leaves http(s).
std::string RedirectTarget(const std::string& from, const std::string& location) {
  if (location.empty()) return {};
  char target[4096] = {};
  DWORD targetSize = sizeof target;
  if (!InternetCombineUrlA(from.c_str(), location.c_str(), target, &targetSize, ICU_NO_ENCODE)) {
    return {};
  }
  const std::string combined(target, targetSize);
  const bool web = _strnicmp(target, "http://", 7) == 0 || _strnicmp(target, "https://", 8) == 0;
  return web ? combined : std::string();
}

// A request and, for HTTP, the connection handle it belongs to.
struct OpenedUrl {
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;
};

void Close(OpenedUrl& opened) {
  if (opened.request != nullptr) InternetCloseHandle(opened.request);
  if (opened.connection != nullptr) InternetCloseHandle(opened.connection);
  opened = {};
}

// Opens one address without following redirects. HTTP and HTTPS go through a connection and a
// request handle of their own, so that the time limits are set on them before the request is
// sent: not every WinINet passes the session's receive limit on to the wait for the response
// (under Wine a silent server otherwise holds the call for ever). Other schemes use
// InternetOpenUrlA. When it fails, `report` says why.
OpenedUrl OpenOnce(HINTERNET session, const std::string& url, const DownloadLimits& limits,
                   DownloadReport& report) {
  char host[INTERNET_MAX_HOST_NAME_LENGTH] = {}, user[256] = {}, password[256] = {};
  char path[INTERNET_MAX_PATH_LENGTH] = {}, extra[INTERNET_MAX_PATH_LENGTH] = {};
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof host;
  parts.lpszUserName = user;
  parts.dwUserNameLength = sizeof user;
  parts.lpszPassword = password;
  parts.dwPasswordLength = sizeof password;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = sizeof path;
  parts.lpszExtraInfo = extra;
  parts.dwExtraInfoLength = sizeof extra;
  const DWORD flags = kOpenFlags | INTERNET_FLAG_NO_AUTO_REDIRECT;
  OpenedUrl opened;
  if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts) ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
    opened.request = InternetOpenUrlA(session, url.c_str(), nullptr, 0, flags, 0);
    if (opened.request == nullptr) SetWinInetFailure(GetLastError(), report);
    return opened;
  }
  opened.connection = InternetConnectA(session, host, parts.nPort, user[0] ? user : nullptr,
                                       password[0] ? password : nullptr, INTERNET_SERVICE_HTTP,
                                       0, 0);
  if (opened.connection == nullptr) {
    SetWinInetFailure(GetLastError(), report);
    return opened;
  }
  SetTimeouts(opened.connection, limits);
  const std::string object = std::string(path[0] ? path : "/") + extra;
  const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;
  opened.request = HttpOpenRequestA(opened.connection, "GET", object.c_str(), nullptr, nullptr,
                                    nullptr, flags | secure, 0);
  if (opened.request != nullptr) SetTimeouts(opened.request, limits);
  if (opened.request == nullptr ||
      !HttpSendRequestA(opened.request, kAcceptEncoding, static_cast<DWORD>(-1), nullptr, 0)) {
    SetWinInetFailure(GetLastError(), report);  // read before closing resets it
    Close(opened);
  }
  return opened;
}

// Opens the address and follows up to kMaxRedirects redirects to http or https addresses. A
// redirect status without a Location is a complete answer, as any other status is.
// WinINet's own redirect handling has no limit under every implementation, so a redirect loop
// could hold the host's thread for ever; this one ends it, like the time limit.
OpenedUrl OpenFollowingRedirects(HINTERNET session, const char* url, const DownloadLimits& limits,
                                 ULONGLONG started, DownloadReport& report) {
  constexpr int kMaxRedirects = 10;
  std::string current = url;
  for (int redirects = 0;; ++redirects) {
    OpenedUrl opened = OpenOnce(session, current, limits, report);
    if (opened.request == nullptr || !IsRedirect(opened.request)) return opened;
    const std::optional<std::string> location = Location(opened.request);
    if (!location) return opened;
    std::string next = RedirectTarget(current, *location);
    Close(opened);
    if (next.empty()) report.failure = "redirect to a non-http address";
    if (redirects == kMaxRedirects) report.failure = "too many redirects";
    if (TimeIsUp(limits, started)) SetTimeLimitReached(limits, report);
    if (!report.failure.empty()) return opened;
    current = std::move(next);
  }
}

}  // namespace

std::string HostAgentName() {
  char path[261] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(WindowsFileNamePart(std::string_view(path, length), [](unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
  }));
}

std::optional<std::string> DownloadFeed(const char* url, const DownloadLimits& limits,
                                        DownloadReport* report) {
  const ULONGLONG started = GetTickCount64();
  DownloadReport ignored;
  DownloadReport& said = report != nullptr ? *report : ignored;
  bool complete = false;
  std::string body;
  OpenedUrl opened;
  HINTERNET session = nullptr;
  try {
    const std::string agent = HostAgentName();
    session = InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (session == nullptr) {
      SetWinInetFailure(GetLastError(), said);
      return std::nullopt;
    }
    SetTimeouts(session, limits);
    opened = OpenFollowingRedirects(session, url, limits, started, said);
    if (opened.request != nullptr) {
      said.httpStatus = static_cast<long>(StatusCode(opened.request));
      complete = ReadBody(opened.request, limits, started, body, said);
    }
  } catch (...) {
    complete = false;  // out of memory: a failed transfer, with every handle still closed
    said.failure = "out of memory";  // short enough to need no allocation
  }
  Close(opened);
  if (session != nullptr) InternetCloseHandle(session);
  said.complete = complete;
  if (!complete && said.failure.empty()) said.failure = "download failed";
  if (!complete) return std::nullopt;
  return body;
}

}  // namespace feedline
