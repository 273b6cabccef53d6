#include "launcher/win32/tray_notices.h"

#include <utility>

#include "platform/codepage.h"

namespace launcher {

TrayNotices::TrayNotices(TrayNoticeSeams seams)
    : seams_(std::move(seams)), state_(ReadNotices(*seams_.registry)) {}

void TrayNotices::AfterPoll(const std::vector<SkippedSchedule>& skipped) {
  const NoticeState before = state_;
  std::vector<Notice> notices =
      TakeNewNotices(runs::ReadAllRecords(*seams_.registry), skipped, state_);
  if (!(state_ == before)) WriteNotices(*seams_.registry, state_);
  if (state_.warning != before.warning) UpdateIcon();
  for (Notice& n : notices) queue_.push_back(std::move(n));
  // A shell that never reports the balloon's end still gets the next one at the next poll.
  if (!queue_.empty()) ShowNextBalloon();
}

void TrayNotices::BalloonGone() {
  if (!queue_.empty()) ShowNextBalloon();
}

std::vector<RecentRunRow> TrayNotices::TakeRecentRuns() {
  std::vector<RecentRunRow> rows =
      RecentRunRows(runs::ReadAllRecords(*seams_.registry), state_.skipped);
  queue_.clear();
  if (state_.warning) {
    state_.warning = false;
    WriteNotices(*seams_.registry, state_);
    UpdateIcon();
  }
  return rows;
}

void TrayNotices::ShowNextBalloon() {
  const Notice notice = std::move(queue_.front());
  queue_.pop_front();
  NOTIFYICONDATAW data = seams_.iconData();
  data.uFlags |= NIF_INFO | NIF_ICON;
  data.hIcon = Icon();
  lstrcpynW(data.szInfo, platform::Widen(notice.text).c_str(), ARRAYSIZE(data.szInfo));
  lstrcpynW(data.szInfoTitle, platform::Widen(notice.title).c_str(), ARRAYSIZE(data.szInfoTitle));
  data.dwInfoFlags = NIIF_WARNING;
  seams_.notify(NIM_MODIFY, data);
}

void TrayNotices::UpdateIcon() {
  NOTIFYICONDATAW data = seams_.iconData();
  data.uFlags |= NIF_ICON;
  data.hIcon = Icon();
  seams_.notify(NIM_MODIFY, data);
}

}  // namespace launcher
