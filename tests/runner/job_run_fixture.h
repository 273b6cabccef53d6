// A job run in a scratch folder: the temporary folder of the process points into it
// (so every "~pak" file of a run can be counted), a configuration is saved from a
// tree whose entries are all marked, and the journal is read back line by line.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "config/configuration.h"
#include "platform/registry.h"
#include "runner/job_run.h"
#include "runner/job_run_journal.h"
#include "tests/runner/run_helpers.h"
#include "tests/support/test_support.h"

#ifdef _WIN32
#include "tests/support/programs.h"
#endif

namespace testrunner {

// Paths with the system's separator: the settings store takes them as they are.
#ifdef _WIN32
inline constexpr char kSep = '\\';
#else
inline constexpr char kSep = '/';
#endif

inline std::string Join(const std::string& folder, const std::string& name) {
  return folder + kSep + name;
}

// Every entry counts as marked; items are numbered in the order of adding.
class MarkedTree : public ConfigurationTree {
 public:
  void Add(InfobaseEntry e) {
    e.item = entries_.size() + 1;
    entries_.push_back(std::move(e));
  }
  void RebuildFromRegistry(platform::Registry&) override {}
  void ApplyAdditionalTasks(const AdditionalTasks&) override {}
  void ApplyInfobaseRecord(const InfobaseRecord&) override {}
  void ApplySchedule(const ScheduleEntry&) override {}
  void SortGroups() override {}
  const std::vector<InfobaseEntry>& InfobaseEntries() const override { return entries_; }
  const std::vector<ScheduleEntry>& ScheduleEntries() const override { return schedules_; }
  Mark GetMark(ItemHandle) const override { return Mark::Marked; }

 private:
  std::vector<InfobaseEntry> entries_;
  std::vector<ScheduleEntry> schedules_;
};

// Points the temporary folder (TMP on Windows, TMPDIR elsewhere) at a folder for the
// fixture's life.
class TempFolderScope {
 public:
  explicit TempFolderScope(const std::string& folder) : saved_(platform::fs::TempPath()) {
    Set(folder);
  }
  ~TempFolderScope() { Set(saved_); }

 private:
  static void Set(const std::string& folder) {
#ifdef _WIN32
    SetEnvironmentVariableW(L"TMP", platform::Widen(folder).c_str());
#else
    setenv("TMPDIR", folder.c_str(), 1);
#endif
  }
  std::string saved_;
};

class JobRunTest : public testing::Test {
 protected:
  JobRunTest()
      : root_(scratch_.path()),
        temp_(Join(root_, "tmp")),
        data_(Join(root_, "data")),
        tempScope_(temp_),
        run_(Seams(), registry_, FileErrorRecorder()) {
    options().BinaryDirectory = Join(root_, "1cv7.exe");
    Write(options().BinaryDirectory, "MZ");
    options().DestinationDirectory = Join(root_, "Архив");
    options().JournalFileName = "Journal.txt";
    options().ClearJournal = 1;
  }

  // No run leaves a "~pak" file in the temporary folder.
  ~JobRunTest() override {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(FsPath(temp_), ec))
      EXPECT_NE(e.path().filename().string().rfind("~pa", 0), 0u) << "left behind";
  }

  GeneralOptions& options() { return config_.options; }
  std::string ConfigPath() const { return Join(data_, "Ночь.cfg"); }
  std::string JournalPath() const { return Join(data_, "Journal.txt"); }

  // An infobase folder below the scratch root, with a metadata file; its path ends
  // with the separator, as registered infobase paths do.
  std::string MakeInfobase(const std::string& name) {
    std::string folder = Join(root_, name);
    platform::fs::CreateFolder(folder);
    Write(Join(folder, "1cv7.md"), "metadata");
    return folder + kSep;
  }
  // Such a folder added to the tree as an infobase with the jobs of e.
  InfobaseEntry AddInfobase(const std::string& name, InfobaseEntry e = {}) {
    e.BaseName = name;
    e.path = MakeInfobase(name);
    tree_.Add(e);
    return e;
  }

  // Saves the configuration as the operator's file.
  void SaveConfigFile() {
    ConfigurationSeams seams = ConfigSeams();
    SaveConfiguration(SaveTarget::CurrentFile, ConfigPath(), config_, tree_, seams);
    ASSERT_TRUE(platform::fs::FileExists(ConfigPath()));
  }

  // Starts a run of the tree (or, autoRun, of the saved file) and waits for its end.
  StartResult RunToEnd(bool autoRun = false) {
    StartResult started = Start(autoRun);
    if (started == StartResult::Started) {
      EXPECT_TRUE(WaitFinished()) << "the run did not finish";
      EXPECT_TRUE(run_.FinishRun());
    }
    return started;
  }

  StartResult Start(bool autoRun = false) {
    configSeams_.emplace(ConfigSeams());
    RunSource source{{ConfigPath(), root_, data_}, std::nullopt};
    if (!autoRun) source.window.emplace(config_, tree_, *configSeams_, modified_);
    return run_.StartRun(source);
  }

  bool WaitFinished() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(60), [&] { return finished_; });
  }

  // The journal's lines; the date line of the header must match its pattern and is
  // replaced by "<date>".
  std::vector<std::string> JournalLines() {
    std::string text = Read(JournalPath());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
      lines.push_back(text.substr(start, end - start));
    if (start != text.size()) lines.push_back("<unterminated>" + text.substr(start));
    static const std::regex date("Дата [0-9]{1,2}/[0-9]{2}/[0-9]{4} Время [0-9]{2}:[0-9]{2}");
    for (std::string& l : lines)
      if (std::regex_match(l, date)) l = "<date>";
    return lines;
  }

  std::vector<std::string> WithHeader(std::initializer_list<std::string> lines) const {
    std::vector<std::string> all{kStarsLine, "<date>",
                                 "Имя файла настройки \"" + ConfigPath() + "\""};
    all.insert(all.end(), lines);
    return all;
  }

  std::vector<std::string> Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }

  ScratchFolder scratch_;
  std::string root_, temp_, data_;
  TempFolderScope tempScope_;
  platform::MemoryRegistry registry_;
  Configuration config_;
  MarkedTree tree_;
  bool modified_ = false;
  // Hooks the tests set before starting.
  std::function<void(const InfobaseEntry&)> onJobStarted;
  std::function<Answer()> answer = [] { return Answer::No; };
  std::function<void()> onRunFinished;
  std::function<void()> onBeforeWorker;

 private:
  std::optional<ConfigurationSeams> configSeams_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool finished_ = false;
  std::vector<std::string> events_;

 protected:
  JobRun run_;  // last: its worker reports into the members above until it is joined

 private:
  ConfigurationSeams ConfigSeams() {
    ConfigurationSeams seams(registry_, FileErrorRecorder());
    seams.showError = [this](const std::string& text) { Record("error: " + text); };
    return seams;
  }

  platform::FileErrorReporter FileErrorRecorder() {
    return [this](const platform::FileError&) { Record("file error"); };
  }

  RunSeams Seams() {
    platform::fs::CreateFolder(temp_);
    platform::fs::CreateFolder(data_);
    RunSeams seams;
    seams.jobStarted = [this](const InfobaseEntry& e) {
      Record("started " + e.BaseName);
      if (onJobStarted) onJobStarted(e);
    };
    seams.runFinished = [this] {
      if (onRunFinished) onRunFinished();
      std::lock_guard lock(mutex_);
      events_.push_back("finished");
      finished_ = true;
      changed_.notify_all();
    };
    seams.showMessage = [this](const std::string& text) { Record("message: " + text); };
    seams.ask = [this](const std::string& text) {
      Record("ask: " + text);
      return answer();
    };
    seams.beforeWorker = [this] {
      if (onBeforeWorker) onBeforeWorker();
    };
    seams.msPerTimeoutMinute = 300;  // "TimeOut" 1 waits 300 ms
    return seams;
  }

  void Record(const std::string& event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
  }
};

// Concatenates line lists.
inline std::vector<std::string> operator+(std::vector<std::string> a,
                                          const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace testrunner
