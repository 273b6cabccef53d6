// The registry as the system uses it: keys addressed by root and path (backslash
// separated, Windows-1251), values of the types REG_SZ, REG_DWORD and REG_BINARY.
// Win32Registry goes to the real registry (W functions, explicit code page 1251);
// MemoryRegistry keeps keys in memory for native tests. No operation creates a key
// unless its name says so.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class RegRoot { CurrentUser, LocalMachine };

enum class RegType : uint32_t { String = 1, Binary = 3, Dword = 4 };

struct RegValue {
  RegType type = RegType::String;
  std::string data;  // REG_SZ: the text without terminator; others: raw bytes

  static RegValue String(std::string text) { return {RegType::String, std::move(text)}; }
  static RegValue Dword(uint32_t v);
  static RegValue Binary(std::string bytes) { return {RegType::Binary, std::move(bytes)}; }
  // The first four bytes as a little-endian number (missing bytes count as 0).
  uint32_t AsDword() const;
  bool operator==(const RegValue&) const = default;
};

struct RegNamedValue {
  std::string name;
  RegValue value;
  bool operator==(const RegNamedValue&) const = default;
};

// Tells a changed list of values from an unchanged one: the key's last write (in a unit of
// the registry's own) and its number of values.
struct RegValuesStamp {
  int64_t lastWrite = 0;
  uint32_t values = 0;
  bool operator==(const RegValuesStamp&) const = default;
};

// One index of a value enumeration: a value, one that cannot be read (longer than the
// buffers, or changed during the enumeration), or the end.
enum class EnumStep { Value, Unreadable, End };

// A key's values read by index, from several threads at once if need be: the real registry
// answers each index with one question, which Wine's server answers in turn.
class RegValueList {
 public:
  virtual ~RegValueList() = default;
  // The key's stamp (none when the registry cannot tell) and number of values as opened;
  // the values may change meanwhile, as they may during EnumValues.
  virtual std::optional<RegValuesStamp> Stamp() const = 0;
  virtual uint32_t Count() const = 0;
  virtual EnumStep At(uint32_t index, RegNamedValue& out) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  virtual bool KeyExists(RegRoot root, const std::string& path) = 0;
  // Creates the key and any missing parents; true if it exists afterwards.
  virtual bool CreateKey(RegRoot root, const std::string& path) = 0;
  // Deletes a key that has no subkeys.
  virtual bool DeleteKey(RegRoot root, const std::string& path) = 0;
  // Reads a value; name "" is the default value.
  virtual std::optional<RegValue> ReadValue(RegRoot root, const std::string& path,
                                            const std::string& name) = 0;
  // Writes a value into an existing key; fails (creating nothing) when the key is missing.
  virtual bool WriteValue(RegRoot root, const std::string& path, const std::string& name,
                          const RegValue& value) = 0;
  virtual bool DeleteValue(RegRoot root, const std::string& path, const std::string& name) = 0;
  // Names of the direct subkeys in registry order; nullopt when the key cannot be opened.
  virtual std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root,
                                                              const std::string& path) = 0;
  // Values in registry order; nullopt when the key cannot be opened.
  virtual std::optional<std::vector<RegNamedValue>> EnumValues(RegRoot root,
                                                               const std::string& path) = 0;
  // Asks once what EnumValues asks once per value; nullopt when the key cannot be opened or
  // the registry cannot tell (this one).
  virtual std::optional<RegValuesStamp> ValuesStamp(RegRoot root, const std::string& path);
  // The values to be read by index; nullptr when the key cannot be opened. This one takes
  // the stamp, then every value at once.
  virtual std::unique_ptr<RegValueList> OpenValues(RegRoot root, const std::string& path);
};

// Reads values by index until the end, skipping the unreadable ones: one bad value never
// costs the others.
std::vector<RegNamedValue> CollectValues(
    const std::function<EnumStep(uint32_t index, RegNamedValue& out)>& readAt);

// In-memory registry for tests. As on Windows, values enumerate in the order they were
// first written and subkeys sorted by name; names compare case-insensitively (ASCII).
class MemoryRegistry : public Registry {
 public:
  bool KeyExists(RegRoot root, const std::string& path) override;
  bool CreateKey(RegRoot root, const std::string& path) override;
  bool DeleteKey(RegRoot root, const std::string& path) override;
  std::optional<RegValue> ReadValue(RegRoot root, const std::string& path,
                                    const std::string& name) override;
  bool WriteValue(RegRoot root, const std::string& path, const std::string& name,
                  const RegValue& value) override;
  bool DeleteValue(RegRoot root, const std::string& path, const std::string& name) override;
  std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root,
                                                      const std::string& path) override;
  std::optional<std::vector<RegNamedValue>> EnumValues(RegRoot root,
                                                       const std::string& path) override;
  std::optional<RegValuesStamp> ValuesStamp(RegRoot root, const std::string& path) override;
  // The value stays in place but its enumeration step fails, as a value 1C:Enterprise
  // changes during the enumeration does.
  void SetUnreadable(RegRoot root, const std::string& path, const std::string& name);

 private:
  struct Key;
  Key* Find(RegRoot root, const std::string& path);
  std::shared_ptr<Key> roots_[2];
};

// The machine's registry (Windows; nullptr elsewhere). Machine-wide keys are opened in the
// 32-bit view, where 1C:Enterprise, a 32-bit program, keeps them.
std::unique_ptr<Registry> MakeWin32Registry();

}  // namespace platform
