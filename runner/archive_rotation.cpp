#include "runner/archive_rotation.h"

#include <algorithm>

#include "platform/fs.h"
#include "runner/archive_names.h"

namespace fs = platform::fs;

namespace {

// The window offers up to nine copies; a spare of a larger count from an edited file is
// found too, since the count of the interrupted rotation is not known.
constexpr int kSpareSearch = 9;

std::string SparePath(const std::string& folder, const std::string& name, int n,
                      const std::string& extension) {
  return ArchiveCopyPath(folder, name, n, extension) + ".tmp";
}

// Copy n moves to copy n + 1 by renaming, then the archive is copied to copy 1. The file
// of the copy that drops out is reused for the new copy 1: its space is overwritten
// rather than released and allocated again, so a rotation costs about one copy.
void ShiftCopies(const std::string& name, const std::string& archive, const std::string& folder,
                 const std::string& extension, int count, RunControl& control) {
  auto copy = [&](int n) { return ArchiveCopyPath(folder, name, n, extension); };
  std::string spare = SparePath(folder, name, count, extension);
  bool reuse = fs::FileExists(copy(count)) && (count == 1 || fs::FileExists(copy(count - 1))) &&
               fs::MoveReplace(copy(count), spare);
  for (int n = count - 1; n >= 1; --n)
    if (fs::FileExists(copy(n))) fs::MoveReplace(copy(n), copy(n + 1));
  auto stop = [&control] { return control.StopRequested(); };
  if (reuse && fs::CopyInto(archive, spare, stop) && fs::MoveReplace(spare, copy(1))) return;
  if (reuse) fs::RemoveFile(spare);
  fs::CopyStoppable(archive, copy(1), stop);
}

}  // namespace

void RemoveRotationSpares(const std::string& name, const std::string& folder,
                          const std::string& extension, int count) {
  for (int n = std::max(count, kSpareSearch); n >= 1; --n) {
    std::string spare = SparePath(folder, name, n, extension);
    if (fs::FileExists(spare)) fs::RemoveFile(spare);
  }
}

RotationDecision DecideRotation(const std::string& archivePath, const RunValues& values) {
  RotationDecision d;
  std::optional<fs::LocalTime> written;
  if (fs::FileExists(archivePath)) written = fs::GetLastWriteTime(archivePath);
  if (!written) return d;
  d.exists = true;
  if (values.copyCount != 0 && !written->SameDay(fs::NowLocal()))
    d.shift = true;
  else
    d.retain = values.saveMode == 1;
  return d;
}

bool MoveIntoCopies(const std::string& name, const std::string& previous, const std::string& folder,
                    const std::string& extension, int count) {
  auto copy = [&](int n) { return ArchiveCopyPath(folder, name, n, extension); };
  RemoveRotationSpares(name, folder, extension, count);
  for (int n = count - 1; n >= 1; --n)
    if (fs::FileExists(copy(n))) fs::MoveReplace(copy(n), copy(n + 1));
  return fs::MoveReplace(previous, copy(1));
}

void RotateArchiveCopies(const std::string& name, std::string& archivePath,
                         const std::string& folder, bool& skip, const std::string& extension,
                         const RunValues& values, RunControl& control) {
  int count = static_cast<int>(values.copyCount);
  RemoveRotationSpares(name, folder, extension, count);
  RotationDecision d;
  if (!control.StopRequested()) d = DecideRotation(archivePath, values);
  if (d.shift) {
    ShiftCopies(name, archivePath, folder, extension, count, control);
  } else if (d.retain) {
    control.Journal("    Копия архива уже существует");
    skip = true;
  }
  archivePath = Quote(archivePath);
}
