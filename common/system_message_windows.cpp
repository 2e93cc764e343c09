#include "common/system_message_windows.h"

namespace feedline {

std::string SystemMessage(DWORD error, HMODULE module) {
  char text[512] = {};
  const DWORD from = module != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : 0;
  const DWORD length =
      FormatMessageA(from | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, module,
                     error, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

std::string ErrorText(DWORD error) {
  const std::string words = SystemMessage(error);
  return "error " + std::to_string(error) + (words.empty() ? "" : " (" + words + ")");
}

}  // namespace feedline
