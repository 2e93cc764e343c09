#include <windows.h>

#include "download/agent_name.h"

namespace feedline {

std::string HostAgentName() {
  char path[261] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(WindowsFileNamePart(std::string_view(path, length), [](unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
  }));
}

}  // namespace feedline
