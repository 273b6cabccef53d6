// The real registry through the W functions; names and texts cross as Windows-1251.
#include "platform/registry.h"

#include <windows.h>

#include "platform/codepage.h"
#include "platform/win32/handles.h"
#include "platform/win32/registry_view.h"

namespace platform {
namespace {

using win32::RegKey;

HKEY RootHandle(RegRoot root) {
  return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// The user's keys are the same in both views; naming none spares Wine a walk along the path,
// where it opens every key on the way twice (the key and its 32-bit twin).
REGSAM View(RegRoot root) { return root == RegRoot::LocalMachine ? win32::kRegistryView : 0; }

RegKey OpenKey(RegRoot root, const std::string& path, REGSAM access) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(RootHandle(root), Widen(path).c_str(), 0, access | View(root), &h) !=
      ERROR_SUCCESS)
    return {};
  return RegKey(h);
}

// Turns raw registry data into a RegValue; nullopt for types the system does not use.
std::optional<RegValue> MakeValue(DWORD type, const BYTE* data, DWORD size) {
  if (type == REG_SZ) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
    return RegValue::String(Narrow(text.substr(0, text.find(L'\0'))));
  }
  if (type == REG_BINARY || type == REG_DWORD) {
    RegValue v{type == REG_BINARY ? RegType::Binary : RegType::Dword,
               std::string(reinterpret_cast<const char*>(data), size)};
    return v;
  }
  return std::nullopt;
}

// Buffers as large as the key's largest value name and data when asked.
struct ValueBuffers {
  std::wstring name;
  std::string data;

  ValueBuffers(DWORD maxName, DWORD maxData)
      : name(maxName + 1, L'\0'), data(maxData + sizeof(wchar_t), '\0') {}
};

// What RegQueryInfoKeyW tells of a key's values.
struct ValuesInfo {
  DWORD count = 0, maxName = 0, maxData = 0;
  FILETIME written{};

  bool Query(HKEY key) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                            &maxName, &maxData, nullptr, &written) == ERROR_SUCCESS;
  }
  RegValuesStamp Stamp() const {
    const uint64_t stamp = (uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    return {static_cast<int64_t>(stamp), count};
  }
};

EnumStep ReadValueAt(HKEY key, DWORD index, ValueBuffers& b, RegNamedValue& out) {
  DWORD nameLen = static_cast<DWORD>(b.name.size());
  DWORD dataLen = static_cast<DWORD>(b.data.size());
  DWORD type = 0;
  LONG rc = RegEnumValueW(key, index, b.name.data(), &nameLen, nullptr, &type,
                          reinterpret_cast<BYTE*>(b.data.data()), &dataLen);
  if (rc == ERROR_NO_MORE_ITEMS) return EnumStep::End;
  if (rc == ERROR_MORE_DATA) return EnumStep::Unreadable;
  if (rc != ERROR_SUCCESS) return EnumStep::End;  // the key itself went away
  auto value = MakeValue(type, reinterpret_cast<const BYTE*>(b.data.data()), dataLen);
  if (!value) return EnumStep::Unreadable;  // a type the system does not use
  out = {Narrow(b.name.substr(0, nameLen)), std::move(*value)};
  return EnumStep::Value;
}

// Each index is one RegEnumValueW with buffers sized when the key was opened, so no value
// costs a second question unless it grew since.
class Win32ValueList : public RegValueList {
 public:
  Win32ValueList(RegKey key, const ValuesInfo& info) : key_(std::move(key)), info_(info) {}
  std::optional<RegValuesStamp> Stamp() const override { return info_.Stamp(); }
  uint32_t Count() const override { return info_.count; }
  EnumStep At(uint32_t index, RegNamedValue& out) override {
    ValueBuffers buffers(info_.maxName, info_.maxData);
    EnumStep step = ReadValueAt(key_.Get(), index, buffers, out);
    ValuesInfo now;
    if (step == EnumStep::Unreadable && now.Query(key_.Get())) {
      ValueBuffers larger(now.maxName, now.maxData);
      step = ReadValueAt(key_.Get(), index, larger, out);
    }
    return step;
  }

 private:
  RegKey key_;
  const ValuesInfo info_;
};

class Win32Registry : public Registry {
 public:
  bool KeyExists(RegRoot root, const std::string& path) override {
    return static_cast<bool>(OpenKey(root, path, KEY_READ));
  }

  bool CreateKey(RegRoot root, const std::string& path) override {
    HKEY h = nullptr;
    LONG rc = RegCreateKeyExW(RootHandle(root), Widen(path).c_str(), 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_READ | View(root), nullptr, &h, nullptr);
    RegKey key(h);
    return rc == ERROR_SUCCESS;
  }

  bool DeleteKey(RegRoot root, const std::string& path) override {
    if (path.empty()) return false;
    // Refuse a key with subkeys on every Windows version (some delete the whole tree).
    auto subkeys = EnumSubkeys(root, path);
    if (!subkeys || !subkeys->empty()) return false;
    return RegDeleteKeyExW(RootHandle(root), Widen(path).c_str(), View(root), 0) == ERROR_SUCCESS;
  }

  std::optional<RegValue> ReadValue(RegRoot root, const std::string& path,
                                    const std::string& name) override {
    RegKey key = OpenKey(root, path, KEY_QUERY_VALUE);
    if (!key) return std::nullopt;
    std::wstring wname = Widen(name);
    std::string buffer(256, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD type = 0;
      DWORD size = static_cast<DWORD>(buffer.size());
      LONG rc = RegQueryValueExW(key.Get(), wname.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(buffer.data()), &size);
      if (rc == ERROR_MORE_DATA) {
        buffer.resize(size + sizeof(wchar_t));  // the value may grow meanwhile: retry
        continue;
      }
      if (rc != ERROR_SUCCESS) return std::nullopt;
      return MakeValue(type, reinterpret_cast<const BYTE*>(buffer.data()), size);
    }
    return std::nullopt;
  }

  bool WriteValue(RegRoot root, const std::string& path, const std::string& name,
                  const RegValue& value) override {
    RegKey key = OpenKey(root, path, KEY_SET_VALUE);
    if (!key) return false;
    std::wstring wname = Widen(name);
    LONG rc;
    if (value.type == RegType::String) {
      std::wstring text = Widen(value.data.substr(0, value.data.find('\0')));
      rc = RegSetValueExW(key.Get(), wname.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    } else if (value.type == RegType::Dword) {
      DWORD v = value.AsDword();
      rc = RegSetValueExW(key.Get(), wname.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v),
                          sizeof v);
    } else {
      rc = RegSetValueExW(key.Get(), wname.c_str(), 0, REG_BINARY,
                          reinterpret_cast<const BYTE*>(value.data.data()),
                          static_cast<DWORD>(value.data.size()));
    }
    return rc == ERROR_SUCCESS;
  }

  bool DeleteValue(RegRoot root, const std::string& path, const std::string& name) override {
    RegKey key = OpenKey(root, path, KEY_SET_VALUE);
    return key && RegDeleteValueW(key.Get(), Widen(name).c_str()) == ERROR_SUCCESS;
  }

  std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root,
                                                      const std::string& path) override {
    RegKey key = OpenKey(root, path, KEY_ENUMERATE_SUB_KEYS);
    if (!key) return std::nullopt;
    std::vector<std::string> names;
    std::wstring name(256, L'\0');  // key names are at most 255 characters
    for (DWORD i = 0;; ++i) {
      DWORD len = static_cast<DWORD>(name.size());
      LONG rc = RegEnumKeyExW(key.Get(), i, name.data(), &len, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc != ERROR_SUCCESS) return std::nullopt;
      names.push_back(Narrow(name.substr(0, len)));
    }
    return names;
  }

  std::optional<std::vector<RegNamedValue>> EnumValues(RegRoot root,
                                                       const std::string& path) override {
    auto list = OpenValues(root, path);
    if (!list) return std::nullopt;
    return CollectValues([&](uint32_t i, RegNamedValue& out) { return list->At(i, out); });
  }

  std::optional<RegValuesStamp> ValuesStamp(RegRoot root, const std::string& path) override {
    RegKey key = OpenKey(root, path, KEY_QUERY_VALUE);
    ValuesInfo info;
    if (!key || !info.Query(key.Get())) return std::nullopt;
    return info.Stamp();
  }

  std::unique_ptr<RegValueList> OpenValues(RegRoot root, const std::string& path) override {
    RegKey key = OpenKey(root, path, KEY_QUERY_VALUE);
    ValuesInfo info;
    if (!key || !info.Query(key.Get())) return nullptr;
    return std::make_unique<Win32ValueList>(std::move(key), info);
  }
};

}  // namespace

std::unique_ptr<Registry> MakeWin32Registry() { return std::make_unique<Win32Registry>(); }

}  // namespace platform
