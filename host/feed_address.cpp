#include "host/feed_address.h"

#include <curl/curl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

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

// The local path a file: address names, decoded; nothing when it is no file: address.
std::optional<std::string> FilePath(const std::string& address) {
  const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), &curl_url_cleanup);
  char* scheme = nullptr;
  char* path = nullptr;
  std::optional<std::string> result;
  if (url && curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) == CURLUE_OK &&
      curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
      std::string(scheme) == "file" &&
      curl_url_get(url.get(), CURLUPART_PATH, &path, CURLU_URLDECODE) == CURLUE_OK) {
    result = path;
  }
  curl_free(scheme);
  curl_free(path);
  return result;
}

}  // namespace

std::optional<std::string> FeedAddress(const std::string& typed, std::string& error) {
  if (HasScheme(typed)) {
    // A FIFO or a device would block the plug-in's download; a missing file is only a failed
    // download (it may appear later).
    struct stat info {};
    const auto path = FilePath(typed);
    if (path && stat(path->c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
      error = "'" + typed + "' does not name a regular file";
      return std::nullopt;
    }
    return typed;
  }
  struct stat info {};
  if (stat(typed.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    error = "'" + typed + "' is not a regular file";
    return std::nullopt;
  }
  if (stat(typed.c_str(), &info) == 0) {
    char* absolute = realpath(typed.c_str(), nullptr);
    if (absolute != nullptr) {
      auto url = FileUrl(absolute);
      std::free(absolute);
      if (url) return url;
    }
  }
  error = "'" + typed + "' is neither an address (http://..., https://..., file://...) nor a file";
  return std::nullopt;
}

}  // namespace feedline::host
