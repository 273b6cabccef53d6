#include "tools/shared/zip_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>


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
// An independent tool accepts the archive: structure, sizes and CRC-32 of every entry.
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
