#include "host/feed_address.h"

#include <curl/curl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

#include "download/file_address.h"
#include "plugin/download_outcome.h"

namespace feedline::host {
namespace {

// "scheme:" at the start: a letter, then letters, digits, "+", "-" or ".".
bool HasScheme(const std::string& text) {
  const auto colon = text.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const char c = text[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) {
      return false;
    }
  }
  return true;
}

std::optional<std::string> FileUrl(const std::string& absolutePath) {
  const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), &curl_url_cleanup);
  if (!url || curl_url_set(url.get(), CURLUPART_SCHEME, "file", 0) != CURLUE_OK ||
      curl_url_set(url.get(), CURLUPART_PATH, absolutePath.c_str(), CURLU_URLENCODE) !=
          CURLUE_OK) {
    return std::nullopt;
  }
  char* text = nullptr;
  if (curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK) return std::nullopt;
  std::string result(text);
  curl_free(text);
  return result;
}

}  // namespace

std::optional<std::string> FeedAddress(const std::string& typed, std::string& error) {
  // What the messages below show of it.
  const std::string shown = ShownAddress(typed);
  if (HasScheme(typed)) {
    // The plug-in would give up on it at every download: better said once, at start.
    if (NamesSpecialFile(typed.c_str())) {
      error = "'" + shown + "' does not name a regular file";
      return std::nullopt;
    }
    return typed;
  }
  struct stat info {};
  if (stat(typed.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) {
      error = "'" + shown + "' is not a regular file";
      return std::nullopt;
    }
    char* absolute = realpath(typed.c_str(), nullptr);
    if (absolute != nullptr) {
      auto url = FileUrl(absolute);
      std::free(absolute);
      if (url) return url;
    }
  }
  error = "'" + shown + "' is neither an address (http://..., https://..., file://...) nor a file";
  return std::nullopt;
}

}  // namespace feedline::host
