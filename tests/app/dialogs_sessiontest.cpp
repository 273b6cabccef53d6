// The countdown prompt, the folder picker and the system adapters under Wine (the guard
// mutex and the shell's chooser are shared by the prefix: run alone). A thread
// timer plays the operator inside the modal dialogs.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

#include <functional>

#include "app/win32/query_dlg.h"
#include "app/win32/startup.h"
#include "app/win32/system_actions.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "resources/app/resource.h"
#include "tests/support/scratch.h"
#include "widgets/win32/dialog_text.h"
#include "widgets/win32/folder_picker.h"
#include "widgets/win32/handles.h"

namespace {

// Runs act on the first dialog of this thread that shows up, at every tick until act
// says it is done.
class Operator {
 public:
  explicit Operator(std::function<bool(HWND)> act) : act_(std::move(act)) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 100, Tick);
  }
  ~Operator() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (self_ == nullptr || self_->done_) return;
    HWND dialog = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
          wchar_t cls[16] = {};
          GetClassNameW(w, cls, 16);
          if (IsWindowVisible(w) && std::wstring(cls) == L"#32770") {
            *reinterpret_cast<HWND*>(p) = w;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&dialog));
    if (dialog != nullptr) self_->done_ = self_->act_(dialog);
  }

  static inline Operator* self_ = nullptr;
  std::function<bool(HWND)> act_;
  UINT_PTR timer_ = 0;
  bool done_ = false;
};

TEST(QueryDlg, SendsItsDefaultCommandWhenTheTimeRunsOut) {
  EXPECT_EQ(app::ShowQueryDlg(nullptr, {"Запуск?", 1, 0, IDCANCEL}), IDCANCEL);
  EXPECT_EQ(app::ShowQueryDlg(nullptr, {"Запуск?", 1, 0, IDOK}), IDOK);
}

TEST(QueryDlg, ALongMessageGrowsTheDialogAndAWarningKeepsOnlyOk) {
  bool cancelHidden = false, okCentred = false;
  RECT after{};
  Operator op([&](HWND dialog) {
    GetClientRect(dialog, &after);
    RECT ok;
    GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&ok), 2);
    okCentred = std::abs((ok.left + ok.right) / 2 - after.right / 2) <= 1;
    cancelHidden = !IsWindowVisible(GetDlgItem(dialog, IDCANCEL)) &&
                   !IsWindowVisible(GetDlgItem(dialog, IDC_QUERY_COUNTER));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return true;
  });
  std::string text;
  for (int i = 0; i < 40; ++i) text += "Очень длинное сообщение ";
  EXPECT_EQ(app::ShowQueryDlg(nullptr, {text, 0, 1, IDOK}), IDOK);
  EXPECT_TRUE(cancelHidden);
  EXPECT_TRUE(okCentred);
  EXPECT_GT(after.bottom, 100);
}

TEST(QueryDlg, GuardedPromptIsNotShownWhileAnotherIsOpen) {
  widgets::KernelHandle other(CreateMutexW(
      nullptr, FALSE, L"AFX_QUERYDLG_H__CE85EC83_2991_44D6_B443_15B40BA59532__INCLUDED"));
  // Shown, it would end with OK after its second.
  EXPECT_EQ(app::ShowGuardedQueryDlg(nullptr, {"Уже существует", 1, 1, IDOK}), IDCANCEL);
  other.Reset();
  EXPECT_EQ(app::ShowGuardedQueryDlg(nullptr, {"Уже существует", 1, 1, IDOK}), IDOK);
}

std::string LastName(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path.substr(path.rfind('\\') + 1);
}

// The text of the item selected in the chooser's folder tree.
std::string SelectedFolderName(HWND dialog) {
  HWND tree = nullptr;
  EnumChildWindows(
      dialog,
      [](HWND w, LPARAM p) -> BOOL {
        wchar_t cls[32] = {};
        GetClassNameW(w, cls, 32);
        if (std::wstring(cls) != L"SysTreeView32") return TRUE;
        *reinterpret_cast<HWND*>(p) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&tree));
  HTREEITEM selected = tree ? TreeView_GetSelection(tree) : nullptr;
  wchar_t text[MAX_PATH] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = selected;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  if (selected == nullptr || !TreeView_GetItem(tree, &item)) return std::string();
  return platform::Narrow(text);
}

TEST(FolderPicker, ReturnsTheFolderShownOrChosenAndCancelKeepsTheText) {
  testsupport::ScratchFolder scratch;
  const std::string sub = scratch / "Архивы";
  platform::fs::CreateFolder(sub);
  struct Case {
    std::string initial;
    std::string select;  // "" presses "Выбрать" at once
    int button;
    std::string result;
  } cases[] = {
      {scratch.path(), "", IDOK, scratch.path()},
      {scratch.path() + "\\", sub, IDOK, sub},
      {scratch.path(), "", IDCANCEL, scratch.path()},
  };
  for (const Case& c : cases) {
    std::string okText;
    bool selecting = false;
    int ticks = 0;
    auto select = [](HWND dialog, const std::string& folder) {
      const std::wstring path = platform::Widen(folder);
      SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
    };
    // The chooser fills its tree as it goes: act once the folder asked for is selected.
    // Wine's chooser now and then stops expanding halfway: ask again every second, and
    // give up after half a minute rather than hang.
    Operator op([&](HWND dialog) {
      const std::string want = selecting ? c.select : c.initial;
      if (SelectedFolderName(dialog) != LastName(want)) {
        if (++ticks % 10 == 0) select(dialog, want);
        if (ticks < 300) return false;
        ADD_FAILURE() << "the chooser never showed " << want;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
      }
      okText = widgets::GetItemText(dialog, IDOK);
      if (!c.select.empty() && !selecting) {
        selecting = true;
        ticks = 0;
        select(dialog, c.select);
        return false;
      }
      PostMessageW(dialog, WM_COMMAND, c.button, 0);
      return true;
    });
    std::string folder = c.initial;
    EXPECT_EQ(widgets::ShowFolderPicker(nullptr, folder), c.button == IDOK);
    EXPECT_EQ(folder, c.button == IDOK ? c.result : c.initial);
    EXPECT_EQ(okText, "Выбрать");
  }
}

TEST(SystemActions, HelpControlAndShutdownPrivilege) {
  app::HelpViewer help;
  EXPECT_TRUE(help.Load());
  EXPECT_TRUE(help.Load());  // loaded once, remembered
  EXPECT_TRUE(app::EnableShutdownPrivilege());
}

// The data folder comes from the environment the log-on set, or from the shell when the
// environment lacks it: both ways give the profile's own folder.
TEST(SystemActions, DataFolderIsTheProfilesWithOrWithoutTheEnvironment) {
  wchar_t appData[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData)));
  const std::string expected = platform::Narrow(appData) + "\\Zorvan";
  EXPECT_EQ(app::FindAppFolders("C:\\Prog").dataFolder, expected);
  wchar_t saved[MAX_PATH] = {};
  GetEnvironmentVariableW(L"APPDATA", saved, MAX_PATH);
  SetEnvironmentVariableW(L"APPDATA", nullptr);
  const std::string fallback = app::FindAppFolders("C:\\Prog").dataFolder;
  SetEnvironmentVariableW(L"APPDATA", saved);
  EXPECT_EQ(fallback, expected);
}

}  // namespace
