#include "plugin/text_search.h"

#include <cstring>

namespace feedline {

std::size_t FindBytes(std::string_view text, std::string_view needle) {
#if defined(__GLIBC__)
  // glibc's memmem skips ahead on long haystacks far faster than a first-byte scan.
  const void* hit = memmem(text.data(), text.size(), needle.data(), needle.size());
  return hit == nullptr ? std::string_view::npos
                        : static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
#else
  return text.find(needle);
#endif
}

}  // namespace feedline
