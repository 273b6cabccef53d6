// The scoped owners that remove password-holding files and created folders on every
// way out: the guard runs once unless dismissed, the temporary file is removed by
// whichever owner holds it last.
#include <gtest/gtest.h>

#include <utility>

#include "platform/fs.h"
#include "platform/scope_guard.h"
#include "platform/temporary_file.h"
#include "tests/support/scratch.h"

namespace {

namespace fs = platform::fs;
using platform::ScopeGuard;

TEST(ScopeGuard, RunsOnceOnExitUnlessDismissedAndFollowsAMove) {
  struct Case {
    const char* what;
    void (*use)(ScopeGuard& guard);
    int runsInside;  // before the guard's scope ends
    int runsAfter;
  };
  const Case cases[] = {
      {"plain exit", [](ScopeGuard&) {}, 0, 1},
      {"dismissed", [](ScopeGuard& g) { g.Dismiss(); }, 0, 0},
      {"run early, not again", [](ScopeGuard& g) { g.Run(); }, 1, 1},
      {"moved out and dropped", [](ScopeGuard& g) { ScopeGuard taken(std::move(g)); }, 1, 1},
      {"overwritten by a move", [](ScopeGuard& g) { g = ScopeGuard([] {}); }, 1, 1},
  };
  for (const Case& c : cases) {
    int runs = 0;
    {
      ScopeGuard guard([&runs] { ++runs; });
      c.use(guard);
      EXPECT_EQ(runs, c.runsInside) << c.what;
    }
    EXPECT_EQ(runs, c.runsAfter) << c.what;
  }
}

TEST(TemporaryFile, TheLastOwnerRemovesTheFileOnce) {
  testsupport::ScratchFolder dir;
  std::string path;
  {
    fs::TemporaryFile outer;
    {
      fs::TemporaryFile inner = fs::TemporaryFile::Create(dir.path(), "~pak");
      ASSERT_TRUE(inner.Owns());
      path = inner.Path();
      EXPECT_TRUE(fs::FileExists(path));
      outer = std::move(inner);
      EXPECT_FALSE(inner.Owns());
    }
    EXPECT_TRUE(fs::FileExists(path)) << "the moved-from owner removed it";
    EXPECT_EQ(outer.Path(), path);
  }
  EXPECT_FALSE(fs::GetAttributes(path).exists);

  // A file already gone counts as removed; a failed create owns nothing.
  fs::TemporaryFile file = fs::TemporaryFile::Create(dir.path(), "~pak");
  ASSERT_TRUE(fs::RemoveFile(file.Path()));
  EXPECT_TRUE(file.Remove());
  EXPECT_FALSE(file.Owns());
  unsigned long error = 0;
  fs::TemporaryFile none = fs::TemporaryFile::Create(dir / "missing", "~pak", &error);
  EXPECT_FALSE(none.Owns());
  EXPECT_NE(error, 0u);
  EXPECT_TRUE(none.Remove());
}

}  // namespace
