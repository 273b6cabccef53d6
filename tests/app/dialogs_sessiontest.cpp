// The countdown prompt, the folder picker and the system adapters under Wine (the guard
// mutex and the shell's chooser are shared by the prefix: run alone).
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

#include <deque>

#include "app/win32/query_dlg.h"
#include "app/win32/startup.h"
#include "app/win32/system_actions.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "resources/app/resource.h"
#include "tests/app/dialog_script.h"
#include "tests/support/scratch.h"
#include "widgets/win32/dialog_text.h"
#include "widgets/win32/folder_picker.h"
#include "widgets/win32/handles.h"

namespace {

TEST(QueryDlg, ALongMessageGrowsTheDialogAndAWarningKeepsOnlyOk) {
  bool cancelHidden = false, okCentred = false;
  RECT after{};
  apptest::DialogScript op({[&](HWND dialog) {
    GetClientRect(dialog, &after);
    RECT ok;
    GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&ok), 2);
    okCentred = std::abs((ok.left + ok.right) / 2 - after.right / 2) <= 1;
    cancelHidden = !IsWindowVisible(GetDlgItem(dialog, IDCANCEL)) &&
                   !IsWindowVisible(GetDlgItem(dialog, IDC_QUERY_COUNTER));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  }});
  std::string text;
  for (int i = 0; i < 40; ++i) text += "Очень длинное сообщение ";
  EXPECT_EQ(app::ShowQueryDlg(nullptr, {text, 0, 1, IDOK}), IDOK);
  EXPECT_TRUE(cancelHidden);
  EXPECT_TRUE(okCentred);
  EXPECT_GT(after.bottom, 100);
}

TEST(QueryDlg, DefaultCommandWhenTheTimeRunsOutAndOneGuardedPromptAtATime) {
  EXPECT_EQ(app::ShowQueryDlg(nullptr, {"Запуск?", 1, 0, IDCANCEL}), IDCANCEL);
  widgets::KernelHandle other(CreateMutexW(
      nullptr, FALSE, L"AFX_QUERYDLG_H__CE85EC83_2991_44D6_B443_15B40BA59532__INCLUDED"));
  // Shown, it would end with OK after its second.
  EXPECT_EQ(app::ShowGuardedQueryDlg(nullptr, {"Уже существует", 1, 1, IDOK}), IDCANCEL);
  other.Reset();
  EXPECT_EQ(app::ShowGuardedQueryDlg(nullptr, {"Уже существует", 1, 1, IDOK}), IDOK);
}

void Select(HWND dialog, const std::string& folder) {
  const std::wstring path = platform::Widen(folder);
  SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
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
    // The chooser fills its tree as it goes: a step acts once its folder is selected.
    // Wine's chooser now and then stops expanding halfway: ask again every second.
    int ticks = 0;
    auto showing = [&](const std::string& folder) {
      return [&, folder](HWND dialog) {
        if (SelectedFolderName(dialog) == LastName(folder)) return true;
        if (++ticks % 20 == 0) Select(dialog, folder);
        return false;
      };
    };
    const auto press = [&](HWND dialog) { PostMessageW(dialog, WM_COMMAND, c.button, 0); };
    std::deque<apptest::DialogScript::Step> steps;
    steps.emplace_back(showing(c.initial), [&](HWND dialog) {
      okText = widgets::GetItemText(dialog, IDOK);
      c.select.empty() ? press(dialog) : Select(dialog, c.select);
    });
    if (!c.select.empty()) steps.emplace_back(showing(c.select), press);
    apptest::DialogScript op(std::move(steps));
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
