// The 1251 conversion at the Win32 boundary, and handle owners that close exactly once,
// in the last owner.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/codepage.h"
#include "platform/win32/handles.h"
#include "tests/support/scratch.h"

namespace {

using platform::win32::FileHandle;

// Share mode 0: while a handle is open, every other open of the file fails.
FileHandle OpenExclusive(const std::string& path, DWORD access, DWORD disposition) {
  return FileHandle(CreateFileW(platform::Widen(path).c_str(), access, 0, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool IsHeld(const std::string& path) {
  return !OpenExclusive(path, GENERIC_READ, OPEN_EXISTING).Valid();
}

TEST(Handles, OnlyTheLastOwnerClosesTheHandle) {
  testsupport::ScratchFolder dir;
  const std::string path = dir / "held.bin";
  FileHandle outer;
  {
    FileHandle inner = OpenExclusive(path, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_TRUE(inner.Valid());
    outer = std::move(inner);
    EXPECT_FALSE(inner.Valid());
  }
  EXPECT_TRUE(IsHeld(path)) << "the moved-from owner closed it";
  outer = FileHandle();
  EXPECT_FALSE(IsHeld(path)) << "assigning over the owner left it open";
}

TEST(Codepage, RoundTripsEveryByteOf1251) {
  std::string all;
  for (int c = 1; c < 256; ++c)
    if (c != 0x98) all.push_back(static_cast<char>(c));  // 0x98 is unassigned in 1251
  EXPECT_EQ(platform::Narrow(platform::Widen(all)), all);
  EXPECT_EQ(platform::Widen("Журнал"), L"\u0416\u0443\u0440\u043d\u0430\u043b");
  EXPECT_EQ(platform::Narrow(L"\u4e2d"), "?");
}

}  // namespace
