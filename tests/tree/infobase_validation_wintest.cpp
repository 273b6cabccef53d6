// Validation of a marked infobase against its real users file.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include "platform/codepage.h"
#include "tests/config/config_fixture.h"
#include "tree/infobase_tree.h"
#include "tree/user_list.h"

namespace {

bool WriteUsersFile(const std::string& infobase, const std::string& contents) {
  CreateDirectoryW(platform::Widen(infobase + "usrdef").c_str(), nullptr);
  const DWORD mode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
  IStorage* stg = nullptr;
  IStream* stream = nullptr;
  if (FAILED(StgCreateDocfile(platform::Widen(infobase + "usrdef\\users.usr").c_str(), mode, 0,
                              &stg))) {
    return false;
  }
  bool ok = SUCCEEDED(stg->CreateStream(L"Container.Contents", mode, 0, 0, &stream));
  if (ok) {
    ok = SUCCEEDED(stream->Write(contents.data(), static_cast<ULONG>(contents.size()), nullptr));
    stream->Release();
  }
  stg->Release();
  return ok;
}

TEST(InfobaseValidationWinTest, UserNameIsCheckedOnlyWhenTheUsersFileNamesUsers) {
  fixture::TempDir dir;
  const std::string infobase = dir.Path("base") + "\\";
  CreateDirectoryW(platform::Widen(infobase).c_str(), nullptr);
  platform::MemoryRegistry registry;
  fixture::RegisterInfobases(registry, {{infobase, "База"}});
  InfobaseTree tree(ReadUserList, [] {});
  tree.RebuildFromRegistry(registry);
  InfobaseEntry e = tree.InfobaseEntries()[0];
  e.UserName = "Иванов";
  e.SaveData = 1;
  tree.StoreInfobase(e);

  tree.ToggleMark(e.item);  // no users file: any name is accepted
  EXPECT_EQ(tree.GetMark(e.item), 1);

  ASSERT_TRUE(WriteUsersFile(infobase, R"({"Users",{"1","u1","Admin","d"}})"));
  EXPECT_EQ(tree.ValidateInfobase(e.item), 0);
  EXPECT_EQ(tree.GetMark(e.item), 3);

  ASSERT_TRUE(WriteUsersFile(infobase, R"({"Users",{"1","u1","Admin","d"},{"2","u2","Иванов","d"}})"));
  EXPECT_EQ(tree.ValidateInfobase(e.item), 1);
  EXPECT_EQ(tree.GetMark(e.item), 1);
}

}  // namespace
