// QueryDlg: the countdown prompt (dialog 164). It sends its default command by itself
// when the seconds run out; also the timed message box of start-up and unattended runs.
#pragma once

#include <windows.h>

#include <string>

namespace app {

struct QueryRequest {
  std::string text;
  int seconds = 0;   // 0: no countdown
  int iconKind = 0;  // 0 information, 1 warning, 2 error (another value counts as 0)
  int defaultId = IDOK;
};

// Modal; returns the id of the button that closed it (IDOK or IDCANCEL).
int ShowQueryDlg(HWND parent, const QueryRequest& request);

// At most one guarded prompt at a time system-wide: IDCANCEL without showing anything
// while another is open.
int ShowGuardedQueryDlg(HWND parent, const QueryRequest& request);

}  // namespace app
