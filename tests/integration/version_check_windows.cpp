// Reads the version resource of the file named on the command line with GetFileVersionInfoA and
// VerQueryValueA, and checks every field a Windows user sees, the original file name against the
// second argument. Exit code 0 when all match.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

// One text of the resource's US English, Unicode string table; nothing when it is missing.
std::optional<std::string> StringValue(std::vector<char>& info, const std::string& key) {
  const std::string path = "\\StringFileInfo\\040904B0\\" + key;
  char* text = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) ||
      text == nullptr) {
    return std::nullopt;
  }
  return std::string(text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(argv[1], &ignored);
  std::vector<char> info(size);
  if (size == 0 || !GetFileVersionInfoA(argv[1], 0, size, info.data())) {
    std::printf("no version resource in %s\n", argv[1]);
    return 1;
  }
  // The fields with a fixed value, then those that must merely be there (empty: any text).
  const std::string expected[][2] = {{"FileVersion", FEEDLINE_VERSION},
                                      {"ProductVersion", FEEDLINE_VERSION},
                                      {"ProductName", "feedline"},
                                      {"OriginalFilename", argv[2]},
                                      {"FileDescription", ""},
                                      {"LegalCopyright", ""}};
  int failures = 0;
  for (const auto& [key, value] : expected) {
    const std::optional<std::string> actual = StringValue(info, key);
    std::printf("%s: %s\n", key.c_str(), actual ? actual->c_str() : "<missing>");
    if (!actual || actual->empty() || (!value.empty() && *actual != value)) ++failures;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
      fixed->dwSignature != 0xFEEF04BD) {
    std::printf("no fixed file information\n");
    ++failures;
  }
  return failures == 0 ? 0 : 1;
}
