// The ZIP check on sound archives of every kind it meets, on each cut-short prefix and
// on a flipped byte in data and in each header field that matters; its DEFLATE decoder
// ended early by its input. (Every block kind fed in pieces of each size, and malformed
// streams, are the decoder's fuzz target's part: it compares each verdict with zlib's.)
#include "archive/zip_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/zip_format.h"
#include "tests/support/piece_feed.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"
#include "tools/shared/zip_writer.h"

namespace {

using ziparc::ZipFault;

std::string Sample(size_t n, int seed) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s.push_back(static_cast<char>((i * seed) % 251 + (i % 7)));
  return s;
}

const std::vector<zip::ZipEntry> kEntries = {
    {"1Cv7.DBF", Sample(5000, 3), {}},
    {"Торговля.txt", std::string(3000, 'a') + Sample(700, 11), {}},
    {"пусто", "", {}},
};

struct Kind {
  const char* name;
  zip::WriteOptions options;
};

const Kind kKinds[] = {
    {"stored", {}},
    {"deflated", {true, "", false}},
    {"password", {true, "Пароль", false}},
    {"password stored", {false, "Пароль", false}},
    {"zip64", {true, "", true}},
    {"zip64 password", {false, "Пароль", true}},
};

ziparc::ZipCheckResult Check(const std::string& bytes, const std::string& password = {}) {
  ziparc::MemorySource source(bytes);
  return ziparc::CheckZip(source, {password, {}});
}

std::string ReadCorpus(const std::string& name) {
  return testsupport::Read(testsupport::SourceDir() + "/tests/fuzz/corpus/zip_check/" + name);
}

TEST(ZipCheck, SoundArchivesOfEveryKind) {
  for (const Kind& k : kKinds) {
    SCOPED_TRACE(k.name);
    const std::string zip = zip::BuildZip(kEntries, k.options);
    ASSERT_FALSE(zip.empty());
    ziparc::ZipCheckResult r = Check(zip, k.options.password);
    EXPECT_EQ(ZipFaultName(r.fault), std::string("none"));
    EXPECT_EQ(r.entries, kEntries.size());
    EXPECT_EQ(r.unchecked, 0u);
    // An entry longer than the check's read chunk: its CRC-32 is a running sum over pieces.
    const std::vector<zip::ZipEntry> big = {{"big", Sample((1 << 20) + 7, 5), {}}};
    EXPECT_TRUE(Check(zip::BuildZip(big, k.options), k.options.password).Sound());
  }
  EXPECT_TRUE(Check(zip::BuildZip({})).Sound());  // no entries at all
}

// Archives of another ZIP program: descriptors, streamed entries, ZIP64, a password.
TEST(ZipCheck, ArchivesOfAnotherWriter) {
  const struct {
    const char* file;
    const char* password;
  } cases[] = {{"stored.zip", ""},          {"deflated.zip", ""},
               {"streamed.zip", ""},        {"zip64.zip", ""},
               {"encrypted.zip", "Parol1"}, {"streamed_encrypted.zip", "secret"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string zip = ReadCorpus(c.file);
    ASSERT_FALSE(zip.empty());
    ziparc::ZipCheckResult r = Check(zip, c.password);
    EXPECT_EQ(ZipFaultName(r.fault), std::string("none"));
    EXPECT_EQ(r.unchecked, 0u);
  }
}

TEST(ZipCheck, EncryptedEntriesWithoutTheirPasswordAreCheckedForStructureOnly) {
  const std::string zip = zip::BuildZip(kEntries, {true, "Пароль", false});
  ziparc::ZipCheckResult none = Check(zip);
  EXPECT_TRUE(none.Sound());
  EXPECT_EQ(none.unchecked, ziparc::kUncheckedNoPassword);
  ziparc::ZipCheckResult wrong = Check(zip, "другой");
  EXPECT_TRUE(wrong.Sound());
  EXPECT_EQ(wrong.unchecked, ziparc::kUncheckedWrongPassword);
  // A method the check cannot inflate (here 12, bzip2) leaves its data unchecked.
  std::string other = zip::BuildZip({{"a", "abc", {}}});
  other[8] = 12;                              // local header
  other[other.find("PK\x01\x02") + 10] = 12;  // central record
  EXPECT_TRUE(Check(other).Sound());
  EXPECT_EQ(Check(other).unchecked, ziparc::kUncheckedMethod);
}

TEST(ZipCheck, EveryCutShortArchiveFails) {
  for (const Kind& k : kKinds) {
    const std::string zip = zip::BuildZip(kEntries, k.options);
    for (size_t n = 0; n < zip.size(); ++n)
      ASSERT_FALSE(Check(zip.substr(0, n), k.options.password).Sound()) << k.name << " " << n;
  }
}

// Offsets of the fields of the first entry's records and of the end records.
struct Layout {
  size_t local = 0, data = 0, central = 0, end = 0, zip64End = 0;
};

Layout Locate(const std::string& zip) {
  Layout l;
  l.data = ziparc::kLocalSize + kEntries[0].name.size() + static_cast<unsigned char>(zip[28]) +
           (static_cast<unsigned char>(zip[29]) << 8);
  l.central = zip.find("PK\x01\x02");
  l.end = zip.rfind("PK\x05\x06");
  l.zip64End = zip.rfind("PK\x06\x06");
  return l;
}

TEST(ZipCheck, FlippedByteInDataOrAnyHeaderFieldFails) {
  using L = Layout;
  const struct {
    const char* field;
    size_t L::*base;
    size_t offset;
  } fields[] = {
      {"local signature", &L::local, 0}, {"local flags", &L::local, 6},
      {"local method", &L::local, 8}, {"local CRC", &L::local, 14},
      {"local packed size", &L::local, 18}, {"local size", &L::local, 23},
      {"local name length", &L::local, 26}, {"local name", &L::local, 31},
      {"data", &L::data, 100}, {"data start", &L::data, 0},
      {"central signature", &L::central, 0}, {"central method", &L::central, 10},
      {"central CRC", &L::central, 17}, {"central packed size", &L::central, 20},
      {"central size", &L::central, 24}, {"central name length", &L::central, 28},
      {"central extra length", &L::central, 30}, {"central local offset", &L::central, 42},
      {"central name", &L::central, 46}, {"end signature", &L::end, 0},
      {"end entries", &L::end, 10}, {"end directory size", &L::end, 12},
      {"end directory offset", &L::end, 16}, {"end comment length", &L::end, 20},
  };
  for (const Kind& k : kKinds) {
    const std::string zip = zip::BuildZip(kEntries, k.options);
    const Layout layout = Locate(zip);
    for (const auto& f : fields) {
      // The ZIP64 end record stands for the classic one's all-ones fields.
      size_t at = layout.*f.base + f.offset;
      if (k.options.zip64 && at >= layout.end + 10 && at < layout.end + 20)
        at = layout.zip64End + 32 + (at - layout.end - 10) * 2;
      std::string damaged = zip;
      damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
      EXPECT_FALSE(Check(damaged, k.options.password).Sound()) << k.name << ": " << f.field;
    }
  }
}

TEST(ZipCheck, Zip64RecordsThatDisagreeFail) {
  const std::string zip = zip::BuildZip(kEntries, {false, "", true});
  const size_t locator = zip.rfind("PK\x06\x07"), record = zip.rfind("PK\x06\x06");
  for (size_t at : {locator, locator + 8, locator + 16, record, record + 4, record + 24,
                    record + 40, record + 48}) {
    std::string damaged = zip;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x21);
    EXPECT_FALSE(Check(damaged).Sound()) << at - locator;
  }
  // Values of a ZIP64 extra field in the central record.
  const size_t extra = zip.find("PK\x01\x02") + ziparc::kCentralSize + kEntries[0].name.size();
  for (size_t at : {extra, extra + 2, extra + 4, extra + 12, extra + 20}) {
    std::string damaged = zip;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x21);
    EXPECT_FALSE(Check(damaged).Sound()) << at - extra;
  }
}

// Entries are checked side by side: a long first entry is still being read when a fault
// turns up in a later one, yet the first entry at fault in directory order is reported.
TEST(ZipCheck, FirstEntryAtFaultIsReportedWhicheverIsFoundFirst) {
  std::vector<zip::ZipEntry> entries = {{"long", Sample((3 << 20) + 1, 13), {}}};
  for (int i = 1; i < 6; ++i) entries.push_back({"e" + std::to_string(i), Sample(4000, i), {}});
  const std::string zip = zip::BuildZip(entries);
  const struct {
    std::vector<size_t> damaged;  // entries with a byte flipped near the end of their data
    const char* reported;
  } cases[] = {{{}, ""}, {{4}, "e4"}, {{0, 3}, "long"}, {{2, 5}, "e2"}, {{5, 1}, "e1"}};
  for (const auto& c : cases) {
    std::string damaged = zip;
    for (size_t i : c.damaged) {
      const size_t at = damaged.find(entries[i].data) + entries[i].data.size() - 2;
      damaged[at] = static_cast<char>(damaged[at] ^ 1);
    }
    const ziparc::ZipCheckResult r = Check(damaged);
    EXPECT_EQ(r.entry, c.reported);
    EXPECT_EQ(r.fault, c.damaged.empty() ? ZipFault::None : ZipFault::CrcMismatch) << c.reported;
  }
}

// Granted the second time it is asked: when the calling thread starts its first entry
// (others are then being checked on other threads) or while it waits for them.
TEST(ZipCheck, StopRequestEndsTheCheck) {
  std::vector<zip::ZipEntry> many;
  for (int i = 0; i < 4; ++i) many.push_back({"e" + std::to_string(i), Sample(1 << 20, i), {}});
  for (const auto& entries : {kEntries, many}) {
    const std::string zip = zip::BuildZip(entries, {true, "", false});
    ziparc::MemorySource source(zip);
    int asked = 0;
    const ziparc::ZipCheckResult r = ziparc::CheckZip(source, {"", [&] { return ++asked > 1; }});
    EXPECT_EQ(r.fault, ZipFault::Aborted) << entries.size();
    EXPECT_EQ(asked, 2);  // asked no more once granted
  }
  // A file that cannot be opened is no archive (files read whole: the archive check's part).
  EXPECT_EQ(ziparc::CheckZipFile(testing::TempDir() + "zv_missing.zip").fault,
            ZipFault::Unreadable);
}

TEST(Inflate, FeedEndsItEarly) {
  const std::string stream = zip::detail::Deflate(Sample(3 << 20, 13));
  ziparc::Inflater inflater;
  testsupport::PieceFeed unreadable(stream, 4096, true), interrupted(stream, 1 << 20, false, true);
  EXPECT_EQ(inflater.Run(unreadable, uint64_t{1} << 40).status, ziparc::InflateStatus::Stopped);
  EXPECT_EQ(inflater.Run(interrupted, uint64_t{1} << 40).status, ziparc::InflateStatus::Stopped);
}

}  // namespace
