// A copy that an abort stops between chunks leaves no partial target.
#include <gtest/gtest.h>

#include "platform/fs.h"
#include "tests/support/scratch.h"

namespace {

using namespace testsupport;
namespace fs = platform::fs;

TEST(StoppableCopy, StopsBetweenChunksAndLeavesNoPartialFile) {
  ScratchFolder scratch;
  const std::string from = scratch / "архив.zip", to = scratch / "копия.zip";
  std::string bytes(3 * fs::kCopyChunk + 17, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 >> 3);
  Write(from, bytes);
  for (int stopAtCall : {2, 1}) {  // after the first chunk; before any
    Write(to, "an earlier copy");
    int calls = 0;
    EXPECT_EQ(fs::CopyStoppable(from, to, [&] { return ++calls == stopAtCall; }),
              fs::CopyResult::Stopped);
    EXPECT_EQ(calls, stopAtCall);
    EXPECT_FALSE(fs::GetAttributes(to).exists) << stopAtCall;
  }
  EXPECT_EQ(fs::CopyStoppable(from, to, [] { return false; }), fs::CopyResult::Copied);
  EXPECT_EQ(Read(to), bytes);
  EXPECT_EQ(fs::GetLastWriteStamp(to), fs::GetLastWriteStamp(from));
}

}  // namespace
