// Reading back a deflated archive against one plain copy of it, side by side.
//   zip_check_bench [MiB of archive, default 1024] [folder, default the temporary folder]
// Writes an archive of that size (entries of 64 MiB of data that deflates about 2:1, as
// the files of an infobase do), copies it once with a plain 1 MiB read/write loop, then
// checks it; prints both times and their ratio. The check should cost at most one copy.
//   zip_check_bench compare <archive>   the same for an archive written before (writing
//                                       one takes minutes; ZV_KEEP_ARCHIVE=1 keeps it)
//   zip_check_bench decode              one thread inflating one entry's deflated data,
//                                       zlib against the check's own decoder (MiB/s of
//                                       output per second of the thread's processor
//                                       time, best of 3)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include <time.h>

#include "archive/inflate.h"
#include "archive/zip_check.h"
#include "archive/zip_format.h"
#include "tools/shared/zip_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Processor time of the calling thread, which other sessions on the machine disturb less.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

// 64 MiB of records: text fields from a small alphabet and runs of blanks.
std::string EntryData(std::mt19937& random) {
  std::string data(64 << 20, ' ');
  const char alphabet[] = "0123456789ABCDEF";
  for (size_t i = 0; i < data.size(); ++i)
    if (i % 64 < 40) data[i] = alphabet[random() & 15];
  return data;
}

uint64_t WriteArchive(const std::string& path, uint64_t targetBytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  uint64_t written = 0;
  zip::ZipWriter writer(
      [&](const char* d, size_t n) {
        written += n;
        return static_cast<bool>(out.write(d, static_cast<std::streamsize>(n)));
      },
      {true, "", false});
  std::mt19937 random(7);
  for (int i = 0; written < targetBytes; ++i)
    if (!writer.Add("file" + std::to_string(i) + ".dbf", EntryData(random))) return 0;
  return writer.Finish() ? written : 0;
}

bool PlainCopy(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  std::FILE* out = std::fopen(to.c_str(), "wb");
  bool ok = in && out;
  std::string buffer(1 << 20, '\0');
  while (ok) {
    const size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
    if (n == 0) break;
    ok = std::fwrite(buffer.data(), 1, n, out) == n;
  }
  if (in) std::fclose(in);
  if (out) ok = std::fclose(out) == 0 && ok;
  return ok;
}

}  // namespace

// Starts a check of the archive alone (for a profiler): zip_check_bench check <path>.
int CheckOnly(const char* path) {
  Clock::time_point t = Clock::now();
  const ziparc::ZipCheckResult r = ziparc::CheckZipFile(path);
  std::printf("check: %.2f s, %s\n", Seconds(t), ziparc::ZipFaultName(r.fault));
  return r.Sound() ? 0 : 1;
}

int Compare(const std::string& archive) {
  const std::string copy = archive + ".copy";
  Clock::time_point t = Clock::now();
  const bool copied = PlainCopy(archive, copy);
  const double copySeconds = Seconds(t);
  std::remove(copy.c_str());
  t = Clock::now();
  const ziparc::ZipCheckResult r = ziparc::CheckZipFile(archive);
  const double checkSeconds = Seconds(t);
  std::ifstream in(archive, std::ios::binary | std::ios::ate);
  const double mib = static_cast<double>(in.tellg()) / 1048576.0;
  std::printf("plain copy: %.2f s (%.0f MiB/s)%s\n", copySeconds, mib / copySeconds,
              copied ? "" : " FAILED");
  std::printf("check:      %.2f s (%.0f MiB/s of archive), %llu entries, %s\n", checkSeconds,
              mib / checkSeconds, static_cast<unsigned long long>(r.entries),
              ziparc::ZipFaultName(r.fault));
  std::printf("check / copy = %.2f\n", checkSeconds / copySeconds);
  return r.Sound() && copied ? 0 : 1;
}

// Gives a whole stream at once.
class WholeFeed : public ziparc::InflateFeed {
 public:
  explicit WholeFeed(const std::string& data) : data_(data) {}
  bool Read(unsigned char* to, size_t room, size_t& got) override {
    got = std::min(room, data_.size() - done_);
    std::memcpy(to, data_.data() + done_, got);
    done_ += got;
    return true;
  }
  bool Interrupted() override { return false; }

 private:
  const std::string& data_;
  size_t done_ = 0;
};

uint32_t ZlibInflate(const std::string& packed) {
  z_stream z{};
  inflateInit2(&z, -MAX_WBITS);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  z.avail_in = static_cast<uInt>(packed.size());
  std::string out(1 << 20, '\0');
  uint32_t crc = 0;
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    rc = inflate(&z, Z_NO_FLUSH);
    crc = ziparc::Crc32({out.data(), out.size() - z.avail_out}, crc);
  }
  inflateEnd(&z);
  return crc;
}

int Decode() {
  std::mt19937 random(7);
  const std::string data = EntryData(random);
  const std::string packed = zip::detail::Deflate(data);
  const uint32_t crc = ziparc::Crc32(data);
  const double mib = data.size() / 1048576.0;
  std::printf("entry: %.0f MiB deflated to %.1f MiB\n", mib, packed.size() / 1048576.0);
  double zlibBest = 1e9, ownBest = 1e9, crcBest = 1e9;
  bool same = true;
  ziparc::Inflater inflater;
  for (int i = 0; i < 3; ++i) {
    double t = ThreadSeconds();
    same = ZlibInflate(packed) == crc && same;
    zlibBest = std::min(zlibBest, ThreadSeconds() - t);
    t = ThreadSeconds();
    WholeFeed feed(packed);
    const ziparc::InflateResult r = inflater.Run(feed, data.size());
    ownBest = std::min(ownBest, ThreadSeconds() - t);
    same = same && r.status == ziparc::InflateStatus::Ended && r.crc == crc;
    t = ThreadSeconds();
    same = ziparc::Crc32(data) == crc && same;
    crcBest = std::min(crcBest, ThreadSeconds() - t);
  }
  std::printf("zlib inflate + CRC-32: %.0f MiB/s\n", mib / zlibBest);
  std::printf("own inflate + CRC-32:  %.0f MiB/s\n", mib / ownBest);
  std::printf("CRC-32 alone:          %.0f MiB/s%s\n", mib / crcBest, same ? "" : "  RESULTS DIFFER");
  return same ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "decode") return Decode();
  if (argc > 2 && std::string(argv[1]) == "check") return CheckOnly(argv[2]);
  if (argc > 2 && std::string(argv[1]) == "compare") return Compare(argv[2]);
  const uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  const std::string archive = folder + "/zv_zip_check_bench.zip";
  Clock::time_point t = Clock::now();
  const uint64_t size = WriteArchive(archive, mib << 20);
  if (size == 0) return std::puts("could not write the archive"), 1;
  std::printf("archive: %.0f MiB written in %.1f s\n", size / 1048576.0, Seconds(t));
  const int status = Compare(archive);
  if (!std::getenv("ZV_KEEP_ARCHIVE")) std::remove(archive.c_str());
  return status;
}
