// One set of behaviour tests for both registries: the in-memory one everywhere and, in
// the Windows build, the real registry under a scratch key of HKEY_CURRENT_USER.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#ifdef _WIN32
#include <windows.h>
#endif

using platform::RegNamedValue;
using platform::RegRoot;
using platform::RegValue;
using Names = std::vector<std::string>;

namespace {

constexpr RegRoot kCU = RegRoot::CurrentUser;

struct RegistryKind {
  const char* name;
  std::unique_ptr<platform::Registry> (*make)();
};

class RegistryBehaviour : public testing::TestWithParam<RegistryKind> {
 protected:
  void SetUp() override {
    std::random_device rd;
    base_ = "Software\\ZorvanTests\\" + std::to_string(rd()) + std::to_string(rd());
    reg_ = GetParam().make();
    ASSERT_TRUE(reg_ && reg_->CreateKey(kCU, base_));
  }
  void TearDown() override {
    if (reg_) DeleteTree(base_);
    if (reg_) reg_->DeleteKey(kCU, "Software\\ZorvanTests");  // fails while others use it
  }
  void DeleteTree(const std::string& path) {
    for (const auto& s : reg_->EnumSubkeys(kCU, path).value_or(Names{}))
      DeleteTree(path + "\\" + s);
    reg_->DeleteKey(kCU, path);
  }
  std::string Sub(const std::string& rest) const { return base_ + "\\" + rest; }

  std::unique_ptr<platform::Registry> reg_;
  std::string base_;
};

// Subkeys are listed by name whatever the creation order; Wine and Windows agree on
// names of letters and digits.
TEST_P(RegistryBehaviour, CreatesListsAndDeletesKeysIgnoringCase) {
  ASSERT_TRUE(reg_->CreateKey(kCU, Sub("bc\\Child\\Grandchild")));
  for (const char* name : {"B1", "a", "Ba", "BC"}) ASSERT_TRUE(reg_->CreateKey(kCU, Sub(name)));
  EXPECT_TRUE(reg_->KeyExists(kCU, Sub("BC\\child")));
  EXPECT_FALSE(reg_->KeyExists(kCU, Sub("a\\child")));
  EXPECT_EQ(reg_->EnumSubkeys(kCU, base_), (Names{"a", "B1", "Ba", "bc"}));
  EXPECT_EQ(reg_->EnumSubkeys(kCU, Sub("a")), Names{});
  EXPECT_FALSE(reg_->EnumSubkeys(kCU, Sub("missing")));

  EXPECT_FALSE(reg_->DeleteKey(kCU, Sub("bc\\child"))) << "has a subkey";
  EXPECT_TRUE(reg_->DeleteKey(kCU, Sub("BC\\CHILD\\grandchild")));
  EXPECT_TRUE(reg_->DeleteKey(kCU, Sub("bc\\child")));
  EXPECT_FALSE(reg_->DeleteKey(kCU, Sub("bc\\child"))) << "already gone";
  EXPECT_EQ(reg_->EnumSubkeys(kCU, Sub("bc")), Names{});
}

TEST_P(RegistryBehaviour, RoundTripsValuesOnlyInExistingKeys) {
  const std::vector<std::pair<std::string, RegValue>> cases = {
      {"text", RegValue::String("Файл настройки")},
      {"empty text", RegValue::String("")},
      {"", RegValue::String("default value")},
      {"C:\\Базы\\Торговля\\1cv7.cfg", RegValue::String("x")},
      {"dword", RegValue::Dword(0xDEADBEEF)},
      {"binary", RegValue::Binary(std::string("\x01\x00\xFF\x00", 4))},
      {"empty binary", RegValue::Binary("")},
  };
  for (const auto& [name, value] : cases) {
    ASSERT_TRUE(reg_->WriteValue(kCU, base_, name, value)) << name;
    EXPECT_EQ(reg_->ReadValue(kCU, base_, name), value) << name;
  }
  EXPECT_EQ(reg_->ReadValue(kCU, base_, "DWORD")->AsDword(), 0xDEADBEEFu);
  ASSERT_TRUE(reg_->WriteValue(kCU, base_, "cut", RegValue::String(std::string("ab\0cd", 5))));
  EXPECT_EQ(reg_->ReadValue(kCU, base_, "cut"), RegValue::String("ab"));

  EXPECT_FALSE(reg_->WriteValue(kCU, Sub("missing"), "v", RegValue::Dword(1)));
  EXPECT_FALSE(reg_->KeyExists(kCU, Sub("missing"))) << "a write creates no key";
  EXPECT_FALSE(reg_->ReadValue(kCU, Sub("missing"), "v"));
  EXPECT_FALSE(reg_->ReadValue(kCU, base_, "v"));
  EXPECT_FALSE(reg_->EnumValues(kCU, Sub("missing")));
}

// Value order is the registry's own (Windows: as written; Wine: sorted): compare sorted.
TEST_P(RegistryBehaviour, OverwritesAndDeletesValuesIgnoringCase) {
  for (const char* name : {"b", "a", "c"}) reg_->WriteValue(kCU, base_, name, RegValue::Dword(1));
  ASSERT_TRUE(reg_->WriteValue(kCU, base_, "B", RegValue::Binary("xyz")));
  EXPECT_TRUE(reg_->DeleteValue(kCU, base_, "A"));
  EXPECT_FALSE(reg_->DeleteValue(kCU, base_, "A"));
  auto values = reg_->EnumValues(kCU, base_);
  ASSERT_TRUE(values);
  std::sort(values->begin(), values->end(),
            [](const auto& x, const auto& y) { return x.name < y.name; });
  EXPECT_EQ(*values, (std::vector<RegNamedValue>{{"b", RegValue::Binary("xyz")},
                                                 {"c", RegValue::Dword(1)}}));
}

std::unique_ptr<platform::Registry> MakeMemory() {
  return std::make_unique<platform::MemoryRegistry>();
}

INSTANTIATE_TEST_SUITE_P(All, RegistryBehaviour,
                         testing::Values(RegistryKind{"Memory", MakeMemory}
#ifdef _WIN32
                                         ,
                                         RegistryKind{"Win32", platform::MakeWin32Registry}
#endif
                                         ),
                         [](const auto& info) { return std::string(info.param.name); });

// Where Windows is the model: values as first written, subkeys by upper-case name.
TEST(MemoryRegistry, EnumeratesInWindowsOrderAndKeepsTheRootsApart) {
  platform::MemoryRegistry reg;
  ASSERT_TRUE(reg.CreateKey(kCU, "K"));
  for (const char* name : {"b", "a", "B"}) reg.WriteValue(kCU, "K", name, RegValue::Dword(1));
  auto values = reg.EnumValues(kCU, "K");
  ASSERT_EQ(values->size(), 2u);
  EXPECT_EQ((*values)[0].name, "b");
  for (const char* name : {"b_x", "Bz"}) reg.CreateKey(kCU, std::string("K\\") + name);
  EXPECT_EQ(reg.EnumSubkeys(kCU, "K"), (Names{"Bz", "b_x"}));

  ASSERT_TRUE(reg.CreateKey(RegRoot::LocalMachine, "SOFTWARE\\Zorvan"));
  EXPECT_FALSE(reg.KeyExists(kCU, "SOFTWARE\\Zorvan"));
  EXPECT_FALSE(reg.CreateKey(kCU, "SOFTWARE\\\\Zorvan"));
  EXPECT_FALSE(reg.DeleteKey(kCU, ""));
}

#ifdef _WIN32
// The Win32 adapter against values written with the plain W functions.
TEST(Win32Registry, ConvertsNamesAndTextsWithCodePage1251AndSkipsForeignTypes) {
  std::random_device rd;
  std::string path = "Software\\ZorvanTests\\w" + std::to_string(rd());
  auto reg = platform::MakeWin32Registry();
  ASSERT_TRUE(reg->CreateKey(kCU, path));

  // Written in the process's own view: the current user's keys are shared by both views.
  const std::wstring wpath(path.begin(), path.end());
  const wchar_t text[] = L"\u0424\u0430\u0439\u043b";  // the word for "file" in Russian
  for (const auto& [name, type] :
       {std::pair{L"\u0418\u043c\u044f", REG_SZ}, {L"expand", REG_EXPAND_SZ}})
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, wpath.c_str(), name, type, text, sizeof text),
              ERROR_SUCCESS);

  EXPECT_EQ(reg->ReadValue(kCU, path, "Имя"), RegValue::String("Файл"));
  EXPECT_FALSE(reg->ReadValue(kCU, path, "expand"));
  auto values = reg->EnumValues(kCU, path);
  ASSERT_TRUE(values);
  ASSERT_EQ(values->size(), 1u);
  EXPECT_EQ((*values)[0].name, "Имя");

  EXPECT_TRUE(reg->DeleteKey(kCU, path));
  reg->DeleteKey(kCU, "Software\\ZorvanTests");
}
#endif

}  // namespace
