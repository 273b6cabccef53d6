// A fresh folder under the temporary folder for one test, removed with everything in it.
// Its name holds Cyrillic letters so that every path crosses the 1251 boundary.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "platform/fs.h"
#include "platform/local_time.h"
#include "runner/journal_file.h"
#include "runner/run_control.h"

#ifdef _WIN32
#include "platform/codepage.h"
#endif

namespace testrunner {

inline std::filesystem::path FsPath(const std::string& path1251) {
#ifdef _WIN32
  return std::filesystem::path(platform::Widen(path1251));
#else
  std::string p = path1251;
  for (char& c : p)
    if (c == '\\') c = '/';
  return std::filesystem::path(p);
#endif
}

class ScratchFolder {
 public:
  ScratchFolder() {
    static std::atomic<int> counter{0};
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("zv_Тест_") + info->name() + "_" +
                       std::to_string(counter++) + "_" + std::to_string(std::rand());
    path_ = platform::fs::TempPath() + name;
    std::filesystem::remove_all(FsPath(path_));
    platform::fs::CreateFolder(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FsPath(path_), ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

inline std::string Read(const std::string& path) {
  return platform::fs::ReadWholeFile(path).value_or("<missing>");
}

inline void Write(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(platform::fs::WriteWholeFile(path, bytes)) << path;
}

// A run control with a journal in the scratch folder; Lines() gives the journal so far.
class JournalledRun {
 public:
  explicit JournalledRun(const ScratchFolder& scratch) : path_(scratch / "journal.txt") {
    control.SetJournal(std::make_unique<CJournalFile>(path_, true));
  }
  // Closes the journal (it is open exclusively) and returns its text.
  std::string Text() {
    control.ReleaseJournal();
    return Read(path_);
  }

  RunControl control;

 private:
  std::string path_;
};

// Joins lines, each ended by CR LF, as the journal holds them.
inline std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

// Noon of the local day `days` back: no daylight-saving change moves noon into another day.
inline platform::fs::LocalTime DaysAgo(int days) {
  platform::fs::LocalTime now = platform::fs::NowLocal();
  platform::LocalTime noon{now.year, now.month, now.day, 12};
  platform::LocalTime t = *platform::ToLocalTime(*platform::FromLocalTime(noon) - days * 86400LL);
  return {t.year, t.month, t.day, t.hour};
}

}  // namespace testrunner
