#include "runner/archive_rotation.h"

#include "platform/fs.h"
#include "runner/archive_names.h"

namespace fs = platform::fs;

namespace {

// Copy n moves to copy n + 1 by renaming, then the archive is copied to copy 1. The file
// of the copy that drops out is reused for the new copy 1: its space is overwritten
// rather than released and allocated again, so a rotation costs about one copy.
void ShiftCopies(const std::string& name, const std::string& archive, const std::string& folder,
                 const std::string& extension, int count) {
  auto copy = [&](int n) { return ArchiveCopyPath(folder, name, n, extension); };
  std::string spare = copy(count) + ".tmp";
  bool reuse = fs::FileExists(copy(count)) && (count == 1 || fs::FileExists(copy(count - 1))) &&
               fs::MoveReplace(copy(count), spare);
  for (int n = count - 1; n >= 1; --n)
    if (fs::FileExists(copy(n))) fs::MoveReplace(copy(n), copy(n + 1));
  if (reuse && fs::CopyInto(archive, spare) && fs::MoveReplace(spare, copy(1))) return;
  if (reuse) fs::RemoveFile(spare);
  fs::CopyOver(archive, copy(1));
}

}  // namespace

void RotateArchiveCopies(const std::string& name, std::string& archivePath,
                         const std::string& folder, bool& skip, const std::string& extension,
                         const RunValues& values, RunControl& control) {
  std::optional<fs::LocalTime> written;
  if (fs::FileExists(archivePath) && !control.StopRequested())
    written = fs::GetLastWriteTime(archivePath);
  if (written) {
    int count = static_cast<int>(values.copyCount);
    if (count != 0 && !written->SameDay(fs::NowLocal())) {
      ShiftCopies(name, archivePath, folder, extension, count);
    } else if (values.saveMode == 1) {
      control.Journal("    Копия архива уже существует");
      skip = true;
    }
  }
  archivePath = Quote(archivePath);
}
