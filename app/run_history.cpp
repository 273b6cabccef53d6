#include "app/run_history.h"

#include <cstdio>

#include "platform/local_time.h"

namespace app {

runs::RunRecord MakeRunRecord(const RunOutcome& outcome, const RunEnd& end) {
  runs::RunRecord r;
  r.unattended = end.unattended;
  r.aborted = end.aborted;
  r.started = end.started;
  r.ended = end.ended;
  r.infobasesRun = outcome.infobasesRun;
  r.infobasesFailed = static_cast<uint32_t>(outcome.failedNames.size());
  r.failedNames = outcome.failedNames;
  if (r.failedNames.size() > runs::kNamedFailures) r.failedNames.resize(runs::kNamedFailures);
  r.unreadable = outcome.unreadable;
  r.journalPath = end.journalPath;
  return r;
}

std::string LastRunStatusText(const std::vector<runs::RunRecord>& records) {
  if (records.empty()) return {};
  const runs::RunRecord& last = records.back();
  char stamp[32] = "--.-- --:--";
  if (auto t = platform::ToLocalTime(last.started))
    std::snprintf(stamp, sizeof stamp, "%02d.%02d %02d:%02d", t->day, t->month, t->hour, t->minute);
  return "Последний запуск " + std::string(stamp) + ": " + runs::ResultText(last);
}

}  // namespace app
