// Kept parameters of unmarked infobases never run: neither from the file (unattended)
// nor from the window's configuration.
#include <gtest/gtest.h>

#include "tests/config/config_fixture.h"
#include "tests/runner/job_run_fixture.h"

namespace {

using namespace testrunner;
using Lines = std::vector<std::string>;

class InactiveRunTest : public JobRunTest {
 protected:
  // One registered infobase with a job, left unmarked, saved through the real tree.
  void SaveKeptInfobase() {
    const std::string base = MakeInfobase("Kept");
    fixture::RegisterInfobases(registry_, {{base, "Kept"}});
    tree.RebuildFromRegistry(registry_);
    InfobaseEntry e = tree.InfobaseEntries()[0];
    e.SaveData = 1;
    tree.StoreInfobase(e);
    SaveConfiguration(SaveTarget::CurrentFile, ConfigPath(), config_, tree, seams);
    ASSERT_EQ(tree.InactiveEntries().size(), 1u);
  }

  InfobaseTree tree{fixture::NoUsers(), nullptr};
  ConfigurationSeams seams{registry_, platform::SilentFileErrorReporter()};
};

TEST_F(InactiveRunTest, TheFileRunsNothingKept) {
  SaveKeptInfobase();
  ASSERT_EQ(RunToEnd(/*autoRun=*/true), StartResult::Started);
  EXPECT_EQ(JournalLines(), WithHeader({"Нет заданий", kStarsLine}));
  EXPECT_EQ(Events(), Lines{"finished"});
}

TEST_F(InactiveRunTest, TheWindowsConfigurationRunsNothingKept) {
  SaveKeptInfobase();
  RunSource source{{ConfigPath(), root_, data_}, std::nullopt};
  source.window.emplace(config_, tree, seams, false);
  EXPECT_EQ(run_.StartRun(source), StartResult::NothingToRun);
  EXPECT_EQ(Events(), Lines{std::string("message: ") + kNoJobsMessage});
}

}  // namespace
