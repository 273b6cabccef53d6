#include "runner/archive_rotation.h"

#include "platform/fs.h"
#include "runner/archive_names.h"

namespace fs = platform::fs;

void RotateArchiveCopies(const std::string& name, std::string& archivePath,
                         const std::string& folder, bool& skip, const std::string& extension,
                         const RunValues& values, RunControl& control) {
  std::optional<fs::LocalTime> written;
  if (fs::FileExists(archivePath) && !control.StopRequested()) written = fs::GetLastWriteTime(archivePath);
  if (written) {
    int count = static_cast<int>(values.copyCount);
    if (count != 0 && !written->SameDay(fs::NowLocal())) {
      // Renames within one folder: no data is copied for the older copies.
      for (int n = count - 1; n >= 1; --n) {
        std::string copy = ArchiveCopyPath(folder, name, n, extension);
        if (fs::FileExists(copy))
          fs::MoveReplace(copy, ArchiveCopyPath(folder, name, n + 1, extension));
      }
      fs::CopyOver(archivePath, ArchiveCopyPath(folder, name, 1, extension));
    } else if (values.saveMode == 1) {
      control.Journal("    Копия архива уже существует");
      skip = true;
    }
  }
  archivePath = Quote(archivePath);
}
