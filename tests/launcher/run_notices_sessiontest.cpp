// An unattended run of the real Zorvan.exe against the 1C:Enterprise stand-in, with one
// infobase failing, leaves its record in HKCU; the launcher's poll then turns the tray
// icon to its warning picture and shows the balloons, and "Последние запуски…" lists the
// run and clears the warning. Uses the real HKCU values: holds the zorvan_session lock.
#include <gtest/gtest.h>
#include <windows.h>

#include "config/configuration.h"
#include "config/run_record.h"
#include "launcher/run_notices.h"
#include "launcher/schedule_poll.h"
#include "launcher/win32/recent_runs_dialog.h"
#include "launcher/win32/tray_notices.h"
#include "platform/codepage.h"
#include "platform/fs.h"
#include "platform/registry.h"
#include "resources/launcher/resource.h"
#include "tests/launcher/poll_fixture.h"
#include "tests/support/process.h"
#include "tests/support/programs.h"
#include "tests/support/scratch.h"
#include "tree/infobase_tree.h"

namespace {

using platform::RegRoot;

struct Sent {
  DWORD message;
  HICON icon;
  std::string info;
};

class RunNoticesSession : public testing::Test {
 protected:
  RunNoticesSession() {
    ClearRecords();
    window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  }
  ~RunNoticesSession() override {
    ClearRecords();
    if (window) DestroyWindow(window);
  }

  void ClearRecords() {
    for (const char* key : {runs::kRunsKey, launcher::kNoticesKey})
      if (auto values = registry->EnumValues(RegRoot::CurrentUser, key))
        for (const auto& v : *values) registry->DeleteValue(RegRoot::CurrentUser, key, v.name);
  }

  // An infobase folder the stand-in saves; ctl lines steer it.
  std::string Infobase(const std::string& name, const std::string& ctl) {
    const std::string base = scratch / name;
    platform::fs::CreateFolder(base);
    testsupport::Write(base + "\\1cv7.md", "metadata");
    if (!ctl.empty()) testsupport::Write(base + "\\standin.ctl", ctl);
    return base;
  }

  // A configuration of two marked infobases ("Склад" fails: it writes no archive) with
  // a daily schedule at 02:30.
  std::string WriteConfiguration() {
    platform::MemoryRegistry memory;
    InfobaseTree tree(nullptr, nullptr);
    tree.RebuildFromRegistry(memory);
    for (const auto& [name, ctl] :
         {std::pair<std::string, std::string>{"Бухгалтерия", ""}, {"Склад", "no_archive=1"}}) {
      tree.ApplyInfobaseRecord({.entry = {.BaseName = name, .path = Infobase(name, ctl) + "\\",
                                          .SaveData = 1, .Type = InfobaseType::AddedByHand},
                                .hasState = true, .State = 1});
    }
    tree.ApplySchedule(polltest::Schedule("В 02:30,  каждый день", 1, 2, 30));
    Configuration config;
    config.options.BinaryDirectory = testrunner::BinFolder() + "enterprise_standin.exe";
    config.options.DestinationDirectory = scratch / "Архив";
    platform::fs::CreateFolder(config.options.DestinationDirectory);
    config.options.JournalFileName = scratch / "journal.txt";
    ConfigurationSeams seams(memory, platform::SilentFileErrorReporter());
    const std::string path = scratch / "nightly.cfg";
    EXPECT_EQ(SaveConfiguration(SaveTarget::CurrentFile, path, config, tree, seams), 2);
    return path;
  }

  // The icon of the test's window, with the normal picture.
  NOTIFYICONDATAW IconData() const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_ICON;
    data.hIcon = normal;
    return data;
  }

  launcher::TrayNotices MakeNotices() {
    return launcher::TrayNotices(launcher::TrayNoticeSeams{
        registry.get(), normal, warning, [this] { return IconData(); },
        [this](DWORD message, NOTIFYICONDATAW& data) {
          sent.push_back(
              {message, data.hIcon, (data.uFlags & NIF_INFO) ? platform::Narrow(data.szInfo) : ""});
          return TRUE;
        }});
  }

  std::unique_ptr<platform::Registry> registry = platform::MakeWin32Registry();
  testsupport::ScratchFolder scratch{"notices"};
  HICON normal = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LAUNCHER));
  HICON warning = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_LAUNCHER_WARNING));
  HWND window = nullptr;
  std::vector<Sent> sent;
};

TEST_F(RunNoticesSession, FailedUnattendedRunAndSkippedScheduleWarnUntilTheListIsOpened) {
  const std::string config = WriteConfiguration();
  ASSERT_NE(testsupport::RunToEnd("\"" + testrunner::BinFolder() + "Zorvan.exe\" /@" + config +
                                  " /BEGIN"),
            -1);

  const std::vector<runs::RunRecord> records = runs::ReadRecords(*registry, config);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(records[0].unattended);
  EXPECT_EQ(records[0].failedNames, std::vector<std::string>{"Склад"});
  EXPECT_EQ(records[0].journalPath, scratch / "journal.txt");

  // The poll while the main program is open: the 02:30 schedule is skipped.
  platform::MemoryRegistry list;
  list.CreateKey(RegRoot::CurrentUser, launcher::kListKey);
  list.WriteValue(RegRoot::CurrentUser, launcher::kListKey, config,
                  platform::RegValue::String(launcher::kListValueData));
  launcher::SchedulePoller poller({&list, [] { return polltest::At(2026, 12, 6, 2, 30, 10); },
                                   [] { return true; }, [](const std::string&) {}},
                                  false);
  poller.Poll();

  launcher::TrayNotices notices = MakeNotices();
  EXPECT_EQ(notices.Icon(), normal);
  notices.AfterPoll(poller.Skipped());
  // The picture turns first; the balloons (texts: the notices' tests) come one at a time.
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].icon, warning);
  EXPECT_EQ(sent[1].message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(sent[1].icon, warning);
  EXPECT_EQ(sent[1].info, launcher::RunNoticeText(config, records[0]));
  notices.BalloonGone();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_NE(sent[2].info.find("пропущено"), std::string::npos) << sent[2].info;
  notices.AfterPoll({});  // nothing new
  EXPECT_EQ(sent.size(), 3u);
  EXPECT_TRUE(launcher::ReadNotices(*registry).warning);  // kept for the next log-on
  EXPECT_TRUE(MakeNotices().Warning());

  launcher::RecentRunsDialogData data;
  data.rows = notices.TakeRecentRuns();
  EXPECT_EQ(notices.Icon(), normal);
  EXPECT_EQ(sent.back().icon, normal);
  EXPECT_FALSE(launcher::ReadNotices(*registry).warning);
  std::vector<std::vector<std::string>> shown;
  data.shown = [&](HWND dialog) {
    for (int row = 0; row < 2; ++row) shown.push_back(launcher::RecentRunsRowTexts(dialog, row));
    EndDialog(dialog, IDCANCEL);
  };
  launcher::ShowRecentRunsDialog(GetModuleHandleW(nullptr), nullptr, data);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0][0] + "|" + shown[0][3] + "|" + shown[0][4],
            "nightly.cfg|с ошибками (1 из 2)|Склад");
  EXPECT_EQ(shown[1][3], "пропущено: программа была открыта (В 02:30,  каждый день)");
}

}  // namespace
