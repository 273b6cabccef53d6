// A run control journalled into a scratch folder, journal lines and past days.
#pragma once

#include <memory>
#include <string>

#include "platform/fs.h"
#include "platform/local_time.h"
#include "runner/journal_file.h"
#include "runner/run_control.h"
#include "tests/support/scratch.h"

namespace testrunner {

using testsupport::FsPath;
using testsupport::Read;
using testsupport::ScratchFolder;
using testsupport::Write;

// A run control with a journal in the scratch folder.
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
