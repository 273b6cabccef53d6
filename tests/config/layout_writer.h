// Test-side writer of the keyed record layout, independent of the store: sections are
// laid out in creation order, each followed by its values, as a complete rewrite
// leaves them. Used to state expected file bytes, to craft files for loads, and as the
// random-operation test's oracle.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace layout {

inline int32_t Hash(const std::string& name) {
  uint32_t h = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    const int32_t c = static_cast<signed char>(name[i]);
    h += static_cast<uint32_t>(c + 255);
    if (i > 0) {
      const int32_t p = static_cast<signed char>(name[i - 1]);
      h += static_cast<uint32_t>(p + 255) * static_cast<uint32_t>(c - p + 255);
    }
  }
  return static_cast<int32_t>(h);
}

inline std::string Le(uint64_t v, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// One value of a hand-written list: a text (SF_STRING) or a number (SF_DWORD).
struct Value {
  Value(const char* n, const char* text) : name(n), type(1), data(text) {}
  Value(const char* n, const std::string& text) : name(n), type(1), data(text) {}
  Value(const char* n, int number) : name(n), type(2), data(Le(static_cast<uint32_t>(number), 4)) {}
  std::string name;
  int32_t type;
  std::string data;
};

// A section record with its values, as the file holds it.
struct Record {
  struct Val {
    int32_t type;
    std::string name, data;
  };
  int32_t id, parent;
  std::string name;
  std::vector<Val> values;
};

// The whole file: header, then every section followed by its values (empty without ids).
inline std::string Encode(const std::vector<Record>& sections, int32_t lastId) {
  if (lastId == 0) return {};
  std::string out = Le(sections.size(), 4) + Le(static_cast<uint32_t>(lastId), 4);
  for (const Record& s : sections) {
    std::string values;
    for (const Record::Val& v : s.values) {
      values += Le(v.type, 4) + Le(20 + v.name.size() + v.data.size(), 4) + Le(v.name.size(), 4) +
                Le(v.data.size(), 4) + Le(static_cast<uint32_t>(Hash(v.name)), 4) + v.name + v.data;
    }
    out += Le(s.parent, 4) + Le(s.id, 4) + Le(static_cast<uint32_t>(Hash(s.name)), 4) +
           Le(s.name.size(), 4) + Le(20 + s.name.size() + values.size(), 4) + s.name + values;
  }
  return out;
}

class File {
 public:
  // Returns the new section's id (ids count from 1 in creation order).
  int32_t Section(int32_t parentId, const std::string& name) {
    const auto id = static_cast<int32_t>(sections_.size() + 1);
    sections_.push_back({id, parentId, name, {}});
    return id;
  }
  void Text(int32_t id, const std::string& name, const std::string& text) { Add(id, 1, name, text); }
  void Dword(int32_t id, const std::string& name, uint32_t v) { Add(id, 2, name, Le(v, 4)); }
  void Byte(int32_t id, const std::string& name, uint8_t v) { Add(id, 4, name, Le(v, 1)); }
  void Binary32(int32_t id, const std::string& name, uint32_t v) { Add(id, 4, name, Le(v, 4)); }
  void Values(int32_t id, std::initializer_list<Value> values) {
    for (const Value& v : values) Add(id, v.type, v.name, v.data);
  }

  std::string Bytes() const { return Encode(sections_, static_cast<int32_t>(sections_.size())); }

 private:
  void Add(int32_t id, int32_t type, const std::string& name, const std::string& data) {
    sections_[id - 1].values.push_back({type, name, data});
  }

  std::vector<Record> sections_;
};

}  // namespace layout
