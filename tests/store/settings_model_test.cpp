// Random operation sequences against a plain model of the file: after every step the
// file must hold exactly the model's records, which checks every move of bytes.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "store/settings_file.h"
#include "tests/config/layout_writer.h"
#include "tests/support/scratch.h"

namespace {

struct Model {
  int32_t lastId = 0;
  std::vector<layout::Record> sections;

  layout::Record* Find(int32_t id) {
    for (auto& s : sections)
      if (s.id == id) return &s;
    return nullptr;
  }
};

class Runner {
 public:
  Runner(const std::string& path, unsigned seed)
      : file_(path, SF_MODE_CREATE_READWRITE, platform::SilentFileErrorReporter()), rng_(seed) {}

  void Step() {
    switch (Pick(10)) {
      case 0: case 1: CreateSection(); break;
      case 2: DeleteSection(); break;
      case 3: file_.Close(); break;
      default: WriteValue(); break;
    }
  }
  std::string Expected() const { return layout::Encode(model_.sections, model_.lastId); }
  CSettingsFile& File() { return file_; }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  std::string Name() { return std::string(1, static_cast<char>('a' + Pick(4))) + "\xC0"; }
  int32_t SomeId() {
    if (model_.sections.empty() || Pick(8) == 0) return 0;
    return model_.sections[static_cast<size_t>(Pick(static_cast<int>(model_.sections.size())))].id;
  }

  void CreateSection() {
    int32_t parent = SomeId();
    std::string name = Name();
    int32_t expected = 0;
    for (const auto& s : model_.sections)
      if (s.parent == parent && s.name == name && !expected) expected = s.id;
    if (!expected) {
      expected = ++model_.lastId;
      model_.sections.push_back({expected, parent, name, {}});
    }
    ASSERT_EQ(file_.CreateSection(name, parent), expected);
  }

  void DeleteSection() {
    int32_t id = SomeId();
    bool found = model_.Find(id) != nullptr;
    if (found)
      std::erase_if(model_.sections, [&](const layout::Record& s) {
        return s.id == id || s.parent == id;
      });
    ASSERT_EQ(file_.DeleteSection(id), found);
  }

  void WriteValue() {
    int32_t id = SomeId();
    std::string name = Name();
    std::string data(static_cast<size_t>(Pick(12)), static_cast<char>('0' + Pick(10)));
    layout::Record* s = model_.Find(id);
    bool ok;
    int32_t type = SF_STRING;
    if (Pick(2)) {
      ok = file_.WriteString(id, name, data);
    } else {
      type = SF_BINARY;
      ok = file_.WriteBinary(id, name, data.data(), static_cast<uint32_t>(data.size()));
      if (data.empty()) s = nullptr;  // refused
    }
    if (s) {
      std::erase_if(s->values, [&](const layout::Record::Val& v) { return v.name == name; });
      s->values.push_back({type, name, data});
    }
    ASSERT_EQ(ok, s != nullptr);
  }

  CSettingsFile file_;
  std::mt19937 rng_;
  Model model_;
};

TEST(SettingsModelTest, RandomOperationsKeepTheExactLayout) {
  testsupport::ScratchFolder dir;
  for (unsigned seed = 1; seed <= 12; ++seed) {
    Runner run(dir / (std::to_string(seed) + ".cfg"), seed);
    for (int step = 0; step < 150; ++step) {
      ASSERT_NO_FATAL_FAILURE(run.Step()) << "seed " << seed << " step " << step;
      if (step % 10 == 9) {
        run.File().Close();
        ASSERT_EQ(platform::fs::ReadWholeFile(run.File().Path()).value_or(""), run.Expected()) << seed << ":" << step;
      }
    }
  }
}

}  // namespace
