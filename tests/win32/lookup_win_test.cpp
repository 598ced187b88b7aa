// The Windows name service's texts: ANSI code page in, UTF-8 out; and when
// a name is asked for its IPv6 addresses. The socket library is started for
// the whole program (winsock_environment).
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "resolve/lookup_win.h"
#include "resolve/resolve.h"

namespace tolvane::resolve {
namespace {

TEST(AnsiPointerToText, CopiesUpToTheNulAndConvertsFromTheAnsiCodePage) {
  EXPECT_EQ(AnsiPointerToText("10.77.1.2"), "10.77.1.2");
  EXPECT_EQ(AnsiPointerToText("ab\0cd"), "ab");
  EXPECT_EQ(AnsiPointerToText(""), "");
  EXPECT_EQ(AnsiPointerToText(nullptr), "");
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP() << ", not 1252";
  EXPECT_EQ(AnsiPointerToText("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");  // "café €"
}

TEST(AddressToText, IsTheSocketLibrarysDottedText) {
  EXPECT_EQ(AddressToText(0x0100007F), "127.0.0.1");
  EXPECT_EQ(AddressToText(0xFFFFFFFF), "255.255.255.255");
  EXPECT_EQ(AddressToText(0x0A4D030A), "10.3.77.10");
}

TEST(LookupName, IsAsciiCompatibleBeyondAsciiAndAsTypedOtherwise) {
  EXPECT_EQ(LookupName("m\xC3\xBCnchen.tolvane.test"), "xn--mnchen-3ya.tolvane.test");
  EXPECT_EQ(LookupName(std::string("Kernel.tolvane.test\0junk", 24)), "Kernel.tolvane.test");
  EXPECT_EQ(LookupName(""), "");  // this machine, for gethostbyname
}

// IPv6 is asked after every failure of gethostbyname but a time-out: a name
// server that didn't answer, once that has taken a wait.
TEST(AsksForIPv6After, EveryFailureButATimeOut) {
  EXPECT_FALSE(AsksForIPv6After(WSATRY_AGAIN, 1000));
  EXPECT_TRUE(AsksForIPv6After(WSATRY_AGAIN, 2));  // refused at once
  EXPECT_TRUE(AsksForIPv6After(WSANO_DATA, 3000));
  EXPECT_TRUE(AsksForIPv6After(WSAHOST_NOT_FOUND, 3000));
  EXPECT_TRUE(AsksForIPv6After(0, 0));  // a host record without an address
}

}  // namespace
}  // namespace tolvane::resolve
