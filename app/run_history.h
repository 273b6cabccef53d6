// The main program's side of the run records: what a run that ended leaves behind, and
// the status line that shows the last one while no run is in progress.
#pragma once

#include <cstdint>
#include <string>

#include "config/run_record.h"
#include "runner/run_control.h"

namespace app {

struct RunEnd {
  bool unattended = false;
  bool aborted = false;
  int64_t started = 0;
  int64_t ended = 0;
  std::string journalPath;  // empty: no journal was written
};

runs::RunRecord MakeRunRecord(const RunOutcome& outcome, const RunEnd& end);

// "Последний запуск 06.12 02:30: с ошибками (2 из 5)"; empty without a record.
std::string LastRunStatusText(const std::vector<runs::RunRecord>& records);

}  // namespace app
