// The main window on real files, driven by control ids: options, enabling, naming, the
// file commands and closing.
#include "tests/app/window_fixture.h"


namespace apptest {
namespace {

TEST_F(WindowTest, OptionsShowEditAndSaveRoundTrip) {
  WriteConfig("a.cfg", {.DestinationDirectory = "D:\\Архив", .CopyCount = 4, .SaveMode = 0,
                        .JournalFileName = "Журнал.txt", .TimeOut = 15,
                        .TerminateAfterTimeOut = 1});
  Open("a.cfg");
  EXPECT_EQ(Text(IDC_COPY_COUNT), "4");
  EXPECT_TRUE(Checked(IDC_OVERWRITE));
  EXPECT_EQ(Text(IDC_JOURNAL_NAME), "Журнал.txt");
  EXPECT_EQ(Text(IDC_TIMEOUT), "15");
  EXPECT_TRUE(Checked(IDC_TERMINATE));
  EXPECT_EQ(Text(IDC_CONFIG_NAME), "a.cfg");
  EXPECT_EQ(Title(), app::kWindowTitle);
  EXPECT_FALSE(Enabled(IDC_APPLY));

  Command(IDC_ARCHIVE_TOGGLE);  // clears the archive folder, a second press restores it
  EXPECT_EQ(Text(IDC_ARCHIVE_FOLDER), "");
  EXPECT_EQ(Title(), std::string(app::kWindowTitle) + "*");
  Command(IDC_ARCHIVE_TOGGLE);
  SetText(IDC_COPY_COUNT, "7");
  EXPECT_TRUE(Enabled(IDC_APPLY));
  Click(IDC_KEEP);
  SetText(IDC_JOURNAL_NAME, "C:\\Журналы\\run.log");
  Click(IDC_CLEAR_JOURNAL);
  SetText(IDC_TIMEOUT, "120");
  Click(IDC_TERMINATE);
  Click(IDC_SHUTDOWN_AFTER);
  chosenFile = "C:\\1Cv77\\BIN\\1cv7s.exe";
  Command(IDC_ENTERPRISE_CHOOSE);  // no installations registered: the file dialog
  Command(IDC_APPLY);
  EXPECT_EQ(Title(), app::kWindowTitle);
  EXPECT_FALSE(Enabled(IDC_APPLY));

  EXPECT_EQ(Reload("a.cfg").options,
            (GeneralOptions{.BinaryDirectory = "C:\\1Cv77\\BIN\\1cv7s.exe",
                            .DestinationDirectory = "D:\\Архив", .CopyCount = 7, .SaveMode = 1,
                            .JournalFileName = "C:\\Журналы\\run.log", .ClearJournal = 1,
                            .TimeOut = 120, .QuitAfterSave = 1, .ShutDownAfterSave = 1}));
  EXPECT_EQ(registry.ReadValue(platform::RegRoot::CurrentUser, "SOFTWARE\\Zorvan", "LastConfig"),
            platform::RegValue::String(ConfigAt("a.cfg")));
}

TEST_F(WindowTest, DependentEnablingFollowsTheOptions) {
  WriteConfig("a.cfg", GeneralOptions{});
  Open("a.cfg");
  struct Step {
    int control;
    const char* text;  // nullptr: a click
    int watched;
    bool enabled, checked;
  } steps[] = {
      {IDC_JOURNAL, nullptr, IDC_JOURNAL_NAME, false, false},
      {IDC_JOURNAL, nullptr, IDC_CLEAR_JOURNAL, true, false},
      {IDC_TERMINATE, nullptr, IDC_TERMINATE, true, true},
      {IDC_TIMEOUT, "0", IDC_TERMINATE, false, false},
      {IDC_TIMEOUT, "5", IDC_TERMINATE, true, false},
      {IDC_SHUTDOWN_AFTER, nullptr, IDC_QUIT_AFTER, false, true},
      {IDC_SHUTDOWN_AFTER, nullptr, IDC_QUIT_AFTER, true, true},  // stays ticked
  };
  for (const Step& s : steps) {
    s.text ? SetText(s.control, s.text) : Click(s.control);
    EXPECT_EQ(Enabled(s.watched), s.enabled) << s.control;
    if (s.watched != IDC_JOURNAL_NAME) EXPECT_EQ(Checked(s.watched), s.checked) << s.control;
  }
  EXPECT_FALSE(Enabled(IDC_JOURNAL_NAME_LABEL) && !Enabled(IDC_JOURNAL));
}

TEST_F(WindowTest, NewNameEscRestoresAndTabOpensTheTypedConfiguration) {
  WriteConfig("a.cfg", {.CopyCount = 3});
  Open("a.cfg");
  Command(IDC_NEW);
  EXPECT_EQ(Text(IDC_CONFIG_NAME), "new.cfg");
  EXPECT_EQ(GetFocus(), Item(IDC_CONFIG_NAME));
  Key(IDC_CONFIG_NAME, VK_ESCAPE);
  ASSERT_NE(Dialog(), nullptr);  // Esc in the name field does not close the window
  EXPECT_EQ(Text(IDC_CONFIG_NAME), "a.cfg");
  EXPECT_EQ(GetFocus(), Item(IDC_NEW));

  Command(IDC_NEW);
  SetText(IDC_CONFIG_NAME, "weekly");
  SetFocus(Item(IDC_TREE));  // the field loses the focus: the name is taken
  window->Pump();
  EXPECT_EQ(Text(IDC_CONFIG_NAME), "weekly.cfg");
  EXPECT_EQ(window->Controller().ConfigPath(), ConfigAt("weekly.cfg"));
  EXPECT_EQ(Text(IDC_COPY_COUNT), "3");  // the options stay as they were
  EXPECT_EQ(Title(), app::kWindowTitle);
  EXPECT_EQ(GetWindowLongW(Item(IDC_CONFIG_NAME), GWL_STYLE) & ES_READONLY, ES_READONLY);
  Command(IDC_APPLY);
  EXPECT_EQ(Reload("weekly.cfg").options.CopyCount, 3u);
}

TEST_F(WindowTest, CtrlSSavesFromAnyControlEnterMovesOnAndEscCloses) {
  WriteConfig("a.cfg", GeneralOptions{});
  Open("a.cfg");
  SetText(IDC_COPY_COUNT, "6");
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  Key(IDC_TIMEOUT, 'S');
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(Title(), app::kWindowTitle);
  EXPECT_EQ(Reload("a.cfg").options.CopyCount, 6u);
  // Enter moves the focus on; Esc outside the name field closes.
  Key(IDC_TIMEOUT, VK_RETURN);
  ASSERT_NE(Dialog(), nullptr);
  EXPECT_NE(GetFocus(), Item(IDC_TIMEOUT));
  Key(IDC_TIMEOUT, VK_ESCAPE);
  EXPECT_EQ(window->Handle(), nullptr);
}

TEST_F(WindowTest, SaveAsAndOpenTakeTheChosenFile) {
  WriteConfig("a.cfg", GeneralOptions{});
  Open("a.cfg");
  struct Case {
    const char* chosen;
    const char* shown;
  } cases[] = {{"nightly", "nightly.cfg"}, {"x.CFG", "x.CFG"}};
  for (const Case& c : cases) {
    chosenFile = ConfigAt(c.chosen);
    Command(IDC_SAVE_AS);
    EXPECT_EQ(Text(IDC_CONFIG_NAME), c.shown);
    EXPECT_NE(Read(ConfigAt(c.shown)), "<missing>");
  }
  SetText(IDC_COPY_COUNT, "2");
  chosenFile = ConfigAt("a.cfg");
  answers = {Answer::Cancel};
  Command(IDC_OPEN);  // modified: the question; Cancel keeps everything
  EXPECT_EQ(Text(IDC_CONFIG_NAME), "x.CFG");
  answers = {Answer::No};
  Command(IDC_OPEN);
  EXPECT_EQ(Text(IDC_CONFIG_NAME), "a.cfg");
  EXPECT_EQ(Text(IDC_COPY_COUNT), "1");
  EXPECT_EQ(questions.size(), 2u);
}

// A file that is no configuration is saved over only when the operator says so.
TEST_F(WindowTest, AFileThatCouldNotBeReadIsNotWrittenOverWithoutAsking) {
  testsupport::Write(ConfigAt("damaged.cfg"), "not a configuration file");
  Open("damaged.cfg");
  ASSERT_EQ(messages.size(), 1u);
  answers = {Answer::No, Answer::Yes};
  Command(IDC_APPLY);
  EXPECT_EQ(Read(ConfigAt("damaged.cfg")), "not a configuration file");
  Command(IDC_APPLY);
  Command(IDC_APPLY);  // readable now: no more question
  EXPECT_EQ(questions.size(), 2u);
  EXPECT_EQ(app::ProbeConfigFile(ConfigAt("damaged.cfg")), app::ConfigFileState::Readable);
}

TEST_F(WindowTest, CloseAsksOnlyWhenModified) {
  struct Case {
    bool modify;
    Answer answer;
    bool closed;
    uint32_t savedCopies;
  } cases[] = {
      {false, Answer::Cancel, true, 1},
      {true, Answer::Cancel, false, 1},
      {true, Answer::No, true, 1},
      {true, Answer::Yes, true, 5},
  };
  for (const Case& c : cases) {
    WriteConfig("a.cfg", GeneralOptions{});
    Open("a.cfg");
    if (c.modify) SetText(IDC_COPY_COUNT, "5");
    answers = {c.answer};
    questions.clear();
    SendMessageW(Dialog(), WM_CLOSE, 0, 0);
    window->Pump();
    EXPECT_EQ(window->Handle() == nullptr, c.closed);
    EXPECT_EQ(questions.size(), c.modify ? 1u : 0u);
    EXPECT_EQ(Reload("a.cfg").options.CopyCount, c.savedCopies);
    window.reset();
  }
}

}  // namespace
}  // namespace apptest
