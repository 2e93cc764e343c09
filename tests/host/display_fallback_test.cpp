// Display text on a system that lacks the Windows-1252 converter or cannot make the HTML
// parser: this program defines iconv_open and htmlNewParserCtxt itself (the executable's
// definitions win over the libraries') and fails them when a case asks.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <libxml/HTMLparser.h>

#include <string>

#include "host/display_text.h"

namespace {
bool converterMissing = false;
bool parserFails = false;
}  // namespace

extern "C" iconv_t iconv_open(const char* to, const char* from) {
  using IconvOpen = iconv_t (*)(const char*, const char*);
  static const auto real = reinterpret_cast<IconvOpen>(dlsym(RTLD_NEXT, "iconv_open"));
  if (converterMissing) return reinterpret_cast<iconv_t>(-1);
  return real(to, from);
}

extern "C" htmlParserCtxtPtr htmlNewParserCtxt() {
  using Create = htmlParserCtxtPtr (*)();
  static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "htmlNewParserCtxt"));
  if (parserFails) return nullptr;
  return real();
}

namespace feedline::host {
namespace {

struct FallbackCase {
  const char* name;
  bool noConverter;
  bool noParser;
  std::string feedBytes;
  std::string shown;
  bool problemSaid;
};

void PrintTo(const FallbackCase& c, std::ostream* os) { *os << c.name; }

class DisplayFallback : public testing::TestWithParam<FallbackCase> {
 protected:
  void TearDown() override { converterMissing = parserFails = false; }
};

TEST_P(DisplayFallback, KeepsTheTextAndSaysWhy) {
  converterMissing = GetParam().noConverter;
  parserFails = GetParam().noParser;
  std::string problem;
  EXPECT_EQ(DisplayText(GetParam().feedBytes, &problem), GetParam().shown);
  EXPECT_EQ(!problem.empty(), GetParam().problemSaid) << problem;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayFallback,
    testing::Values(
        FallbackCase{"Windows1252Converted", false, false, "caf\xe9 \x93quoted\x94",
                     "caf\xc3\xa9 \xe2\x80\x9cquoted\xe2\x80\x9d", false},
        FallbackCase{"NoConverterEscapesBytes", true, false, "caf\xe9 news", "caf\\xe9 news",
                     true},
        FallbackCase{"NoConverterNeededForUtf8", true, false, "caf\xc3\xa9", "caf\xc3\xa9", false},
        FallbackCase{"NoParserKeepsMarkup", false, true, "<b>Breaking</b> &amp; news",
                     "<b>Breaking</b> &amp; news", true},
        FallbackCase{"NoParserNeededForPlainText", false, true, "plain news", "plain news",
                     false}),
    [](const testing::TestParamInfo<FallbackCase>& info) { return info.param.name; });

}  // namespace
}  // namespace feedline::host
