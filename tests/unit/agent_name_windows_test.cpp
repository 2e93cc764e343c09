// The agent name with the code page tables of Windows itself.
#include <windows.h>

#include <gtest/gtest.h>

#include "download/agent_name.h"

namespace feedline {
namespace {

bool ShiftJisLeadByte(unsigned char byte) { return IsDBCSLeadByteEx(932, byte) != FALSE; }

TEST(AgentNameWindows, TrailByteBackslashDoesNotSeparateInCodePage932) {
  EXPECT_EQ(WindowsFileNamePart("C:\\apps\\\x95\x5Chost.exe", ShiftJisLeadByte),
            "\x95\x5Chost.exe");
}

TEST(AgentNameWindows, IsThisExecutablesFileName) {
  EXPECT_EQ(HostAgentName(), "feedline_unit_tests.exe");
}

}  // namespace
}  // namespace feedline
