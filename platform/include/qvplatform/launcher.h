// Opening a file with the desktop's program for it, as the shell's "open" does: xdg-open runs
// with the file as its only argument (no shell in between; a name starting with "-" is passed as
// "./-..." so that it cannot read as an option). The call does not wait for the program: the
// child is reaped in the background. Failures go to the debug sink. Tests replace the opener.
#pragma once

#include <functional>
#include <string>

namespace qvplatform {

using FileOpener = std::function<bool(const std::string& fileName)>;

// True when the opener was started.
bool ShellOpenFile(const std::string& fileName);

// Replaces the opener for the whole process; an empty function restores xdg-open.
void SetFileOpener(FileOpener opener);

}  // namespace qvplatform
