// A copy that an abort stops between chunks leaves no partial target.
#include <gtest/gtest.h>

#include "platform/fs.h"
#include "tests/runner/scratch.h"

namespace {

using namespace testrunner;
namespace fs = platform::fs;

TEST(StoppableCopy, StopsBetweenChunksAndLeavesNoPartialFile) {
  ScratchFolder scratch;
  const std::string from = scratch / "архив.zip", to = scratch / "копия.zip";
  std::string bytes(3 * fs::kCopyChunk + 17, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 >> 3);
  Write(from, bytes);
  Write(to, "an earlier copy");
  const struct {
    int stopAtCall;  // 0: never
    fs::CopyResult result;
  } cases[] = {{2, fs::CopyResult::Stopped}, {1, fs::CopyResult::Stopped}, {0, fs::CopyResult::Copied}};
  for (const auto& c : cases) {
    int calls = 0;
    auto stop = [&] { return ++calls == c.stopAtCall; };
    EXPECT_EQ(fs::CopyStoppable(from, to, stop), c.result) << c.stopAtCall;
    if (c.result == fs::CopyResult::Stopped) {
      EXPECT_EQ(calls, c.stopAtCall);  // no chunk after the request
      EXPECT_FALSE(fs::GetAttributes(to).exists) << c.stopAtCall;
    }
  }
  EXPECT_EQ(Read(to), bytes);
  EXPECT_EQ(fs::GetLastWriteStamp(to), fs::GetLastWriteStamp(from));
  unsigned long error = 0;
  EXPECT_EQ(fs::CopyStoppable(scratch / "нет.zip", to, nullptr, &error), fs::CopyResult::Failed);
  EXPECT_NE(error, 0u);
}

}  // namespace
