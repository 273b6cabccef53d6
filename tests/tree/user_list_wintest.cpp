// ReadUserList against real compound files made with the structured-storage API, alone
// and as the tree validates a marked infobase with it.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/codepage.h"
#include "tests/config/config_fixture.h"
#include "tests/tree/compound_file.h"
#include "tree/infobase_tree.h"
#include "tree/user_list.h"

namespace {

using Names = std::vector<std::string>;

using testtree::kTwoUsers;
using testtree::WriteCompoundFile;

class UserListFile : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    root_ = std::filesystem::temp_directory_path() / ("zv_users_" + std::to_string(rd()));
    // The infobase folder has a Cyrillic name: the path must cross as code page 1251.
    auto usrdef = root_ / L"\u0411\u0430\u0437\u0430 1" / "usrdef";
    std::filesystem::create_directories(usrdef);
    infobase_ = platform::Narrow(usrdef.parent_path().wstring()) + "\\";
    file_ = (usrdef / "users.usr").wstring();
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  // Starts from a non-empty list, to see that a failure clears it.
  bool Read(Names& names) {
    names = {"stale"};
    return ReadUserList(infobase_, names);
  }

  std::filesystem::path root_;
  std::string infobase_;
  std::wstring file_;
};

TEST_F(UserListFile, ReadsTheNamesOfTheUsersStream) {
  ASSERT_TRUE(WriteCompoundFile(file_, L"Container.Contents", kTwoUsers));
  Names names;
  ASSERT_TRUE(Read(names));
  EXPECT_EQ(names, (Names{"Admin", "Иванов"}));
}

TEST_F(UserListFile, FailsWithoutAReadableListOfNames) {
  Names names;
  EXPECT_FALSE(Read(names)) << "no file";
  EXPECT_TRUE(names.empty());
  ASSERT_TRUE(WriteCompoundFile(file_, L"Other", kTwoUsers));
  EXPECT_FALSE(Read(names)) << "no such stream";
  EXPECT_TRUE(names.empty());
  ASSERT_TRUE(WriteCompoundFile(file_, L"Container.Contents", R"({{"1","2","3}})"));
  EXPECT_FALSE(Read(names)) << "no name in the stream";
  // A damaged file may claim a huge stream: it is refused, not read into memory.
  ASSERT_TRUE(WriteCompoundFile(file_, L"Container.Contents", kTwoUsers, 17ull << 20));
  EXPECT_FALSE(Read(names)) << "implausibly large stream";

  std::filesystem::remove(file_);
  std::ofstream(std::filesystem::path(file_), std::ios::binary) << kTwoUsers;
  EXPECT_FALSE(Read(names)) << "plain file";
  EXPECT_TRUE(names.empty());
  EXPECT_FALSE(ReadUserList(std::string(300, 'a') + "\\", names)) << "path too long";
}

TEST_F(UserListFile, FailsWhileAnotherProgramWritesTheFile) {
  ASSERT_TRUE(WriteCompoundFile(file_, L"Container.Contents", kTwoUsers));
  IStorage* other = nullptr;
  ASSERT_HRESULT_SUCCEEDED(StgOpenStorage(
      file_.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &other));
  Names names;
  EXPECT_FALSE(Read(names));
  other->Release();
  EXPECT_TRUE(Read(names));
}

TEST_F(UserListFile, ValidationChecksTheUserNameOnlyWhenTheFileNamesUsers) {
  platform::MemoryRegistry registry;
  fixture::RegisterInfobases(registry, {{infobase_, "База"}});
  InfobaseTree tree(ReadUserList, [] {});
  tree.RebuildFromRegistry(registry);
  InfobaseEntry e = tree.InfobaseEntries()[0];
  e.UserName = "Иванов";
  e.SaveData = 1;
  tree.StoreInfobase(e);
  tree.ToggleMark(e.item);  // no users file: any name is accepted
  EXPECT_EQ(tree.GetMark(e.item), Mark::Marked);

  ASSERT_TRUE(
      WriteCompoundFile(file_, L"Container.Contents", R"({"Users",{"1","u1","Admin","d"}})"));
  EXPECT_EQ(tree.ValidateInfobase(e.item), Validity::Blocked);
  EXPECT_EQ(tree.GetMark(e.item), Mark::Blocked);
  ASSERT_TRUE(WriteCompoundFile(file_, L"Container.Contents", kTwoUsers));
  EXPECT_EQ(tree.ValidateInfobase(e.item), Validity::MayRun);
}

}  // namespace
