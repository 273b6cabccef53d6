#include "tools/shared/zip_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>


namespace {

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
