#include "download/agent_name.h"

#include "common/executable_path.h"

namespace feedline {

std::string HostAgentName() {
  const std::string path = ExecutablePath();
  return path.substr(path.rfind('/') + 1);
}

}  // namespace feedline
