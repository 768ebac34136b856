#include "qvplatform/launcher.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <thread>

#include "qvplatform/debug_output.h"

extern char** environ;

namespace qvplatform {

namespace {

std::mutex& OpenerMutex() {
  static std::mutex m;
  return m;
}
FileOpener& CurrentOpener() {
  static FileOpener opener;
  return opener;
}

bool SpawnXdgOpen(const std::string& fileName) {
  if (fileName.empty()) {
    OutputDebugString("launcher: no file to open");
    return false;
  }
  const std::string argument = fileName.front() == '-' ? "./" + fileName : fileName;
  char program[] = "xdg-open";
  char* argv[] = {program, const_cast<char*>(argument.c_str()), nullptr};
  pid_t child = 0;
  const int error = posix_spawnp(&child, program, nullptr, nullptr, argv, environ);
  if (error != 0) {
    OutputDebugString(std::string("launcher: xdg-open cannot start: ") + std::strerror(error));
    return false;
  }
  // The opener may run as long as the viewer does; a thread of its own collects its status.
  std::thread([child, fileName] {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      OutputDebugString("launcher: xdg-open could not open " + fileName);
  }).detach();
  return true;
}

}  // namespace

bool ShellOpenFile(const std::string& fileName) {
  FileOpener opener;
  {
    std::lock_guard<std::mutex> lock(OpenerMutex());
    opener = CurrentOpener();
  }
  return opener ? opener(fileName) : SpawnXdgOpen(fileName);
}

void SetFileOpener(FileOpener opener) {
  std::lock_guard<std::mutex> lock(OpenerMutex());
  CurrentOpener() = std::move(opener);
}

}  // namespace qvplatform
