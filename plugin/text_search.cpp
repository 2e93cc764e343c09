#include "plugin/text_search.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace feedline {

#if defined(__SSE2__)

// Sixteen candidate positions at a time: a position is checked in full only where both the
// needle's first and its last byte stand in the right places. Unlike a byte-pair skip table,
// this keeps its speed on repetitive text such as a document of nothing but closing tags.
std::size_t FindBytes(std::string_view text, std::string_view needle) {
  const std::size_t n = needle.size();
  if (n == 0) return 0;
  if (n > text.size()) return std::string_view::npos;
  const char* haystack = text.data();
  const std::size_t lastStart = text.size() - n;  // the last position a match can start at
  std::size_t i = 0;
  if (n >= 2) {
    const __m128i first = _mm_set1_epi8(needle.front());
    const __m128i last = _mm_set1_epi8(needle.back());
    for (; i + 15 <= lastStart; i += 16) {
      const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i));
      const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i + n - 1));
      unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
          _mm_and_si128(_mm_cmpeq_epi8(starts, first), _mm_cmpeq_epi8(ends, last))));
      while (mask != 0) {
        const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
        if (std::memcmp(haystack + at + 1, needle.data() + 1, n - 2) == 0) return at;
        mask &= mask - 1;
      }
    }
  }
  for (; i <= lastStart; ++i) {
    if (haystack[i] == needle.front() && std::memcmp(haystack + i, needle.data(), n) == 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

#else

std::size_t FindBytes(std::string_view text, std::string_view needle) { return text.find(needle); }

#endif

}  // namespace feedline
