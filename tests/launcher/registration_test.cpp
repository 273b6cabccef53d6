// Registration after a save, the stop command, and what the launcher settles at start.
#include "launcher/registration.h"

#include <gtest/gtest.h>

#include "launcher/launcher_start.h"
#include "launcher/stop_scheduler.h"
#include "platform/file.h"
#include "tests/launcher/poll_fixture.h"

namespace {

using launcher::kListKey;
using launcher::kRunKey;
using platform::RegRoot;

class RegistrationTest : public polltest::PollTest {
 protected:
  RegistrationTest() {
    registry.CreateKey(RegRoot::CurrentUser, kRunKey);
    registry.DeleteKey(RegRoot::CurrentUser, kListKey);
    seams.registry = &registry;
    seams.programFolder = "C:\\Program Files\\Zorvan";
    seams.startProcess = [this](const std::string& command, const std::string& folder,
                                unsigned long& error) {
      starts.push_back(command + " in " + folder);
      error = 2;
      return startWorks;
    };
    seams.showError = [this](const std::string& text) { errors.push_back(text); };
    seams.sendCloseRequest = [this] { ++closeRequests; };
  }
  std::optional<platform::RegValue> Read(const char* key, const std::string& name) {
    return registry.ReadValue(RegRoot::CurrentUser, key, name);
  }

  launcher::RegistrationSeams seams;
  bool startWorks = true;
  std::vector<std::string> starts, errors;
  int closeRequests = 0;
};

TEST_F(RegistrationTest, AFailedLauncherStartIsShownAndTheValuesAreWritten) {
  startWorks = false;
  registry.DeleteKey(RegRoot::CurrentUser, kRunKey);  // opened, never created
  launcher::RegisterLauncher(seams, "C:\\a.cfg", true);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Неудачная попытка запуска процесса с параметрами:\n \"C:\\Program "
                            "Files\\Zorvan\\Zorvan launcher.exe\"\n",
                            0),
            0u);
  EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, kRunKey));
  EXPECT_TRUE(Read(kListKey, "C:\\a.cfg"));
}

TEST_F(RegistrationTest, StopRemovesSchedulesOfExistingFilesAndTheirValues) {
  registry.CreateKey(RegRoot::CurrentUser, kListKey);
  const std::string a = Config("a.cfg", {polltest::Schedule("d", 1, 10, 0)});
  const std::string held = Config("held.cfg", {polltest::Schedule("d", 1, 10, 0)});
  List((dir / "missing.cfg"));
  registry.WriteValue(RegRoot::CurrentUser, kRunKey, "Zorvan launcher",
                      platform::RegValue::String("x"));
  platform::File holder;
  ASSERT_TRUE(holder.Open(held, platform::kFileRead));
  launcher::StopScheduler(registry);
  holder.Close();
  EXPECT_FALSE(Read(kRunKey, "Zorvan launcher"));
  auto values = registry.EnumValues(RegRoot::CurrentUser, kListKey);
  ASSERT_EQ(values->size(), 1u);
  EXPECT_EQ((*values)[0].name, (dir / "missing.cfg"));
  EXPECT_EQ(ReadConfigSchedules(a, platform::SilentFileErrorReporter())->size(), 0u);
  EXPECT_EQ(ReadConfigSchedules(held, platform::SilentFileErrorReporter())->size(),
            1u);  // could not be opened: keeps them
}

TEST(LauncherStart, StartupSwitch) {
  struct {
    const char* arguments;
    bool startup;
  } cases[] = {{"/STARTUP", true},   {"/startup", true},      {"x /a /StartUp", true},
               {"/STARTUPX", false}, {"/STARTUP2 /b", false}, {"STARTUP", false},
               {"", false},          {"/STARTUP /b", true}};
  for (const auto& c : cases)
    EXPECT_EQ(launcher::HasStartupSwitch(c.arguments), c.startup) << c.arguments;
}

TEST(LauncherStart, ProgramFolderPrefersTheLaunchersOwnFolder) {
  const std::string own = "D:\\Portable", installed = "C:\\Zorvan";
  struct {
    std::vector<std::string> programs;  // folders holding Zorvan.exe
    std::optional<std::string> record;
    std::optional<std::string> folder;
  } cases[] = {
      {{own, installed}, "C:\\Zorvan\\Zorvan.exe", own},
      {{installed}, "C:\\Zorvan\\Zorvan.exe", installed},
      {{installed}, std::nullopt, std::nullopt},
      {{}, "C:\\Zorvan\\Zorvan.exe", std::nullopt},  // program moved or removed
      {{installed}, "C:\\Zorvan\\zorvan.exe", std::nullopt},
  };
  for (const auto& c : cases) {
    auto exists = [&](const std::string& path) {
      for (const auto& f : c.programs)
        if (path == f + "\\Zorvan.exe") return true;
      return false;
    };
    EXPECT_EQ(launcher::FindProgramFolder({own, c.record, exists}), c.folder);
  }
  EXPECT_EQ(launcher::MissingProgramMessage(0).find("Описание ошибки"), std::string::npos);
}

}  // namespace
