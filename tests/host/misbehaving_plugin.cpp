// A plug-in of another make that misbehaves as FEEDLINE_TEST_MISBEHAVIOUR says: "null-init"
// (init and getparam return no text), "null-line" (FetchRSS returns no text) or "throw"
// (FetchRSS throws). Otherwise it shows one item.
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {
bool Misbehaves(const char* how) {
  const char* mode = std::getenv("FEEDLINE_TEST_MISBEHAVIOUR");
  return mode != nullptr && std::strcmp(mode, how) == 0;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) const char* init() {
  return Misbehaves("null-init") ? nullptr : "FetchRSS";
}

extern "C" __attribute__((visibility("default"))) const char* getparam(const char*) {
  return Misbehaves("null-init") ? nullptr : "RSS Feed URL|";
}

extern "C" __attribute__((visibility("default"))) const char* FetchRSS(const char*, const char*,
                                                                      const char*, const char*) {
  if (Misbehaves("null-line")) return nullptr;
  if (Misbehaves("throw")) throw std::runtime_error("the plug-in threw");
  return "item%lhttp://item";
}
