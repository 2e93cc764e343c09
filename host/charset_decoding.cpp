#include "host/charset_decoding.h"

#include <iconv.h>

#include <cerrno>

namespace feedline::host {

std::optional<std::string> DecodeToUtf8(std::string_view bytes, std::string_view encoding,
                                        bool cutShort) {
  iconv_t converter = iconv_open("UTF-8", std::string(encoding).c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outAt = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(converter, &in, &inLeft, &outAt, &outLeft);
    out.append(buffer, static_cast<size_t>(outAt - buffer));
    if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
    if (errno == EINVAL) {  // an incomplete sequence at the end
      if (!cutShort) out += "\uFFFD";
      break;
    }
    // EILSEQ: one byte is taken as the invalid one, and the reading starts again after it.
    out += "\uFFFD";
    ++in;
    --inLeft;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(converter);
  return out;
}

}  // namespace feedline::host
