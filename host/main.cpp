// feedline-host: loads the plug-in as a display host does and prints its rotating line.
#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_options.h"

namespace {

using InitFn = const char* (*)();
using GetParamFn = const char* (*)(const char*);
using FetchFn = const char* (*)(const char*, const char*, const char*, const char*);

volatile sig_atomic_t g_stop = 0;

void OnStopSignal(int) { g_stop = 1; }

std::string DefaultPluginPath() {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "feedline.so";
  std::string path(self, static_cast<size_t>(length));
  const auto slash = path.rfind('/');
  // The build tree puts the host in host/ and the plug-in one level up.
  const std::string dir = path.substr(0, slash);
  for (const char* candidate : {"/feedline.so", "/../plugin/feedline.so"}) {
    const std::string full = dir + candidate;
    if (access(full.c_str(), R_OK) == 0) return full;
  }
  return dir + "/feedline.so";
}

// "title%llink" shown as "title  <link>"; the exact bytes with --raw.
void PrintLine(const char* line, bool raw) {
  const std::string_view text(line);
  const auto marker = text.find("%l");
  if (raw || marker == std::string_view::npos) {
    std::printf("%s\n", line);
    return;
  }
  const std::string_view title = text.substr(0, marker);
  const std::string_view link = text.substr(marker + 2);
  if (link.empty()) {
    std::printf("%.*s\n", static_cast<int>(title.size()), title.data());
  } else {
    std::printf("%.*s  <%.*s>\n", static_cast<int>(title.size()), title.data(),
                static_cast<int>(link.size()), link.data());
  }
}

void SleepSeconds(double seconds) {
  timespec wait{static_cast<time_t>(seconds),
                static_cast<long>((seconds - std::floor(seconds)) * 1e9)};
  while (!g_stop && nanosleep(&wait, &wait) == -1 && errno == EINTR) {
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  std::string error;
  const auto options = feedline::host::ParseHostOptions(
      std::vector<std::string>(argv + 1, argv + argc), FEEDLINE_SAMPLE_FEED, error);
  if (!options) {
    std::fprintf(stderr, "feedline-host: %s\n", error.c_str());
    return 2;
  }
  if (options->help) {
    std::fputs(feedline::host::kUsage, stdout);
    return 0;
  }

  const std::string pluginPath = options->plugin.empty() ? DefaultPluginPath() : options->plugin;
  void* plugin = dlopen(pluginPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (plugin == nullptr) {
    std::fprintf(stderr, "feedline-host: cannot load %s: %s\n", pluginPath.c_str(), dlerror());
    return 1;
  }
  auto init = reinterpret_cast<InitFn>(dlsym(plugin, "init"));
  auto getparam = reinterpret_cast<GetParamFn>(dlsym(plugin, "getparam"));
  auto fetch = reinterpret_cast<FetchFn>(dlsym(plugin, "FetchRSS"));
  if (init == nullptr || getparam == nullptr || fetch == nullptr) {
    std::fprintf(stderr, "feedline-host: %s does not offer init, getparam and FetchRSS\n",
                 pluginPath.c_str());
    dlclose(plugin);
    return 1;
  }

  const char* functions = init();
  const char* labels = getparam("FetchRSS");
  if (options->describe) {
    std::printf("functions: %s\nFetchRSS parameters: %s\n", functions, labels);
    dlclose(plugin);
    return 0;
  }

  struct sigaction stop {};
  stop.sa_handler = OnStopSignal;
  sigaction(SIGINT, &stop, nullptr);
  sigaction(SIGTERM, &stop, nullptr);

  std::string shown;
  bool first = true;
  while (!g_stop) {
    const char* line = fetch(options->url.c_str(), options->count.c_str(),
                             options->updateMinutes.c_str(), options->rotateSeconds.c_str());
    if (first || shown != line) {
      shown = line;
      first = false;
      PrintLine(line, options->raw);
    }
    if (options->once) break;
    SleepSeconds(options->pollSeconds);
  }
  dlclose(plugin);
  return 0;
}
