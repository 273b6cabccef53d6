// One set of behaviour tests for both registries: the in-memory one everywhere and, in
// the Windows build, the real registry under a scratch key of HKEY_CURRENT_USER.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/registry.h"

using platform::RegNamedValue;
using platform::Registry;
using platform::RegRoot;
using platform::RegType;
using platform::RegValue;

namespace {

constexpr RegRoot kCU = RegRoot::CurrentUser;

struct RegistryKind {
  const char* name;
  std::unique_ptr<Registry> (*make)();
};

std::string ScratchPath() {
  std::random_device rd;
  return "Software\\ZorvanTests\\" + std::to_string(rd()) + std::to_string(rd());
}

// Deletes a key and everything below it.
void DeleteTree(Registry& reg, const std::string& path) {
  if (auto subkeys = reg.EnumSubkeys(kCU, path))
    for (const auto& s : *subkeys) DeleteTree(reg, path + "\\" + s);
  reg.DeleteKey(kCU, path);
}

class RegistryBehaviour : public testing::TestWithParam<RegistryKind> {
 protected:
  void SetUp() override {
    reg_ = GetParam().make();
    ASSERT_TRUE(reg_);
    ASSERT_TRUE(reg_->CreateKey(kCU, base_));
  }
  void TearDown() override {
    if (!reg_) return;
    DeleteTree(*reg_, base_);
    EXPECT_FALSE(reg_->KeyExists(kCU, base_));
    reg_->DeleteKey(kCU, "Software\\ZorvanTests");  // only when no other run uses it
  }
  std::string Sub(const std::string& rest) const { return base_ + "\\" + rest; }

  std::unique_ptr<Registry> reg_;
  std::string base_ = ScratchPath();
};

TEST_P(RegistryBehaviour, CreatesKeysWithParentsAndFindsThemIgnoringCase) {
  EXPECT_FALSE(reg_->KeyExists(kCU, Sub("A")));
  ASSERT_TRUE(reg_->CreateKey(kCU, Sub("A\\B\\C")));
  EXPECT_TRUE(reg_->KeyExists(kCU, Sub("A\\B")));
  EXPECT_TRUE(reg_->KeyExists(kCU, Sub("a\\b\\c")));
  EXPECT_TRUE(reg_->CreateKey(kCU, Sub("A\\b")));  // existing key: success, no duplicate
  EXPECT_EQ(reg_->EnumSubkeys(kCU, Sub("A")), std::vector<std::string>{"B"});
  EXPECT_FALSE(reg_->KeyExists(kCU, Sub("A\\C")));
}

TEST_P(RegistryBehaviour, WritesOnlyIntoExistingKeys) {
  EXPECT_FALSE(reg_->WriteValue(kCU, Sub("Missing"), "v", RegValue::Dword(1)));
  EXPECT_FALSE(reg_->KeyExists(kCU, Sub("Missing")));
  EXPECT_FALSE(reg_->ReadValue(kCU, Sub("Missing"), "v"));
  EXPECT_FALSE(reg_->ReadValue(kCU, base_, "v"));
  EXPECT_FALSE(reg_->DeleteValue(kCU, base_, "v"));
  EXPECT_FALSE(reg_->EnumValues(kCU, Sub("Missing")));
  EXPECT_FALSE(reg_->EnumSubkeys(kCU, Sub("Missing")));
}

TEST_P(RegistryBehaviour, RoundTripsEveryValueType) {
  const std::string cyr = "Файл настройки";
  const std::string bin("\x01\x00\xFF\x00", 4);
  const std::vector<std::pair<std::string, RegValue>> cases = {
      {"text", RegValue::String(cyr)},
      {"empty text", RegValue::String("")},
      {"", RegValue::String("default value")},
      {"C:\\Базы\\Торговля\\1cv7.cfg", RegValue::String("x")},
      {"dword", RegValue::Dword(0xDEADBEEF)},
      {"binary", RegValue::Binary(bin)},
      {"empty binary", RegValue::Binary("")},
  };
  for (const auto& [name, value] : cases) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(reg_->WriteValue(kCU, base_, name, value));
    EXPECT_EQ(reg_->ReadValue(kCU, base_, name), value);
  }
  EXPECT_EQ(reg_->ReadValue(kCU, base_, "DWORD")->AsDword(), 0xDEADBEEFu);
  // A text ends at its first zero byte.
  ASSERT_TRUE(reg_->WriteValue(kCU, base_, "cut", RegValue::String(std::string("ab\0cd", 5))));
  EXPECT_EQ(reg_->ReadValue(kCU, base_, "cut"), RegValue::String("ab"));
}

// Value order is the registry's own (Windows: as written; Wine: sorted), so compare sorted.
TEST_P(RegistryBehaviour, OverwritesIgnoringCaseAndDeletesValues) {
  ASSERT_TRUE(reg_->WriteValue(kCU, base_, "b", RegValue::String("1")));
  ASSERT_TRUE(reg_->WriteValue(kCU, base_, "a", RegValue::String("2")));
  ASSERT_TRUE(reg_->WriteValue(kCU, base_, "c", RegValue::String("3")));
  ASSERT_TRUE(reg_->WriteValue(kCU, base_, "B", RegValue::Binary("xyz")));
  auto values = reg_->EnumValues(kCU, base_);
  ASSERT_TRUE(values);
  std::sort(values->begin(), values->end(),
            [](const auto& x, const auto& y) { return x.name < y.name; });
  EXPECT_EQ(*values, (std::vector<RegNamedValue>{{"a", RegValue::String("2")},
                                                 {"b", RegValue::Binary("xyz")},
                                                 {"c", RegValue::String("3")}}));

  EXPECT_TRUE(reg_->DeleteValue(kCU, base_, "A"));
  EXPECT_FALSE(reg_->ReadValue(kCU, base_, "a"));
  EXPECT_EQ(reg_->EnumValues(kCU, base_)->size(), 2u);
}

TEST_P(RegistryBehaviour, ListsSubkeysByNameAndDeletesOnlyLeaves) {
  for (const char* name : {"bc", "B1", "a", "Ba"}) ASSERT_TRUE(reg_->CreateKey(kCU, Sub(name)));
  ASSERT_TRUE(reg_->CreateKey(kCU, Sub("a\\child")));
  EXPECT_EQ(reg_->EnumSubkeys(kCU, base_), (std::vector<std::string>{"a", "B1", "Ba", "bc"}));
  EXPECT_EQ(reg_->EnumValues(kCU, base_), std::vector<RegNamedValue>{});

  EXPECT_FALSE(reg_->DeleteKey(kCU, Sub("a")));  // has a subkey
  EXPECT_TRUE(reg_->KeyExists(kCU, Sub("a\\child")));
  EXPECT_TRUE(reg_->DeleteKey(kCU, Sub("A\\CHILD")));
  EXPECT_TRUE(reg_->DeleteKey(kCU, Sub("a")));
  EXPECT_FALSE(reg_->DeleteKey(kCU, Sub("a")));
  EXPECT_EQ(reg_->EnumSubkeys(kCU, base_), (std::vector<std::string>{"B1", "Ba", "bc"}));
}

std::unique_ptr<Registry> MakeMemory() { return std::make_unique<platform::MemoryRegistry>(); }

}  // namespace

INSTANTIATE_TEST_SUITE_P(Memory, RegistryBehaviour,
                         testing::Values(RegistryKind{"Memory", MakeMemory}),
                         [](const auto& info) { return std::string(info.param.name); });

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Win32, RegistryBehaviour,
                         testing::Values(RegistryKind{"Win32", platform::MakeWin32Registry}),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

TEST(MemoryRegistry, KeepsTheTwoRootsApartAndRefusesEmptyNames) {
  platform::MemoryRegistry reg;
  ASSERT_TRUE(reg.CreateKey(RegRoot::LocalMachine, "SOFTWARE\\Zorvan"));
  EXPECT_FALSE(reg.KeyExists(kCU, "SOFTWARE\\Zorvan"));
  EXPECT_FALSE(reg.CreateKey(kCU, "SOFTWARE\\\\Zorvan"));
  EXPECT_FALSE(reg.CreateKey(kCU, "SOFTWARE\\"));
  EXPECT_FALSE(reg.DeleteKey(kCU, ""));
  EXPECT_EQ(RegValue::Binary("\x01\x02").AsDword(), 0x0201u);
}

// Windows lists values as first written and orders subkeys by their upper-case names.
TEST(MemoryRegistry, EnumeratesInWindowsOrder) {
  platform::MemoryRegistry reg;
  ASSERT_TRUE(reg.CreateKey(kCU, "K"));
  for (const char* name : {"b", "a", "c"}) reg.WriteValue(kCU, "K", name, RegValue::Dword(1));
  reg.WriteValue(kCU, "K", "B", RegValue::Dword(2));
  auto values = reg.EnumValues(kCU, "K");
  ASSERT_EQ(values->size(), 3u);
  EXPECT_EQ((*values)[0], (RegNamedValue{"b", RegValue::Dword(2)}));
  EXPECT_EQ((*values)[1].name, "a");
  for (const char* name : {"b_x", "Bz"}) reg.CreateKey(kCU, std::string("K\\") + name);
  EXPECT_EQ(reg.EnumSubkeys(kCU, "K"), (std::vector<std::string>{"Bz", "b_x"}));
}
