// Feed download over libcurl.
#include <curl/curl.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <ctime>
#include <string>

#include "download/agent_name.h"
#include "download/download_feed.h"

namespace feedline {
namespace {

// A transfer in progress: the body so far, and the handle to ask for its announced size.
struct Transfer {
  CURL* handle;
  std::uint64_t maxBytes;
  std::string body;
  bool sized = false;
};

// Lets the kernel back a large buffer with huge pages, so that filling it takes a few page
// faults instead of one per 4 KiB.
void AdviseHugePages(char* buffer, size_t bytes) {
  constexpr uintptr_t kHugePage = 2 * 1024 * 1024;
  if (bytes < 4 * kHugePage) return;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(buffer) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(buffer) + bytes) & ~(kHugePage - 1);
  madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

size_t AppendBody(char* data, size_t size, size_t count, void* userdata) {
  auto& transfer = *static_cast<Transfer*>(userdata);
  const size_t bytes = size * count;
  if (transfer.body.size() + bytes > transfer.maxBytes) return 0;  // aborts the transfer
  try {
    if (!transfer.sized) {
      // Reserving the announced size once avoids regrowing a large document.
      transfer.sized = true;
      curl_off_t announced = -1;
      curl_easy_getinfo(transfer.handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
      if (announced > 0 && static_cast<std::uint64_t>(announced) <= transfer.maxBytes) {
        transfer.body.reserve(static_cast<size_t>(announced));
        AdviseHugePages(transfer.body.data(), transfer.body.capacity());
      }
    }
    transfer.body.append(data, bytes);
  } catch (...) {
    return 0;  // out of memory: a failed transfer
  }
  return bytes;
}

// Keeps a SIGPIPE raised by the TLS library on a closed connection away from the host: blocked
// during the transfer, consumed if it arrived, and the caller's mask restored.
class SigpipeGuard {
 public:
  SigpipeGuard() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &saved_);
  }
  ~SigpipeGuard() {
    sigset_t pending;
    sigpending(&pending);
    if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
      const timespec noWait{0, 0};
      sigtimedwait(&pipe_, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
  }
  SigpipeGuard(const SigpipeGuard&) = delete;
  SigpipeGuard& operator=(const SigpipeGuard&) = delete;

 private:
  sigset_t pipe_{};
  sigset_t saved_{};
  bool wasPending_ = false;
};

bool CurlReady() {
  // Initialised on the first download only, and never torn down: the host may use libcurl too.
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

void Configure(CURL* handle, const char* url, const std::string& agent, curl_slist* headers,
               const DownloadLimits& limits, Transfer& transfer) {
  curl_easy_setopt(handle, CURLOPT_URL, url);
  curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
  // Feeds are text and shrink several times compressed; libcurl decodes, so the write callback
  // (and with it the size limit) sees the document's own bytes.
  curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps,file");
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, limits.transferTimeoutMs);
  curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE,
                   static_cast<curl_off_t>(limits.maxDocumentBytes));
  // A fresh connection every time: nothing of an earlier download is reused.
  curl_easy_setopt(handle, CURLOPT_FRESH_CONNECT, 1L);
  curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, 512L * 1024);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &AppendBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
}

}  // namespace

std::string HostAgentName() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0) return {};
  const std::string_view full(path, static_cast<size_t>(length));
  return std::string(full.substr(full.rfind('/') + 1));
}

std::optional<std::string> DownloadFeed(const char* url, const DownloadLimits& limits) {
  if (!CurlReady()) return std::nullopt;
  const std::string agent = HostAgentName();
  CURL* handle = curl_easy_init();
  if (handle == nullptr) return std::nullopt;
  curl_slist* headers = curl_slist_append(nullptr, "Pragma: no-cache");
  curl_slist* both = headers ? curl_slist_append(headers, "Cache-Control: no-cache") : nullptr;
  if (both == nullptr) {
    curl_slist_free_all(headers);
    curl_easy_cleanup(handle);
    return std::nullopt;
  }
  Transfer transfer{handle, limits.maxDocumentBytes, {}};
  Configure(handle, url, agent, both, limits, transfer);
  CURLcode result;
  {
    SigpipeGuard guard;
    result = curl_easy_perform(handle);
  }
  curl_easy_cleanup(handle);
  curl_slist_free_all(both);
  if (result != CURLE_OK) return std::nullopt;
  return std::move(transfer.body);
}

}  // namespace feedline
