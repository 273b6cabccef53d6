#include "app/win32/job_editors.h"

#include "app/win32/query_dlg.h"

namespace app {

namespace {

constexpr int kDuplicateSeconds = 10;
constexpr int kErrorIcon = 2;

}  // namespace

void AddJobEditors(TreeEditors& editors, std::function<HWND()> owner,
                   std::function<JobDialogServices()> services) {
  editors.jobParameters = [owner = std::move(owner),
                           services = std::move(services)](InfobaseEntry& entry) {
    return ShowJobParametersDialog(owner(), entry, services());
  };
  editors.duplicateTitle = ShowDuplicateTitleMessage;
}

void ShowDuplicateTitleMessage(const std::string& text) {
  ShowGuardedQueryDlg(nullptr, {text, kDuplicateSeconds, kErrorIcon, IDOK});
}

}  // namespace app
