#pragma once

#include <cstddef>
#include <string>

// A string from a literal that may hold zero bytes, all of them kept.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}
