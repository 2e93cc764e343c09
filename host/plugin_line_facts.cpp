#include "host/plugin_line_facts.h"

#include "plugin/exports.h"

namespace feedline::host {

std::optional<PluginLineFacts> ReadLineFacts(const feedline::PluginLibrary& plugin) {
  if (plugin.lineFacts == nullptr) return std::nullopt;
  const FeedlineLineFacts* facts = plugin.lineFacts();
  if (facts == nullptr || facts->encoding == nullptr || facts->titleKind == nullptr) {
    return std::nullopt;
  }
  const std::optional<TitleKind> kind = TitleKindNamed(facts->titleKind);
  if (!kind) return std::nullopt;
  PluginLineFacts copied;
  copied.text = {facts->encoding, *kind};
  if (facts->encodingSource != nullptr) copied.encodingSource = facts->encodingSource;
  if (facts->ignoredEncodings != nullptr) copied.ignoredEncodings = facts->ignoredEncodings;
  return copied;
}

}  // namespace feedline::host
