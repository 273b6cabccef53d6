// The Win32 registry adapter against values written with the plain W functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>

#include "platform/registry.h"

namespace {

TEST(Win32Registry, ConvertsNamesAndTextsWithCodePage1251AndSkipsForeignTypes) {
  std::random_device rd;
  std::string path = "Software\\ZorvanTests\\w" + std::to_string(rd());
  auto reg = platform::MakeWin32Registry();
  ASSERT_TRUE(reg->CreateKey(platform::RegRoot::CurrentUser, path));

  // Written in the process's own view: the current user's keys are shared by both views.
  HKEY key = nullptr;
  std::wstring wpath(path.begin(), path.end());
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, wpath.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const wchar_t text[] = L"\u0424\u0430\u0439\u043b";  // the word for "file" in Russian
  RegSetValueExW(key, L"\u0418\u043c\u044f", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 sizeof text);
  RegSetValueExW(key, L"expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(text),
                 sizeof text);
  RegCloseKey(key);

  auto value = reg->ReadValue(platform::RegRoot::CurrentUser, path, "Имя");
  ASSERT_TRUE(value);
  EXPECT_EQ(*value, platform::RegValue::String("Файл"));
  EXPECT_FALSE(reg->ReadValue(platform::RegRoot::CurrentUser, path, "expand"));
  auto values = reg->EnumValues(platform::RegRoot::CurrentUser, path);
  ASSERT_TRUE(values);
  ASSERT_EQ(values->size(), 1u);
  EXPECT_EQ((*values)[0].name, "Имя");

  EXPECT_TRUE(reg->DeleteKey(platform::RegRoot::CurrentUser, path));
  reg->DeleteKey(platform::RegRoot::CurrentUser, "Software\\ZorvanTests");
}

}  // namespace
