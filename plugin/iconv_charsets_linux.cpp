#include "plugin/iconv_charsets_linux.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace feedline {

bool IconvKnows(std::string_view name) {
  iconv_t converter = iconv_open("UTF-8", std::string(name).c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(converter);
  return true;
}

bool IsUtf8(std::string_view bytes) {
  iconv_t converter = iconv_open("UTF-8", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  char buffer[4096];
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  bool valid = true;
  while (inLeft > 0 && valid) {
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    valid = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1) ||
            errno == E2BIG;
  }
  iconv_close(converter);
  return valid;
}

}  // namespace feedline
