// ReadUserList against real compound files made with the structured-storage API.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include "platform/codepage.h"
#include "platform/fs.h"
#include "tests/support/scratch.h"
#include "tests/tree/compound_file.h"
#include "tree/user_list.h"

namespace {

using Names = std::vector<std::string>;

using testtree::kTwoUsers;
using testtree::WriteCompoundFile;

class UserListFile : public testing::Test {
 protected:
  UserListFile() { platform::fs::CreateFolder(infobase_ + "usrdef"); }
  // Starts from a non-empty list, to see that a failure clears it.
  bool Read(Names& names) {
    names = {"stale"};
    return ReadUserList(infobase_, names);
  }

  testsupport::ScratchFolder scratch_;  // its Cyrillic name crosses as code page 1251
  std::string infobase_ = scratch_ / "";
  std::wstring file_ = platform::Widen(infobase_ + "usrdef\\users.usr");
};

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

  testsupport::Write(infobase_ + "usrdef\\users.usr", kTwoUsers);
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
  EXPECT_EQ(names, (Names{"Admin", "Иванов"}));
}

}  // namespace
