#include "launcher/run_notices.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "config/record_bytes.h"
#include "platform/local_time.h"
#include "platform/registry.h"

namespace launcher {
namespace {

using platform::RegRoot;

constexpr char kMagic[] = {'Z', 'N', 1};
constexpr size_t kSeenKept = 1000;  // configurations; more are forgotten, oldest first

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Registry value names, and so configuration paths here, compare without letter case.
bool SamePath(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](unsigned char c) { return c < 0x80 ? std::tolower(c) : c; };
    return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
  });
}

// "из 1 базы", "из 5 баз", "из 21 базы".
std::string OfInfobases(uint32_t n) {
  return std::to_string(n) + (n % 10 == 1 && n % 100 != 11 ? " базы" : " баз");
}

std::string Stamp(int64_t t) {
  char text[32] = "";
  if (auto l = platform::ToLocalTime(t))
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d", l->day, l->month, l->year, l->hour,
                  l->minute);
  return text;
}

std::string Duration(int64_t seconds) {
  if (seconds < 0) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

uint32_t LookAtRuns(const runs::ConfigurationRuns& c, uint32_t seen, std::vector<Notice>& out) {
  uint32_t newest = 0;
  for (const runs::RunRecord& r : c.records) newest = std::max(newest, r.sequence);
  if (newest < seen) seen = 0;  // the records started again
  for (const runs::RunRecord& r : c.records) {
    if (r.sequence > seen && r.unattended && runs::IsFailure(r))
      out.push_back({"Zorvan: ошибка резервного копирования", RunNoticeText(c.configPath, r)});
  }
  return newest;
}

}  // namespace

std::string SerializeNotices(const NoticeState& state) {
  bytes::Writer w;
  w.Bytes(kMagic, sizeof kMagic);
  w.Number(static_cast<uint8_t>(state.warning ? 1 : 0));
  const size_t seenFrom = state.seen.size() > kSeenKept ? state.seen.size() - kSeenKept : 0;
  w.Number(static_cast<uint16_t>(state.seen.size() - seenFrom));
  for (size_t i = seenFrom; i < state.seen.size(); ++i) {
    w.Text(state.seen[i].configPath);
    w.Number(state.seen[i].sequence);
  }
  const size_t skipFrom =
      state.skipped.size() > kSkippedKept ? state.skipped.size() - kSkippedKept : 0;
  w.Number(static_cast<uint8_t>(state.skipped.size() - skipFrom));
  for (size_t i = skipFrom; i < state.skipped.size(); ++i) {
    w.Text(state.skipped[i].configPath);
    w.Text(state.skipped[i].schedule);
    w.Number(static_cast<uint64_t>(state.skipped[i].when));
  }
  return w.Take();
}

std::optional<NoticeState> ParseNotices(const std::string& bytes) {
  if (bytes.compare(0, sizeof kMagic, kMagic, sizeof kMagic) != 0) return std::nullopt;
  bytes::Reader in(bytes);
  NoticeState state;
  uint8_t warning = 0, skipped = 0;
  uint16_t seen = 0;
  if (!in.Skip(sizeof kMagic) || !in.Number(warning) || !in.Number(seen)) return std::nullopt;
  state.warning = warning != 0;
  state.seen.resize(seen);
  for (SeenRuns& s : state.seen)
    if (!in.Text(s.configPath) || !in.Number(s.sequence)) return std::nullopt;
  if (!in.Number(skipped) || skipped > kSkippedKept) return std::nullopt;
  state.skipped.resize(skipped);
  for (SkippedSchedule& s : state.skipped) {
    uint64_t when = 0;
    if (!in.Text(s.configPath) || !in.Text(s.schedule) || !in.Number(when)) return std::nullopt;
    s.when = static_cast<int64_t>(when);
  }
  if (!in.AtEnd()) return std::nullopt;
  return state;
}

NoticeState ReadNotices(platform::Registry& registry) {
  auto value = registry.ReadValue(RegRoot::CurrentUser, kNoticesKey, kNoticesValue);
  if (!value) return {};
  return ParseNotices(value->data).value_or(NoticeState{});
}

bool WriteNotices(platform::Registry& registry, const NoticeState& state) {
  return registry.CreateKey(RegRoot::CurrentUser, kNoticesKey) &&
         registry.WriteValue(RegRoot::CurrentUser, kNoticesKey, kNoticesValue,
                             platform::RegValue::Binary(SerializeNotices(state)));
}

std::vector<Notice> TakeNewNotices(const std::vector<runs::ConfigurationRuns>& all,
                                   const std::vector<SkippedSchedule>& skippedNow,
                                   NoticeState& state) {
  std::vector<Notice> notices;
  std::vector<SeenRuns> seen;
  for (const runs::ConfigurationRuns& c : all) {
    auto known = std::find_if(state.seen.begin(), state.seen.end(), [&](const SeenRuns& s) {
      return SamePath(s.configPath, c.configPath);
    });
    const uint32_t before = known == state.seen.end() ? 0 : known->sequence;
    seen.push_back({c.configPath, LookAtRuns(c, before, notices)});
  }
  state.seen = std::move(seen);  // configurations whose records are gone are forgotten
  for (const SkippedSchedule& s : skippedNow) {
    notices.push_back({"Zorvan: расписание пропущено", SkippedNoticeText(s)});
    state.skipped.push_back(s);
  }
  if (state.skipped.size() > kSkippedKept)
    state.skipped.erase(state.skipped.begin(), state.skipped.end() - kSkippedKept);
  if (!notices.empty()) state.warning = true;
  return notices;
}

std::string RunNoticeText(const std::string& configPath, const runs::RunRecord& r) {
  const std::string head = "Резервное копирование " + FileName(configPath);
  if (r.unreadable) return head + " не выполнено: файл настройки не прочитан";
  if (r.aborted) return head + " прервано";
  if (r.infobasesRun == 0) return head + " не выполнено: нет заданий";
  return head + " завершилось с ошибками: " + std::to_string(r.infobasesFailed) + " из " +
         OfInfobases(r.infobasesRun);
}

std::string SkippedNoticeText(const SkippedSchedule& s) {
  return "Расписание «" + s.schedule + "» для " + FileName(s.configPath) +
         " пропущено: программа была открыта";
}

std::vector<RecentRunRow> RecentRunRows(const std::vector<runs::ConfigurationRuns>& all,
                                        const std::vector<SkippedSchedule>& skipped) {
  std::vector<RecentRunRow> rows;
  for (const runs::ConfigurationRuns& c : all) {
    for (const runs::RunRecord& r : c.records) {
      std::string failed;
      for (const std::string& name : r.failedNames) failed += (failed.empty() ? "" : ", ") + name;
      if (r.failedNames.size() < r.infobasesFailed) failed += failed.empty() ? "…" : ", …";
      std::string result = runs::ResultText(r) + (r.unattended ? "" : ", вручную");
      rows.push_back({r.started, FileName(c.configPath), Stamp(r.started),
                      Duration(r.ended - r.started), std::move(result), std::move(failed),
                      r.journalPath});
    }
  }
  for (const SkippedSchedule& s : skipped)
    rows.push_back({s.when, FileName(s.configPath), Stamp(s.when), "",
                    "пропущено: программа была открыта (" + s.schedule + ")", "", ""});
  std::stable_sort(rows.begin(), rows.end(), [](const RecentRunRow& a, const RecentRunRow& b) {
    return a.started > b.started;
  });
  return rows;
}

}  // namespace launcher
