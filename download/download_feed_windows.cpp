// Feed download over WinINet.
#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <string>

#include "download/agent_name.h"
#include "download/download_feed.h"

namespace feedline {
namespace {

// Reload from the server, keep nothing in the local cache, send "Pragma: no-cache".
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                             INTERNET_FLAG_HYPERLINK | INTERNET_FLAG_PRAGMA_NOCACHE;
static_assert(kOpenFlags == 0x84000500);

constexpr DWORD kReadBufferBytes = 1024;

void SetTimeouts(HINTERNET session) {
  DWORD connect = kConnectTimeoutSeconds * 1000;
  DWORD transfer = kTransferTimeoutSeconds * 1000;
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

// Reads the whole body into `body`; false on a failed read, a cut-off body, a body over the
// size limit or a transfer longer than the time limit.
bool ReadBody(HINTERNET request, std::string& body) {
  const ULONGLONG started = GetTickCount64();
  const long long announced = AnnouncedLength(request);
  if (announced > static_cast<long long>(kMaxDocumentBytes)) return false;
  if (announced > 0) body.reserve(static_cast<size_t>(announced));
  char buffer[kReadBufferBytes];
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(request, buffer, sizeof buffer, &read)) return false;
    if (read == 0) break;
    if (body.size() + read > kMaxDocumentBytes) return false;
    body.append(buffer, read);
    if (GetTickCount64() - started > kTransferTimeoutSeconds * 1000ull) return false;
  }
  // WinINet ends a body cut off by a dropped connection like a complete one.
  return announced < 0 || body.size() == static_cast<unsigned long long>(announced);
}

}  // namespace

std::string HostAgentName() {
  char path[261] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(WindowsFileNamePart(std::string_view(path, length), [](unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
  }));
}

bool DownloadFeed(const char* url, FeedCache& cache) {
  const std::string agent = HostAgentName();
  HINTERNET session =
      InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (session == nullptr) return false;
  SetTimeouts(session);
  bool complete = false;
  std::string body;
  HINTERNET request = InternetOpenUrlA(session, url, nullptr, 0, kOpenFlags, 0);
  if (request != nullptr) {
    try {
      complete = ReadBody(request, body);
    } catch (...) {
      complete = false;  // out of memory: a failed transfer, with both handles still closed
    }
    InternetCloseHandle(request);
  }
  InternetCloseHandle(session);
  if (complete) cache.Replace(std::move(body));
  return complete;
}

}  // namespace feedline
