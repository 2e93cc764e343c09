#include "tests/integration/plugin_script.h"

#include <chrono>
#include <cstdio>
#include <memory>

#include "tests/integration/plugin_loader.h"
#include "tests/support/process_memory.h"

namespace feedline::test {
namespace {

// AddressSanitizer's quarantine holds freed memory back, so growth says nothing there;
// LeakSanitizer judges leaks in that build instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

std::string RunCycles(const std::string& pluginFile, int cycles, const char* url) {
  constexpr int kWarmUp = 20;
  long before = 0;
  for (int i = 0; i < kWarmUp + cycles; ++i) {
    if (i == kWarmUp) before = ProcessMemoryKiB();
    LoadedPlugin plugin(pluginFile);
    if (!plugin.Load()) return "load failed: " + plugin.Error();
    if (std::string(plugin.fetch(url, "5", "30", "0")).empty()) return "empty line";
    plugin.Unload();
    if (plugin.IsMapped()) return "still mapped";
  }
  const long grown = ProcessMemoryKiB() - before;
  return grown < 1024 || kSanitized ? "no growth" : "grew " + std::to_string(grown) + " KiB";
}

// A step's arguments as the texts they stand for; `Arg` gives the pointer passed.
struct Arguments {
  explicit Arguments(const Step& step) {
    for (std::size_t i = 1; i < step.size(); ++i) {
      texts.push_back(UnescapeWord(step[i]));
      isNull.push_back(step[i] == kNullWord);
    }
  }
  const char* Arg(std::size_t i) const { return isNull[i - 1] ? nullptr : texts[i - 1].c_str(); }
  std::vector<std::string> texts;
  std::vector<bool> isNull;
};

std::string RunStep(const std::string& pluginFile, std::unique_ptr<LoadedPlugin>& plugin,
                    const Step& step) {
  const std::string op = step.empty() ? std::string() : step[0];
  const Arguments args(step);
  if (op == "load") {
    plugin = std::make_unique<LoadedPlugin>(pluginFile);
    return plugin->Load() ? "loaded" : "load failed: " + plugin->Error();
  }
  if (op == "unload") {
    if (plugin) plugin->Unload();
    return plugin && plugin->IsMapped() ? "still mapped" : "unloaded";
  }
  if (op == "cycles" && step.size() == 3) {
    return RunCycles(pluginFile, std::stoi(args.texts[0]), args.Arg(2));
  }
  if (!plugin || plugin->fetch == nullptr) return "not loaded";
  if (op == "init" && step.size() == 1) {
    const char* first = plugin->init();
    return EscapeBytes(first) + (plugin->init() == first ? "" : " (pointer changed)");
  }
  if (op == "getparam" && step.size() == 2) return EscapeBytes(plugin->getparam(args.Arg(1)));
  if (op == "fetch" && step.size() == 5) {
    return EscapeBytes(plugin->fetch(args.Arg(1), args.Arg(2), args.Arg(3), args.Arg(4)));
  }
  if (op == "peak" && step.size() == 6) {
    ResetPeakMemory();
    const long before = ProcessMemoryKiB();
    const std::string line = plugin->fetch(args.Arg(2), args.Arg(3), args.Arg(4), args.Arg(5));
    const long grownMiB = (PeakMemoryKiB() - before) / 1024;
    if (!kSanitized && grownMiB > std::stol(args.texts[0])) {
      return "peak grew " + std::to_string(grownMiB) + " MiB";
    }
    return EscapeBytes(line);
  }
  if (op == "within" && step.size() == 6) {
    const auto start = std::chrono::steady_clock::now();
    const std::string line = plugin->fetch(args.Arg(2), args.Arg(3), args.Arg(4), args.Arg(5));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() > std::stod(args.texts[0])) {
      return "took " + std::to_string(static_cast<int>(took.count())) + " s";
    }
    return EscapeBytes(line);
  }
  return "bad step";
}

}  // namespace

std::vector<std::string> RunPluginScript(const std::string& pluginFile,
                                         const std::vector<Step>& steps) {
  std::unique_ptr<LoadedPlugin> plugin;
  std::vector<std::string> results;
  for (const Step& step : steps) results.push_back(RunStep(pluginFile, plugin, step));
  return results;
}

std::string UnescapeWord(const std::string& word) {
  if (word == kNullWord || word == "<empty>") return {};
  std::string text;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (word.compare(i, 2, "\\\\") == 0) {
      text += '\\';
      ++i;
    } else if (word.compare(i, 2, "\\x") == 0 && i + 3 < word.size()) {
      text += static_cast<char>(std::stoi(word.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      text += word[i];
    }
  }
  return text;
}

std::string EscapeBytes(const std::string& bytes) {
  std::string escaped;
  for (const unsigned char byte : bytes) {
    if (byte == '\\') {
      escaped += "\\\\";
    } else if (byte >= 0x20 && byte <= 0x7E) {
      escaped += static_cast<char>(byte);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      escaped += hex;
    }
  }
  return escaped;
}

}  // namespace feedline::test
