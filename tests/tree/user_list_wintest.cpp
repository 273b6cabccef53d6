// ReadUserList against real compound files made with the structured-storage API.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <fstream>

#include "platform/codepage.h"
#include "platform/fs.h"
#include "tests/support/scratch.h"
#include "tree/user_list.h"

namespace {

using Names = std::vector<std::string>;

const char kTwoUsers[] = R"({"Users",{"1","u1","Admin","d"},{"2","u2","Иванов","d"}})";

// Writes a compound file with one stream of the given content, grown to size if larger.
bool WriteCompoundFile(const std::wstring& path, const wchar_t* streamName,
                       const std::string& content, ULONGLONG size = 0) {
  const DWORD mode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
  IStorage* stg = nullptr;
  IStream* stream = nullptr;
  if (FAILED(StgCreateDocfile(path.c_str(), mode, 0, &stg))) return false;
  bool ok = SUCCEEDED(stg->CreateStream(streamName, mode, 0, 0, &stream));
  if (ok) {
    ok = SUCCEEDED(stream->Write(content.data(), static_cast<ULONG>(content.size()), nullptr));
    ULARGE_INTEGER newSize;
    newSize.QuadPart = size;
    if (size) ok = ok && SUCCEEDED(stream->SetSize(newSize));
    stream->Release();
  }
  stg->Release();
  return ok;
}

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
}

}  // namespace
