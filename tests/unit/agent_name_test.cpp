#include "download/agent_name.h"

#include <gtest/gtest.h>

#include <string>

namespace feedline {
namespace {

bool NoLeadBytes(unsigned char) { return false; }

// Lead bytes of code page 932 (Shift JIS), in which 0x5C ('\') can be a trail byte.
bool ShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct PathCase {
  std::string path;
  bool (*isLeadByte)(unsigned char);
  std::string name;
};

std::string PathCaseName(const testing::TestParamInfo<PathCase>& info) {
  static const char* const kNames[] = {"FullPath",          "FileNameOnly",
                                       "DriveRelative",     "SlashDoesNotSplit",
                                       "EndsInBackslash",   "DoubleByteTrailKept",
                                       "SingleByteSplits",  "DoubleByteFolderSkipped"};
  return kNames[info.index];
}

class AgentName : public testing::TestWithParam<PathCase> {};

TEST_P(AgentName, IsFileNamePart) {
  EXPECT_EQ(WindowsFileNamePart(GetParam().path, GetParam().isLeadByte), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AgentName,
    testing::Values(PathCase{"C:\\Program Files\\Host\\host.exe", NoLeadBytes, "host.exe"},
                    PathCase{"host.exe", NoLeadBytes, "host.exe"},
                    PathCase{"C:host.exe", NoLeadBytes, "host.exe"},
                    PathCase{"C:/apps/host.exe", NoLeadBytes, "/apps/host.exe"},
                    PathCase{"C:\\apps\\", NoLeadBytes, ""},
                    // "\x95\x5C" is one double-byte character whose trail byte is 0x5C
                    PathCase{"C:\\apps\\\x95\x5Chost.exe", ShiftJisLeadByte, "\x95\x5Chost.exe"},
                    PathCase{"C:\\apps\\\x95\x5Chost.exe", NoLeadBytes, "host.exe"},
                    PathCase{"C:\\\x95\x5C\\host.exe", ShiftJisLeadByte, "host.exe"}),
    PathCaseName);

}  // namespace
}  // namespace feedline
