#include "tools/shared/zip_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/tools/zip_reader.h"

namespace {

TEST(ZipWriter, Crc32AndDosStampOfKnownValues) {
  EXPECT_EQ(zip::Crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
  // A running sum over pieces equals the sum over the whole.
  EXPECT_EQ(zip::Crc32("6789", zip::Crc32("12345")), 0xCBF43926u);
  // Values as another ZIP implementation writes them for 2026-12-06 21:35:59.
  zip::DosStamp s = zip::MakeDosStamp(2026, 12, 6, 21, 35, 59);
  EXPECT_EQ(s.date, 0x5D86);
  EXPECT_EQ(s.time, 0xAC7D);
  // Years a DOS stamp cannot hold fall back to 1980-01-01 00:00.
  EXPECT_EQ(zip::MakeDosStamp(1975, 5, 5, 1, 1, 1).date, zip::DosStamp{}.date);
  // An empty archive is just the end record.
  EXPECT_EQ(zip::BuildZip({}), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
}

TEST(ZipWriter, EntriesReadBackWithNamesBytesAndStamps) {
  std::string binary;
  for (int i = 0; i < 300; ++i) binary.push_back(static_cast<char>(i * 7));
  const zip::DosStamp stamp = zip::MakeDosStamp(2024, 2, 29, 23, 59, 58);
  const std::vector<zip::ZipEntry> in = {
      {"1Cv7.txt", "123456789", stamp},
      {"Торговля архив.dbf", binary, {}},
      {"пусто", "", stamp},
      {"SYSLOG/1cv7.mlg", std::string("a\0b\r\n", 5), {}},
  };
  const ziptest::ReadResult out = ziptest::ReadZip(zip::BuildZip(in));
  ASSERT_EQ(out.error, "");
  ASSERT_EQ(out.entries.size(), in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(out.entries[i].name, in[i].name);  // 1251 bytes as given
    EXPECT_EQ(out.entries[i].data, in[i].data);
    EXPECT_EQ(out.entries[i].flags & 0x0800, 0);  // not marked UTF-8
    EXPECT_EQ(out.entries[i].date, in[i].stamp.date);
    EXPECT_EQ(out.entries[i].time, in[i].stamp.time);
  }
  EXPECT_EQ(out.entries[1].name, "\xD2\xEE\xF0\xE3\xEE\xE2\xEB\xFF \xE0\xF0\xF5\xE8\xE2.dbf");
}

TEST(ZipWriter, SinkFailureAndLimitsStopTheWriter) {
  int calls = 0;
  zip::ZipWriter failing([&calls](const char*, size_t) { return ++calls < 2; });
  EXPECT_FALSE(failing.Add("a", "data"));  // header written, data refused
  EXPECT_FALSE(failing.Add("b", ""));
  EXPECT_FALSE(failing.Finish());

  std::string out;
  zip::ZipWriter writer([&out](const char* d, size_t n) {
    out.append(d, n);
    return true;
  });
  EXPECT_FALSE(writer.Add(std::string(0x10000, 'n'), "x"));  // name too long for the field
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(zip::BuildZip({{std::string(0x10000, 'n'), "x", {}}}), "");

  zip::ZipWriter once([](const char*, size_t) { return true; });
  EXPECT_TRUE(once.Finish());
  EXPECT_FALSE(once.Finish());
  EXPECT_FALSE(once.Add("late", ""));
}

#ifndef _WIN32
// The archive is also accepted by an independent tool, when one is installed.
TEST(ZipWriter, UnzipTestAcceptsTheArchive) {
  if (std::system("unzip -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "unzip not installed";
  const std::string path = testing::TempDir() + "zip_writer_test.zip";
  {
    std::ofstream f(path, std::ios::binary);
    f << zip::BuildZip({{"1Cv7.txt", "123456789", zip::MakeDosStamp(2026, 1, 2, 3, 4, 6)},
                        {"Торговля.dbf", std::string(70000, 'x'), {}},
                        {"empty", "", {}}});
  }
  const std::string command = "unzip -tqq '" + path + "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::remove(path.c_str());
}
#endif

}  // namespace
