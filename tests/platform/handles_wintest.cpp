// The handle owners close exactly once, in the last owner; the read and write loops
// move whole buffers and stop at the end of a file.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/codepage.h"
#include "platform/win32/handles.h"
#include "tests/store/store_test_util.h"

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
  storetest::ScratchDir dir;
  const std::string path = dir.File("held.bin");
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

TEST(Handles, WholeBuffersRoundTripAndReadsStopAtTheEnd) {
  storetest::ScratchDir dir;
  for (size_t size : {size_t{0}, size_t{1}, size_t{70000}}) {
    const std::string path = dir.File("data" + std::to_string(size));
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7);
    {
      FileHandle out = OpenExclusive(path, GENERIC_WRITE, CREATE_ALWAYS);
      ASSERT_TRUE(platform::win32::WriteFully(out.Get(), bytes.data(), bytes.size())) << size;
    }
    FileHandle in = OpenExclusive(path, GENERIC_READ, OPEN_EXISTING);
    std::string back(size + 10, 'x');
    EXPECT_EQ(platform::win32::ReadFully(in.Get(), back.data(), back.size()),
              static_cast<int64_t>(size));
    EXPECT_EQ(back.substr(0, size), bytes) << size;
    // A handle opened without the right access fails the loop instead of looping.
    EXPECT_EQ(platform::win32::WriteFully(in.Get(), "x", 1), false) << size;
  }
}

}  // namespace
