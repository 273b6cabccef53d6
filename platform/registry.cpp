#include "platform/registry.h"

#include <algorithm>
#include <string_view>

namespace platform {

RegValue RegValue::Dword(uint32_t v) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return {RegType::Dword, std::move(bytes)};
}

uint32_t RegValue::AsDword() const {
  uint32_t v = 0;
  for (size_t i = 0; i < 4 && i < data.size(); ++i)
    v |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  return v;
}

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

// The registry orders names by their upper-case form.
bool LessNoCase(std::string_view a, std::string_view b) {
  auto upper = [](char c) {
    return static_cast<unsigned char>((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c);
  };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return upper(x) < upper(y); });
}

// Splits "A\B\C" into its names; an empty name anywhere makes the path invalid.
bool SplitPath(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  if (path.empty()) return true;
  size_t start = 0;
  while (true) {
    size_t end = path.find('\\', start);
    std::string name = path.substr(start, end == std::string::npos ? end : end - start);
    if (name.empty()) return false;
    names.push_back(std::move(name));
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

}  // namespace

struct MemoryRegistry::Key {
  std::vector<std::pair<std::string, std::unique_ptr<Key>>> subkeys;
  std::vector<RegNamedValue> values;
  std::vector<std::string> unreadable;
  int64_t writes = 0;  // the last write of its values, counted

  Key* Child(const std::string& name) {
    for (auto& [n, k] : subkeys)
      if (EqualNoCase(n, name)) return k.get();
    return nullptr;
  }
  // Subkeys stay sorted by name, case-insensitively, as the registry lists them.
  Key* AddChild(const std::string& name) {
    auto pos = std::find_if(subkeys.begin(), subkeys.end(),
                            [&](const auto& s) { return LessNoCase(name, s.first); });
    return subkeys.emplace(pos, name, std::make_unique<Key>())->second.get();
  }
  RegNamedValue* Value(const std::string& name) {
    for (auto& v : values)
      if (EqualNoCase(v.name, name)) return &v;
    return nullptr;
  }
};

MemoryRegistry::Key* MemoryRegistry::Find(RegRoot root, const std::string& path) {
  std::vector<std::string> names;
  if (!SplitPath(path, names)) return nullptr;
  auto& rootKey = roots_[root == RegRoot::CurrentUser ? 0 : 1];
  if (!rootKey) rootKey = std::make_shared<Key>();
  Key* key = rootKey.get();
  for (const auto& name : names) {
    key = key->Child(name);
    if (!key) return nullptr;
  }
  return key;
}

bool MemoryRegistry::KeyExists(RegRoot root, const std::string& path) {
  return Find(root, path) != nullptr;
}

bool MemoryRegistry::CreateKey(RegRoot root, const std::string& path) {
  std::vector<std::string> names;
  if (!SplitPath(path, names)) return false;
  Key* key = Find(root, "");
  for (const auto& name : names) {
    Key* child = key->Child(name);
    if (!child) child = key->AddChild(name);
    key = child;
  }
  return true;
}

bool MemoryRegistry::DeleteKey(RegRoot root, const std::string& path) {
  std::vector<std::string> names;
  if (!SplitPath(path, names) || names.empty()) return false;
  std::string leaf = names.back();
  names.pop_back();
  std::string parentPath;
  for (const auto& n : names) parentPath += (parentPath.empty() ? "" : "\\") + n;
  Key* parent = Find(root, parentPath);
  if (!parent) return false;
  auto& subs = parent->subkeys;
  auto it = std::find_if(subs.begin(), subs.end(),
                         [&](const auto& s) { return EqualNoCase(s.first, leaf); });
  if (it == subs.end() || !it->second->subkeys.empty()) return false;
  subs.erase(it);
  return true;
}

std::optional<RegValue> MemoryRegistry::ReadValue(RegRoot root, const std::string& path,
                                                  const std::string& name) {
  Key* key = Find(root, path);
  if (!key) return std::nullopt;
  RegNamedValue* v = key->Value(name);
  if (!v) return std::nullopt;
  return v->value;
}

bool MemoryRegistry::WriteValue(RegRoot root, const std::string& path, const std::string& name,
                                const RegValue& value) {
  Key* key = Find(root, path);
  if (!key) return false;
  RegValue stored = value;
  // As the real registry: a text ends at its first zero, a DWORD is four bytes.
  if (stored.type == RegType::String) stored.data = stored.data.substr(0, stored.data.find('\0'));
  if (stored.type == RegType::Dword) stored = RegValue::Dword(value.AsDword());
  ++key->writes;
  if (RegNamedValue* v = key->Value(name))
    v->value = std::move(stored);
  else
    key->values.push_back({name, std::move(stored)});
  return true;
}

bool MemoryRegistry::DeleteValue(RegRoot root, const std::string& path, const std::string& name) {
  Key* key = Find(root, path);
  if (!key) return false;
  auto& vals = key->values;
  auto it = std::find_if(vals.begin(), vals.end(),
                         [&](const RegNamedValue& v) { return EqualNoCase(v.name, name); });
  if (it == vals.end()) return false;
  vals.erase(it);
  ++key->writes;
  return true;
}

std::optional<std::vector<std::string>> MemoryRegistry::EnumSubkeys(RegRoot root,
                                                                    const std::string& path) {
  Key* key = Find(root, path);
  if (!key) return std::nullopt;
  std::vector<std::string> names;
  for (const auto& s : key->subkeys) names.push_back(s.first);
  return names;
}

std::optional<std::vector<RegNamedValue>> MemoryRegistry::EnumValues(RegRoot root,
                                                                     const std::string& path) {
  Key* key = Find(root, path);
  if (!key) return std::nullopt;
  return CollectValues([key](uint32_t i, RegNamedValue& out) {
    if (i >= key->values.size()) return EnumStep::End;
    out = key->values[i];
    for (const std::string& name : key->unreadable)
      if (EqualNoCase(name, out.name)) return EnumStep::Unreadable;
    return EnumStep::Value;
  });
}

void MemoryRegistry::SetUnreadable(RegRoot root, const std::string& path, const std::string& name) {
  if (Key* key = Find(root, path)) {
    key->unreadable.push_back(name);
    ++key->writes;
  }
}

std::optional<RegValuesStamp> MemoryRegistry::ValuesStamp(RegRoot root, const std::string& path) {
  const Key* key = Find(root, path);
  if (!key) return std::nullopt;
  return RegValuesStamp{key->writes, static_cast<uint32_t>(key->values.size())};
}

std::optional<RegValuesStamp> Registry::ValuesStamp(RegRoot, const std::string&) {
  return std::nullopt;
}

namespace {

class ValueSnapshot : public RegValueList {
 public:
  ValueSnapshot(std::optional<RegValuesStamp> stamp, std::vector<RegNamedValue> values)
      : stamp_(stamp), values_(std::move(values)) {}
  std::optional<RegValuesStamp> Stamp() const override { return stamp_; }
  uint32_t Count() const override { return static_cast<uint32_t>(values_.size()); }
  EnumStep At(uint32_t index, RegNamedValue& out) override {
    if (index >= values_.size()) return EnumStep::End;
    out = values_[index];
    return EnumStep::Value;
  }

 private:
  std::optional<RegValuesStamp> stamp_;
  std::vector<RegNamedValue> values_;
};

}  // namespace

std::unique_ptr<RegValueList> Registry::OpenValues(RegRoot root, const std::string& path) {
  auto stamp = ValuesStamp(root, path);
  auto values = EnumValues(root, path);
  if (!values) return nullptr;
  return std::make_unique<ValueSnapshot>(stamp, std::move(*values));
}

std::vector<RegNamedValue> CollectValues(
    const std::function<EnumStep(uint32_t index, RegNamedValue& out)>& readAt) {
  std::vector<RegNamedValue> values;
  for (uint32_t i = 0;; ++i) {
    RegNamedValue value;
    EnumStep step = readAt(i, value);
    if (step == EnumStep::End) break;
    if (step == EnumStep::Value) values.push_back(std::move(value));
  }
  return values;
}

}  // namespace platform
