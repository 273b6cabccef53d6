// Rotating nine numbered copies of a large archive against one plain copy of it, side by
// side: rotation renames the older copies and copies only the archive itself, so it
// should cost about one copy whatever the number of copies. For comparison it also times
// shifting by "copy, then delete", which costs one full copy per kept copy.
// The two are timed in alternating order over several rounds; the medians are compared.
// In the archive folder a step now sets the previous archive aside and, once the new one
// is verified, renames it into copy 1: that settling is timed too. Last, the abort
// latency of a large stoppable copy: the time from the stop request to its return.
//   rotation_winbench.exe [size in MiB, default 256] [rounds, default 5]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/codepage.h"
#include "platform/fs.h"
#include "runner/archive_names.h"
#include "runner/archive_rotation.h"
#include "runner/archive_set_aside.h"

namespace fs = platform::fs;

namespace {

const std::string kName = "Архив";
constexpr int kCopies = 9;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

template <class F>
double Time(F f) {
  LARGE_INTEGER a, b;
  QueryPerformanceCounter(&a);
  f();
  QueryPerformanceCounter(&b);
  return Seconds(a, b);
}

// Writes a file's cached data to disk outside the timed parts, so that one measurement
// does not pay for the write-back of the one before.
void Flush(const std::string& path) {
  HANDLE h = CreateFileW(platform::Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  FlushFileBuffers(h);
  CloseHandle(h);
}

void FlushAll(const std::string& folder, const std::string& archive) {
  Flush(archive);
  Flush(folder + "\\plain.zip");
  for (int n = 1; n <= kCopies; ++n) Flush(ArchiveCopyPath(folder, kName, n, ".zip"));
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

bool WriteArchive(const std::string& path, size_t mib) {
  std::string block(1 << 20, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = char(i * 2654435761u >> 24);
  if (!fs::WriteWholeFile(path, "")) return false;
  for (size_t i = 0; i < mib; ++i)
    if (!fs::AppendFile(path, block)) return false;
  return true;
}

// The shift as first described: copy n over n + 1, then delete n.
void RotateByCopying(const std::string& folder, const std::string& archive) {
  for (int n = kCopies - 1; n >= 1; --n) {
    std::string copy = ArchiveCopyPath(folder, kName, n, ".zip");
    if (fs::FileExists(copy)) {
      fs::CopyOver(copy, ArchiveCopyPath(folder, kName, n + 1, ".zip"));
      fs::RemoveFile(copy);
    }
  }
  fs::CopyOver(archive, ArchiveCopyPath(folder, kName, 1, ".zip"));
}

// The archive-folder path of a verified step: set aside, a new archive appears (not
// timed: the child writes it), then the previous archive is renamed into copy 1.
double SettleTime(const std::string& folder, const std::string& archive) {
  SetArchiveAside(archive);
  fs::CopyOver(ArchiveSidePath(archive), archive);
  return Time([&] { SettleArchive(kName, archive, folder, ".zip", kCopies, true); });
}

// Stops a copy of the archive after delayMs and returns the seconds from the request to
// the copy's return; the partial target must be gone.
double AbortLatency(const std::string& folder, const std::string& archive, int delayMs) {
  std::atomic<bool> stop{false};
  LARGE_INTEGER requested{}, returned{};
  std::thread window([&] {
    Sleep(delayMs);
    QueryPerformanceCounter(&requested);
    stop = true;
  });
  std::string target = folder + "\\abort.zip";
  fs::CopyResult r = fs::CopyStoppable(archive, target, [&] { return stop.load(); });
  QueryPerformanceCounter(&returned);
  window.join();
  if (r != fs::CopyResult::Stopped) return std::printf("the copy ended before the stop\n"), 0.0;
  if (fs::GetAttributes(target).exists) std::printf("PARTIAL TARGET LEFT\n");
  return Seconds(requested, returned);
}

}  // namespace

int main(int argc, char** argv) {
  size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
  int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::string folder = fs::TempPath() + "zv_rotation_bench";
  fs::CreateFolder(folder);
  std::string archive = folder + "\\" + kName + ".zip";
  std::printf("archive %zu MiB, %d copies, %d rounds\n", mib, kCopies, rounds);
  if (!WriteArchive(archive, mib)) return std::printf("cannot write %s\n", archive.c_str()), 1;
  for (int n = 1; n <= kCopies; ++n)
    fs::CopyOver(archive, ArchiveCopyPath(folder, kName, n, ".zip"));

  RunValues values;
  values.copyCount = kCopies;
  RunControl control;  // no journal
  // One plain copy to a new file, and one over an existing copy (which also frees the
  // old file's space, as rotation does for the oldest copy).
  std::vector<double> fresh, over, into, rotations;
  std::string plain = folder + "\\plain.zip";
  for (int r = 0; r < rounds; ++r) {
    fs::SetLastWriteStamp(archive, fs::NowStamp() - 24 * 3600);
    std::string path = archive;
    bool skip = false;
    double f = 0, o = 0, i = 0, t = 0;
    auto copyFresh = [&] {
      fs::RemoveFile(plain);
      FlushAll(folder, archive);
      f = Time([&] { fs::CopyOver(archive, plain); });
    };
    auto copyOver = [&] {
      FlushAll(folder, archive);
      o = Time([&] { fs::CopyOver(archive, plain); });
      FlushAll(folder, archive);
      i = Time([&] { fs::CopyInto(archive, plain); });
    };
    auto rotate = [&] {
      FlushAll(folder, archive);
      t = Time([&] { RotateArchiveCopies(kName, path, folder, skip, ".zip", values, control); });
    };
    if (r % 2 == 0) {
      copyFresh();
      copyOver();
      rotate();
    } else {
      rotate();
      copyFresh();
      copyOver();
    }
    std::printf(
        "round %d: copy to a new file %.3f s, over a copy %.3f s, into a copy %.3f s, "
        "rotation %.3f s\n",
        r + 1, f, o, i, t);
    fresh.push_back(f);
    over.push_back(o);
    into.push_back(i);
    rotations.push_back(t);
  }
  double copyMedian = Median(fresh), overMedian = Median(over), intoMedian = Median(into);
  double rotateMedian = Median(rotations);
  std::printf(
      "median: one copy (CopyFileW) to a new file %.3f s, over a copy %.3f s; "
      "into a copy (the routine rotation uses) %.3f s; rotation of %d copies %.3f s\n",
      copyMedian, overMedian, intoMedian, kCopies, rotateMedian);
  std::printf(
      "ratio rotation / copy to a new file %.2f, / copy over a copy %.2f, "
      "/ copy into a copy %.2f\n",
      rotateMedian / copyMedian, rotateMedian / overMedian, rotateMedian / intoMedian);
  bool same =
      fs::ReadWholeFile(archive) == fs::ReadWholeFile(ArchiveCopyPath(folder, kName, 1, ".zip"));
  std::printf("copy 1 equals the archive: %s\n", same ? "yes" : "NO");
  double byCopying = Time([&] { RotateByCopying(folder, archive); });
  std::printf("for comparison, shifting by copy and delete: %.3f s (%.1f x one copy)\n", byCopying,
              byCopying / copyMedian);
  std::vector<double> settles;
  for (int r = 0; r < rounds; ++r) {
    FlushAll(folder, archive);
    settles.push_back(SettleTime(folder, archive));
  }
  std::printf(
      "archive folder: settling a verified step (rename into copy 1) median %.4f s "
      "(%.3f x one copy)\n",
      Median(settles), Median(settles) / copyMedian);
  std::vector<double> latencies;
  for (int r = 0; r < rounds; ++r) latencies.push_back(AbortLatency(folder, archive, 50 + 30 * r));
  std::printf("abort during a copy of %zu MiB: latency median %.4f s, worst %.4f s\n", mib,
              Median(latencies), *std::max_element(latencies.begin(), latencies.end()));
  for (int n = 1; n <= kCopies; ++n) fs::RemoveFile(ArchiveCopyPath(folder, kName, n, ".zip"));
  fs::RemoveFile(archive);
  fs::RemoveFile(folder + "\\plain.zip");
  fs::RemoveFolder(folder);
  return 0;
}
