#include "download/file_address.h"

#include <curl/curl.h>
#include <strings.h>
#include <sys/stat.h>

namespace feedline {

bool NamesSpecialFile(const char* url) {
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return false;
  bool special = false;
  char* scheme = nullptr;
  char* path = nullptr;
  if (curl_url_set(parsed, CURLUPART_URL, url, 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
      strcasecmp(scheme, "file") == 0 &&
      curl_url_get(parsed, CURLUPART_PATH, &path, CURLU_URLDECODE) == CURLUE_OK) {
    struct stat info {};
    special = stat(path, &info) == 0 && !S_ISREG(info.st_mode);
  }
  curl_free(scheme);
  curl_free(path);
  curl_url_cleanup(parsed);
  return special;
}

}  // namespace feedline
