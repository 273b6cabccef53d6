// The run snapshot and the batch parameter files hold passwords. They live in a folder of
// their own under the temporary folder, "Zorvan.<process id>", so that the next run can
// tell what a crashed run left (its process has ended) from the files of a run still
// going on in another process, and from other programs' files with similar names.
#pragma once

#include <string>

namespace run_files {

// This process's folder (created when missing), without a final separator.
std::string OwnFolder();
// Removes the folders, with their files, of processes that have ended.
void RemoveOrphans();
// Removes this process's folder when nothing is left in it.
void RemoveOwnFolderIfEmpty();

}  // namespace run_files
