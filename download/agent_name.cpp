#include "download/agent_name.h"

namespace feedline {

std::string_view WindowsFileNamePart(std::string_view path, bool (*isLeadByte)(unsigned char)) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (byte == '\\' || byte == ':') {
      start = i + 1;
    } else if (isLeadByte(byte)) {
      ++i;  // the trail byte belongs to this character and never separates
    }
  }
  return path.substr(start);
}

}  // namespace feedline
