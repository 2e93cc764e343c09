#include "tests/integration/named_documents.h"

namespace feedline::test {

const std::map<std::string, std::string>& NamedDocuments() {
  static const std::map<std::string, std::string> documents = {
      {"releases",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
       "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:lang=\"en-US\">\n"
       "  <link type=\"text/html\" rel=\"alternate\" href=\"https://code.example/tool/releases\"/>\n"
       "  <link type=\"application/atom+xml\" rel=\"self\" href=\"https://code.example/t.atom\"/>\n"
       "  <title>Release notes from tool</title>\n"
       "  <entry><id>tag:1</id><updated>2026-12-01T10:00:00Z</updated>\n"
       "    <link rel=\"alternate\" type=\"text/html\" href=\"https://code.example/tool/v2.1\"/>\n"
       "    <title>v2.1</title><content type=\"html\">&lt;p&gt;Fixes&lt;/p&gt;</content></entry>\n"
       "  <entry><link rel=\"alternate\" href=\"https://code.example/tool/v2.0\"/>\n"
       "    <title>v2.0</title></entry>\n"
       "</feed>\n"},
      {"videos",
       "<feed xmlns:yt=\"http://www.youtube.com/xml/schemas/2015\" "
       "xmlns:media=\"http://search.yahoo.com/mrss/\" xmlns=\"http://www.w3.org/2005/Atom\">\n"
       "<title>Channel</title>\n"
       "<entry><media:group><media:title>Not this one</media:title></media:group>\n"
       "<title>Episode 12</title>\n"
       "<link rel=\"alternate\" href=\"https://video.example/watch?v=12\"/></entry>\n</feed>\n"},
      {"links",
       "<feed xmlns=\"http://www.w3.org/2005/Atom\">"
       "<entry><title>first</title><link rel=\"self\" href=\"https://f.example/self\"/>"
       "<link rel=\"alternate\" href=\"https://f.example/1\"/></entry>"
       "<entry><link rel='edit' href='https://f.example/edit'/><link href='https://f.example/2'/>"
       "<title>second</title></entry></feed>"},
      {"enclosure",
       "<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry><title>Podcast 7</title>"
       "<link rel=\"enclosure\" type=\"audio/mpeg\" href=\"https://p.example/7.mp3\"/>"
       "</entry></feed>"},
      {"html-title",
       "<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry>"
       "<title type=\"html\">&lt;b&gt;Bold&lt;/b&gt; &amp;amp; news</title>"
       "<link href=\"https://h.example/b\"/></entry></feed>"},
      {"rss-atom-link",
       "<rss version=\"2.0\" xmlns:atom=\"http://www.w3.org/2005/Atom\"><channel>"
       "<atom:link href=\"https://r.example/feed\" rel=\"self\" type=\"application/rss+xml\"/>"
       "<title>Chan</title><item><title>rss one</title><link>https://r.example/1</link></item>"
       "</channel></rss>"},
      {"rss1",
       "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
       "xmlns=\"http://purl.org/rss/1.0/\"><channel rdf:about=\"https://o.example/\">"
       "<title>Old chan</title><link>https://o.example/</link></channel>"
       "<item rdf:about=\"https://o.example/1\"><title>old one</title>"
       "<link>https://o.example/1</link></item>"
       "<item rdf:about=\"https://o.example/2\"><title>old two</title>"
       "<link>https://o.example/2</link></item></rdf:RDF>"},
  };
  return documents;
}

}  // namespace feedline::test
