// Feed download over WinINet.
#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "download/agent_name.h"
#include "download/body_inflater.h"
#include "download/download_feed.h"
#include "download/wininet_address.h"
#include "download/wininet_failure.h"
#include "download/wininet_handle.h"
#include "download/wininet_watchdog.h"

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

// Says that the transfer took longer than its limit.
void SetTimeLimitReached(const DownloadLimits& limits, DownloadReport& report) {
  report.failure = DownloadFailure::TimeLimitReached;
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
  const auto fail = [&report, &limits](DownloadFailure failure, std::string detail = {}) {
    report.failure = failure;
    report.sizeLimit = limits.maxDocumentBytes;
    report.detail = std::move(detail);
    return false;
  };
  const auto failLastCall = [&report] {
    SetWinInetFailure(GetLastError(), report);
    return false;
  };
  const Encoding encoding = BodyEncoding(request);
  if (encoding == Encoding::Unknown) return fail(DownloadFailure::BodyNotDecoded, "unknown Content-Encoding");
  std::optional<BodyInflater> inflater;
  if (encoding == Encoding::Compressed) inflater.emplace();
  const long long announced = AnnouncedLength(request);  // bytes on the wire
  if (announced > static_cast<long long>(limits.maxDocumentBytes)) return fail(DownloadFailure::TooLarge);
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
        return fail(inflater->OverLimit() ? DownloadFailure::TooLarge
                                          : DownloadFailure::BodyNotDecoded);
      }
    } else {
      if (body.size() + read > limits.maxDocumentBytes) return fail(DownloadFailure::TooLarge);
      body.append(buffer, read);
    }
    if (TimeIsUp(limits, started)) {
      SetTimeLimitReached(limits, report);
      return false;
    }
  }
  // WinINet ends a body cut off by a dropped connection like a complete one.
  if (announced >= 0 && received != static_cast<unsigned long long>(announced)) {
    return fail(DownloadFailure::BodyShorterThanAnnounced,
                std::to_string(received) + " of " + std::to_string(announced) + " bytes");
  }
  if (inflater && !inflater->Finished()) return fail(DownloadFailure::BodyNotDecoded, "cut off");
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
// any other), empty when it is there but cannot be read. Sized from the answer, so a long
// Location is read whole.
std::optional<std::string> Location(HINTERNET request) {
  DWORD size = 0;
  if (HttpQueryInfoA(request, HTTP_QUERY_LOCATION, nullptr, &size, nullptr)) return std::string();
  if (GetLastError() == ERROR_HTTP_HEADER_NOT_FOUND) return std::nullopt;
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::string();
  std::string location(size + 1, '\0');
  size = static_cast<DWORD>(location.size());
  if (!HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location.data(), &size, nullptr)) {
    return std::string();
  }
  location.resize(size);
  return location;
}

// A request and the connection handle it belongs to; the request closes first, after the
// watchdog stops watching it.
struct OpenedUrl {
  WinInetWatchdog* watchdog = nullptr;
  WinInetHandle connection;
  WinInetHandle request;

  OpenedUrl() = default;
  OpenedUrl(OpenedUrl&& other) noexcept
      : watchdog(std::exchange(other.watchdog, nullptr)),
        connection(std::move(other.connection)),
        request(std::move(other.request)) {}
  // Swaps: `other` closes what this held.
  OpenedUrl& operator=(OpenedUrl&& other) noexcept {
    std::swap(watchdog, other.watchdog);
    connection = std::move(other.connection);
    request = std::move(other.request);
    return *this;
  }
  ~OpenedUrl() {
    if (watchdog != nullptr && request) watchdog->Unwatch(request.get());
  }

  // Has the watchdog watch the request, which may block from now on.
  void Watch(WinInetWatchdog& by) {
    watchdog = &by;
    watchdog->Watch(request.get());
  }
};

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// Opens an HTTP(S) address through a connection and a request handle of its own, so that the
// time limits are set on them before the request is sent: not every WinINet passes the
// session's receive limit on to the wait for the response (under Wine a silent server otherwise
// holds the call for ever).
OpenedUrl OpenWeb(HINTERNET session, const AddressParts& address, const DownloadLimits& limits,
                  WinInetWatchdog& watchdog, DownloadReport& report) {
  OpenedUrl opened;
  opened.connection = WinInetHandle(
      InternetConnectA(session, address.host.c_str(), address.port, OrNull(address.user),
                       OrNull(address.password), INTERNET_SERVICE_HTTP, 0, 0));
  if (!opened.connection) {
    SetWinInetFailure(GetLastError(), report);
    return {};
  }
  SetTimeouts(opened.connection.get(), limits);
  const DWORD secure = address.scheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;
  opened.request = WinInetHandle(HttpOpenRequestA(
      opened.connection.get(), "GET", address.object.c_str(), nullptr, nullptr, nullptr,
      kOpenFlags | INTERNET_FLAG_NO_AUTO_REDIRECT | secure, 0));
  if (opened.request) {
    SetTimeouts(opened.request.get(), limits);
    opened.Watch(watchdog);
  }
  if (!opened.request || !HttpSendRequestA(opened.request.get(), kAcceptEncoding,
                                           static_cast<DWORD>(-1), nullptr, 0)) {
    SetWinInetFailure(GetLastError(), report);  // read before closing resets it
    return {};
  }
  return opened;
}

// Opens an FTP address through a connection of its own with the time limits set on it, then
// the file in binary mode.
OpenedUrl OpenFtp(HINTERNET session, const AddressParts& address, const DownloadLimits& limits,
                  WinInetWatchdog& watchdog, DownloadReport& report) {
  OpenedUrl opened;
  opened.connection = WinInetHandle(
      InternetConnectA(session, address.host.c_str(), address.port, OrNull(address.user),
                       OrNull(address.password), INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0));
  if (opened.connection) {
    SetTimeouts(opened.connection.get(), limits);
    opened.request = WinInetHandle(FtpOpenFileA(opened.connection.get(), address.object.c_str(),
                                                GENERIC_READ,
                                                FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD, 0));
    if (opened.request) opened.Watch(watchdog);
  }
  if (!opened.request) {
    SetWinInetFailure(GetLastError(), report);
    return {};
  }
  return opened;
}

// Opens one address without following redirects: HTTP, HTTPS and FTP, each through handles
// whose time limits are set before anything is sent. Every other address is refused rather
// than opened on a path without those limits. When it fails, `report` says why.
OpenedUrl OpenOnce(HINTERNET session, const std::string& url, const DownloadLimits& limits,
                   WinInetWatchdog& watchdog, DownloadReport& report) {
  // The fragment is the reader's, never sent to the server.
  const std::optional<AddressParts> address = CrackAddress(url.substr(0, url.find('#')));
  if (!address) {
    report.failure = DownloadFailure::AddressNotValid;
    return {};
  }
  switch (address->scheme) {
    case INTERNET_SCHEME_HTTP:
    case INTERNET_SCHEME_HTTPS:
      return OpenWeb(session, *address, limits, watchdog, report);
    case INTERNET_SCHEME_FTP:
      return OpenFtp(session, *address, limits, watchdog, report);
    default:
      report.failure = DownloadFailure::AddressNotSupported;
      return {};
  }
}

// Opens the address and follows up to kMaxRedirects redirects to http or https addresses. A
// redirect status without a Location is a complete answer, as any other status is.
// WinINet's own redirect handling has no limit under every implementation, so a redirect loop
// could hold the host's thread for ever; this one ends it, like the time limit.
OpenedUrl OpenFollowingRedirects(HINTERNET session, const char* url, const DownloadLimits& limits,
                                 ULONGLONG started, WinInetWatchdog& watchdog,
                                 DownloadReport& report) {
  constexpr int kMaxRedirects = 10;
  std::string current = url;
  for (int redirects = 0;; ++redirects) {
    OpenedUrl opened = OpenOnce(session, current, limits, watchdog, report);
    if (!opened.request || !IsRedirect(opened.request.get())) return opened;
    const std::optional<std::string> location = Location(opened.request.get());
    if (!location) return opened;
    std::string next = RedirectTarget(current, *location);
    opened = {};
    if (next.empty() || location->size() > kMaxLocationBytes) {
      report.failure = DownloadFailure::RedirectNotValid;
    } else if (!IsWebAddress(next)) {
      report.failure = DownloadFailure::RedirectNotHttp;
    }
    if (redirects == kMaxRedirects) report.failure = DownloadFailure::TooManyRedirects;
    if (TimeIsUp(limits, started)) SetTimeLimitReached(limits, report);
    if (report.failure != DownloadFailure::None) return {};
    current = std::move(next);
  }
}

// Opens `url` and reads its body through `session`; nothing when the transfer failed.
std::optional<std::string> Transfer(HINTERNET session, const char* url,
                                    const DownloadLimits& limits, ULONGLONG started,
                                    WinInetWatchdog& watchdog, DownloadReport& report) {
  const OpenedUrl opened =
      OpenFollowingRedirects(session, url, limits, started, watchdog, report);
  if (!opened.request) return std::nullopt;
  report.httpStatus = static_cast<long>(StatusCode(opened.request.get()));
  std::string body;
  if (!ReadBody(opened.request.get(), limits, started, body, report)) return std::nullopt;
  return body;
}

// Downloads `url` with a session of its own, which a watchdog closes at the deadline; nothing
// when the transfer failed.
std::optional<std::string> Download(const char* url, const DownloadLimits& limits,
                                    ULONGLONG started, DownloadReport& report) {
  const std::string agent = HostAgentName();
  WinInetHandle session(
      InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) {
    SetWinInetFailure(GetLastError(), report);
    return std::nullopt;
  }
  SetTimeouts(session.get(), limits);
  std::optional<std::string> body;
  bool fired = false;
  {
    WinInetWatchdog watchdog(session.get(), RemainingMs(limits, started));
    // The connection and request handles close inside Transfer, before the watchdog stops.
    body = Transfer(session.get(), url, limits, started, watchdog, report);
    watchdog.Stop();
    fired = watchdog.Fired();
    if (fired) session.Release();  // the watchdog closed it
  }
  // A wait that ended at the deadline ends in whatever error WinINet gives a closed or timed
  // out handle (Wine's is "connection aborted"); it is the time limit that ended it.
  if (!body && (fired || TimeIsUp(limits, started))) SetTimeLimitReached(limits, report);
  return body;
}

enum : LONG { kRunning, kFinished, kAbandoned };

// One download handed to a thread of its own, shared by the caller and that thread: whichever
// lets go last frees it.
struct DownloadJob {
  LONG references = 2;
  std::string url;
  DownloadLimits limits;
  ULONGLONG started = 0;
  std::optional<std::string> body;
  DownloadReport report;
  HANDLE done = nullptr;
  LONG state = kRunning;
};

// Downloads still running whose callers gave up on them at the deadline.
LONG g_abandoned = 0;

void Release(DownloadJob* job) {
  if (InterlockedDecrement(&job->references) != 0) return;
  if (job->done != nullptr) CloseHandle(job->done);
  delete job;
}

// Runs `job` to its end; out of memory is a failed transfer.
void RunJob(DownloadJob& job) {
  try {
    job.body = Download(job.url.c_str(), job.limits, job.started, job.report);
  } catch (...) {
    job.body.reset();
    job.report.failure = DownloadFailure::OutOfMemory;
  }
}

// The download thread. It holds a reference to this module, so that a host that unloads the
// plug-in while a download it gave up on still runs unloads it only when that download ends.
DWORD WINAPI DownloadThread(void* parameter) {
  auto* job = static_cast<DownloadJob*>(parameter);
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                     reinterpret_cast<LPCSTR>(&DownloadThread), &self);
  RunJob(*job);
  // A job its caller gave up on is one fewer running on.
  if (InterlockedCompareExchange(&job->state, kFinished, kRunning) == kAbandoned) {
    InterlockedDecrement(&g_abandoned);
  }
  SetEvent(job->done);
  Release(job);
  if (self != nullptr) FreeLibraryAndExitThread(self, 0);
  return 0;
}

// Downloads on a thread of its own and waits at most to the deadline (and a second's grace for
// the watchdog's close to take effect). Wine's WinINet keeps a blocking call on a closed
// handle going as long as its server trickles, so the caller, the host's thread, must not wait
// on it: it gives the download up as over its time limit, and at most one such download runs
// on; while it does, a new download fails at once rather than start another thread.
std::optional<std::string> DownloadWithin(const char* url, const DownloadLimits& limits,
                                          ULONGLONG started, DownloadReport& report) {
  if (InterlockedCompareExchange(&g_abandoned, 0, 0) > 0) {
    SetTimeLimitReached(limits, report);
    report.detail += "; an earlier download is still held by its server";
    return std::nullopt;
  }
  auto* job = new DownloadJob;
  job->url = url;
  job->limits = limits;
  job->started = started;
  job->done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = job->done == nullptr
                      ? nullptr
                      : CreateThread(nullptr, 0, &DownloadThread, job, 0, nullptr);
  if (thread == nullptr) {  // no thread to be had: download here, bounded by WinINet alone
    job->references = 1;
    RunJob(*job);
    std::optional<std::string> body = std::move(job->body);
    report = std::move(job->report);
    Release(job);
    return body;
  }
  const DWORD wait = RemainingMs(limits, started) + 1000;
  std::optional<std::string> body;
  bool finished = WaitForSingleObject(job->done, wait) == WAIT_OBJECT_0;
  if (!finished) {
    // Counted first, so that the thread, should it finish now, never counts below zero.
    InterlockedIncrement(&g_abandoned);
    finished = InterlockedCompareExchange(&job->state, kAbandoned, kRunning) != kRunning;
    if (finished) {
      InterlockedDecrement(&g_abandoned);
      WaitForSingleObject(job->done, INFINITE);  // it is setting `done` now
    }
  }
  if (finished) {
    body = std::move(job->body);
    report = std::move(job->report);
  } else {
    SetTimeLimitReached(limits, report);
  }
  Release(job);
  // A finished thread is about to give back its module reference: waited for, so that a host
  // that unloads the plug-in right after this call really unloads it.
  if (finished) WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return body;
}

}  // namespace

std::optional<std::string> DownloadFeed(const char* url, const DownloadLimits& limits,
                                        DownloadReport* report) {
  const ULONGLONG started = GetTickCount64();
  DownloadReport ignored;
  DownloadReport& said = report != nullptr ? *report : ignored;
  std::optional<std::string> body;
  try {
    body = DownloadWithin(url, limits, started, said);
  } catch (...) {
    // Out of memory: a failed transfer; the handles closed on the way out.
    body.reset();
    said.failure = DownloadFailure::OutOfMemory;  // a kind, so saying it allocates nothing
  }
  said.complete = body.has_value();
  if (!body && said.failure == DownloadFailure::None) said.failure = DownloadFailure::Other;
  return body;
}

}  // namespace feedline
