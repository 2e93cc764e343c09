#include "bench/feed_documents.h"

namespace feedline::bench {
namespace {

std::string Repeat(const std::string& unit, std::size_t bytes) {
  std::string text;
  text.reserve(bytes + unit.size());
  while (text.size() < bytes) text += unit;
  return text;
}

std::string Item(std::size_t n, bool closed) {
  const std::string id = std::to_string(n);
  return "<item>\n<title>Council reviews plan " + id + " for the harbour district" +
         (closed ? "</title>" : "") + "\n<link>https://news.example.org/2026/12/story-" + id +
         (closed ? "</link>" : "") +
         "\n<description>Residents were invited to comment on the proposal before the "
         "vote next week; the council expects a decision in the new year.</description>\n"
         "<pubDate>Thu, 10 Dec 2026 08:00:00 GMT</pubDate>\n"
         "<guid>https://news.example.org/2026/12/story-" +
         id + "</guid>\n</item>\n";
}

std::string Items(std::size_t bytes, bool closed) {
  std::string text =
      "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel>\n<title>Bench News</title>\n"
      "<link>https://news.example.org/</link>\n";
  text.reserve(bytes + 512);
  for (std::size_t n = 1; text.size() < bytes; ++n) text += Item(n, closed);
  return text + "</channel></rss>\n";
}

}  // namespace

std::string RealisticFeed(std::size_t bytes) { return Items(bytes, true); }

std::string ClosingTagsOnly(std::size_t bytes) { return Repeat("</item>", bytes); }

std::string NoTags(std::size_t bytes) {
  return Repeat("The quick brown fox jumps over the lazy dog, then rests by the river. ", bytes);
}

std::string UnclosedTitlesAndLinks(std::size_t bytes) { return Items(bytes, false); }

std::string ShortItems(std::size_t count) {
  std::string text = "<rss><channel>\n";
  text.reserve(count * 72 + 64);
  for (std::size_t n = 1; n <= count; ++n) {
    const std::string id = std::to_string(n);
    text += "<item><title>Story " + id + "</title><link>https://n.example/" + id +
            "</link></item>\n";
  }
  return text + "</channel></rss>\n";
}

std::string OneHugeTitle(std::size_t titleBytes) {
  return "<rss><channel><item><title>" + std::string(titleBytes, 'x') +
         "</title><link>https://n.example/1</link></item></channel></rss>";
}

std::string EntryStartsOnly(std::size_t bytes) { return Repeat("<entry>", bytes); }

}  // namespace feedline::bench
