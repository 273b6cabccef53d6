// ReadUserList against real compound files made with the structured-storage API.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <random>

#include "platform/codepage.h"
#include "tree/user_list.h"

namespace {

using Names = std::vector<std::string>;

const char kTwoUsers[] = R"({"Users",{"1","u1","Admin","d"},{"2","u2","Иванов","d"}})";

// Writes a compound file at path with one stream (none when streamName is null).
bool WriteCompoundFile(const std::wstring& path, const wchar_t* streamName,
                       const std::string& content, ULONGLONG size = 0) {
  IStorage* stg = nullptr;
  if (FAILED(StgCreateDocfile(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                              &stg)))
    return false;
  bool ok = true;
  if (streamName) {
    IStream* stream = nullptr;
    ok = SUCCEEDED(stg->CreateStream(
        streamName, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream));
    if (ok) {
      ULONG written = 0;
      ok = SUCCEEDED(stream->Write(content.data(), static_cast<ULONG>(content.size()), &written));
      if (size)
        ok = ok && SUCCEEDED(stream->SetSize(
                       ULARGE_INTEGER{{static_cast<DWORD>(size), static_cast<DWORD>(size >> 32)}}));
      stream->Release();
    }
  }
  stg->Release();
  return ok;
}

class UserListFile : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::random_device rd;
    base_ = platform::Narrow(temp) + "zv_users_" + std::to_string(rd()) + "\\";
    infobase_ = base_ + "База 1\\";
    ASSERT_TRUE(CreateDirectoryW(platform::Widen(base_).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(platform::Widen(infobase_).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(platform::Widen(infobase_ + "usrdef").c_str(), nullptr));
    file_ = platform::Widen(infobase_ + "usrdef\\users.usr");
  }
  void TearDown() override {
    DeleteFileW(file_.c_str());
    RemoveDirectoryW(platform::Widen(infobase_ + "usrdef").c_str());
    RemoveDirectoryW(platform::Widen(infobase_).c_str());
    RemoveDirectoryW(platform::Widen(base_).c_str());
  }
  // Reads the list starting from a non-empty vector, to see that failures clear it.
  bool Read(Names& names) {
    names = {"stale"};
    return ReadUserList(infobase_, names);
  }

  std::string base_, infobase_;
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

  DeleteFileW(file_.c_str());
  HANDLE h = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(h, kTwoUsers, sizeof kTwoUsers - 1, &written, nullptr);
  CloseHandle(h);
  EXPECT_FALSE(Read(names)) << "plain file";
  EXPECT_TRUE(names.empty());

  EXPECT_FALSE(ReadUserList(std::string(300, 'a') + "\\", names)) << "path too long";
}

// A damaged file may claim a huge stream: it is refused, not read into memory.
TEST_F(UserListFile, RefusesAnImplausiblyLargeStream) {
  ASSERT_TRUE(WriteCompoundFile(file_, L"Container.Contents", kTwoUsers, 17ull << 20));
  Names names;
  EXPECT_FALSE(Read(names));
}

TEST_F(UserListFile, ReadsBesideAReaderAndFailsBesideAWriter) {
  ASSERT_TRUE(WriteCompoundFile(file_, L"Container.Contents", kTwoUsers));
  Names names;
  IStorage* other = nullptr;
  ASSERT_HRESULT_SUCCEEDED(StgOpenStorage(file_.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE,
                                          nullptr, 0, &other));
  EXPECT_TRUE(Read(names));
  other->Release();

  ASSERT_HRESULT_SUCCEEDED(StgOpenStorage(
      file_.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &other));
  EXPECT_FALSE(Read(names));
  other->Release();
}

}  // namespace
