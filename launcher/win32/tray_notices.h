// The launcher's tray announcements: after each poll it reads the run records, shows one
// balloon per new event (one after the other) and turns its icon to the warning picture
// until the operator opens "Последние запуски…".
#pragma once

#include <windows.h>
// shellapi.h needs windows.h before it
#include <shellapi.h>

#include <deque>
#include <functional>
#include <vector>

#include "launcher/run_notices.h"

namespace platform {
class Registry;
}

namespace launcher {

// Balloon events of the tray callback (lParam), shell version before 4.
inline constexpr LPARAM kBalloonHidden = WM_USER + 3;
inline constexpr LPARAM kBalloonTimedOut = WM_USER + 4;
inline constexpr LPARAM kBalloonClicked = WM_USER + 5;

struct TrayNoticeSeams {
  platform::Registry* registry = nullptr;
  HICON normalIcon = nullptr;
  HICON warningIcon = nullptr;
  // The icon's data (window, id, message, tip) to which the picture and balloon are added.
  std::function<NOTIFYICONDATAW()> iconData;
  std::function<BOOL(DWORD message, NOTIFYICONDATAW& data)> notify;  // Shell_NotifyIconW
};

class TrayNotices {
 public:
  // Reads what was announced before: a warning not yet looked at shows at once.
  explicit TrayNotices(TrayNoticeSeams seams);

  HICON Icon() const { return state_.warning ? seams_.warningIcon : seams_.normalIcon; }
  bool Warning() const { return state_.warning; }

  // After a poll: new events become balloons and the warning.
  void AfterPoll(const std::vector<SkippedSchedule>& skipped);
  // The shown balloon is gone: the next one, if any.
  void BalloonGone();
  // What "Последние запуски…" lists; taking it clears the warning.
  std::vector<RecentRunRow> TakeRecentRuns();

 private:
  void ShowNextBalloon();
  void UpdateIcon();

  TrayNoticeSeams seams_;
  NoticeState state_;
  std::deque<Notice> queue_;
};

}  // namespace launcher
