// Feed download over libcurl.
#include <curl/curl.h>
#include <signal.h>
#include <strings.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

#include "download/agent_name.h"
#include "download/download_feed.h"
#include "download/file_address.h"
#include "common/sigpipe_guard.h"

namespace feedline {
namespace {

// A transfer in progress: the body so far, and the handle to ask for its announced size.
struct Transfer {
  CURL* handle;
  std::uint64_t maxBytes;
  std::string body;
  bool sized = false;
  bool overLimit = false;
  bool locationTooLong = false;  // a redirect's Location past kMaxLocationBytes
};

// Ends a redirect whose Location is longer than the Windows build can read whole, so that both
// builds treat it alike.
size_t CheckHeader(char* data, size_t size, size_t count, void* userdata) {
  auto& transfer = *static_cast<Transfer*>(userdata);
  const std::string_view line(data, size * count);
  constexpr std::string_view kName = "location:";
  if (line.size() > kName.size() && strncasecmp(line.data(), kName.data(), kName.size()) == 0) {
    std::string_view value = line.substr(kName.size());
    value.remove_prefix(std::min(value.find_first_not_of(" \t"), value.size()));
    value = value.substr(0, value.find_last_not_of("\r\n") + 1);
    long status = 0;
    curl_easy_getinfo(transfer.handle, CURLINFO_RESPONSE_CODE, &status);
    const bool redirect = status == 301 || status == 302 || status == 303 || status == 307 ||
                          status == 308;
    if (redirect && value.size() > kMaxLocationBytes) {
      transfer.locationTooLong = true;
      return 0;  // aborts the transfer
    }
  }
  return size * count;
}

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
  if (transfer.body.size() + bytes > transfer.maxBytes) {
    transfer.overLimit = true;
    return 0;  // aborts the transfer
  }
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

// The easy handle and the header list, each released with its own function on every path.
struct CurlCleanup {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct HeaderListCleanup {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHandle = std::unique_ptr<CURL, CurlCleanup>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListCleanup>;

bool CurlReady() {
  // Initialised on the first download only, and never torn down: the host may use libcurl too.
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

// Sets every option of the transfer. Options that carry policy (which protocols, redirects,
// limits, TLS verification) must take: an older libcurl that does not know one would otherwise
// run the transfer without it. Returns the name of the first option refused, or null.
const char* Configure(CURL* handle, const char* url, const std::string& agent,
                      curl_slist* headers, const DownloadLimits& limits, Transfer& transfer,
                      char* errorText, CURLcode& refusal) {
  const char* refused = nullptr;
  const auto policy = [&](const char* name, CURLcode result) {
    if (result != CURLE_OK && refused == nullptr) {
      refused = name;
      refusal = result;
    }
  };
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
  policy("CURLOPT_URL", curl_easy_setopt(handle, CURLOPT_URL, url));
  curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
  // Feeds are text and shrink several times compressed; libcurl decodes, so the write callback
  // (and with it the size limit) sees the document's own bytes.
  curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
  policy("CURLOPT_NOSIGNAL", curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L));
  policy("CURLOPT_PROTOCOLS_STR",
         curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps,file"));
  policy("CURLOPT_REDIR_PROTOCOLS_STR",
         curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
  policy("CURLOPT_FOLLOWLOCATION", curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L));
  policy("CURLOPT_MAXREDIRS", curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L));
  policy("CURLOPT_CONNECTTIMEOUT_MS",
         curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs));
  policy("CURLOPT_TIMEOUT_MS", curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS,
                                                limits.transferTimeoutMs));
  policy("CURLOPT_MAXFILESIZE_LARGE",
         curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE,
                          static_cast<curl_off_t>(limits.maxDocumentBytes)));
  policy("CURLOPT_SSL_VERIFYPEER", curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L));
  policy("CURLOPT_SSL_VERIFYHOST", curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L));
  // A fresh connection every time: nothing of an earlier download is reused.
  curl_easy_setopt(handle, CURLOPT_FRESH_CONNECT, 1L);
  curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, 512L * 1024);
  policy("CURLOPT_WRITEFUNCTION", curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &AppendBody));
  policy("CURLOPT_WRITEDATA", curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer));
  policy("CURLOPT_HEADERFUNCTION", curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &CheckHeader));
  policy("CURLOPT_HEADERDATA", curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer));
  return refused;
}

// What failed, as one kind; libcurl's own message is the detail.
DownloadFailure DescribeFailure(CURL* handle, CURLcode result, const Transfer& transfer,
                                const std::string& detail) {
  long osErrno = 0;
  long redirects = 0;
  curl_easy_getinfo(handle, CURLINFO_OS_ERRNO, &osErrno);
  curl_easy_getinfo(handle, CURLINFO_REDIRECT_COUNT, &redirects);
  switch (result) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return DownloadFailure::NameNotResolved;
    case CURLE_COULDNT_CONNECT:
      return osErrno == ECONNREFUSED ? DownloadFailure::ConnectionRefused
                                     : DownloadFailure::CouldNotConnect;
    case CURLE_OPERATION_TIMEDOUT:
      return DownloadFailure::TimeLimitReached;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
      if (detail.find("expired") != std::string::npos) return DownloadFailure::CertificateExpired;
      if (detail.find("subject name") != std::string::npos ||
          detail.find("does not match") != std::string::npos) {
        return DownloadFailure::CertificateForAnotherName;
      }
      return DownloadFailure::CertificateUntrusted;
    case CURLE_FILESIZE_EXCEEDED:
      return DownloadFailure::TooLarge;
    case CURLE_WRITE_ERROR:
      if (transfer.locationTooLong) return DownloadFailure::RedirectNotValid;
      return transfer.overLimit ? DownloadFailure::TooLarge : DownloadFailure::OutOfMemory;
    case CURLE_BAD_CONTENT_ENCODING:
      return DownloadFailure::BodyNotDecoded;
    case CURLE_UNSUPPORTED_PROTOCOL:
      // libcurl says this too of an answer without an HTTP status line ("HTTP/0.9").
      if (detail.find("HTTP/0.9") != std::string::npos) return DownloadFailure::NotHttpAnswer;
      return redirects > 0 ? DownloadFailure::RedirectNotHttp
                           : DownloadFailure::AddressNotSupported;
    case CURLE_WEIRD_SERVER_REPLY:
      return DownloadFailure::NotHttpAnswer;
    case CURLE_LOGIN_DENIED:
      return DownloadFailure::LoginRefused;
    case CURLE_URL_MALFORMAT:
      return DownloadFailure::AddressNotValid;
    case CURLE_TOO_MANY_REDIRECTS:
      return DownloadFailure::TooManyRedirects;
    case CURLE_SSL_CONNECT_ERROR:
      return DownloadFailure::TlsHandshakeFailed;
    case CURLE_PARTIAL_FILE:
      return DownloadFailure::BodyShorterThanAnnounced;
    default:
      return DownloadFailure::Other;
  }
}

// Fills `report` from the finished transfer.
void Describe(CURL* handle, CURLcode result, const Transfer& transfer, const char* errorText,
              DownloadReport& report) {
  report.complete = result == CURLE_OK;
  const char* scheme = nullptr;
  curl_easy_getinfo(handle, CURLINFO_SCHEME, &scheme);
  const bool web =
      scheme != nullptr && (strcasecmp(scheme, "http") == 0 || strcasecmp(scheme, "https") == 0);
  if (web) {
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &report.httpStatus);
    const char* contentType = nullptr;
    curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &contentType);
    if (contentType != nullptr) report.contentType = contentType;
  }
  curl_off_t received = 0;
  curl_easy_getinfo(handle, CURLINFO_SIZE_DOWNLOAD_T, &received);
  report.wireBytes = received > 0 ? static_cast<std::uint64_t>(received) : 0;
  if (report.complete) return;
  report.detail = errorText[0] != '\0' ? errorText : curl_easy_strerror(result);
  report.failure = DescribeFailure(handle, result, transfer, report.detail);
  report.sizeLimit = transfer.maxBytes;
}

}  // namespace

std::optional<std::string> DownloadFeed(const char* url, const DownloadLimits& limits,
                                        DownloadReport* report) {
  if (!CurlReady()) {
    if (report != nullptr) {
      report->failure = DownloadFailure::ClientNotStarted;
      report->detail = "libcurl could not be initialised";
    }
    return std::nullopt;
  }
  if (NamesSpecialFile(url)) {
    if (report != nullptr) report->failure = DownloadFailure::NotRegularFile;
    return std::nullopt;
  }
  const std::string agent = HostAgentName();
  const CurlHandle handle(curl_easy_init());
  if (!handle) {
    if (report != nullptr) {
      report->failure = DownloadFailure::ClientNotStarted;
      report->detail = "libcurl could not start a transfer";
    }
    return std::nullopt;
  }
  HeaderList headers(curl_slist_append(nullptr, "Pragma: no-cache"));
  curl_slist* both = headers ? curl_slist_append(headers.get(), "Cache-Control: no-cache") : nullptr;
  if (both == nullptr) {
    if (report != nullptr) report->failure = DownloadFailure::OutOfMemory;
    return std::nullopt;
  }
  Transfer transfer{handle.get(), limits.maxDocumentBytes, {}};
  char errorText[CURL_ERROR_SIZE] = {};
  CURLcode refusal = CURLE_OK;
  if (const char* refused = Configure(handle.get(), url, agent, both, limits, transfer, errorText,
                                      refusal)) {
    if (report != nullptr) {
      report->failure = DownloadFailure::OptionRefused;
      report->detail = std::string(refused) + ": " + curl_easy_strerror(refusal);
    }
    return std::nullopt;
  }
  CURLcode result;
  {
    SigpipeGuard guard;
    result = curl_easy_perform(handle.get());
  }
  if (report != nullptr) {
    try {
      Describe(handle.get(), result, transfer, errorText, *report);
    } catch (...) {
      // Out of memory for the words: the download's own result still stands.
    }
  }
  if (result != CURLE_OK) return std::nullopt;
  return std::move(transfer.body);
}

}  // namespace feedline
