#include "tool_run.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>

#include "temp_files.h"

extern char** environ;

namespace vellora_test {

namespace {

// Both ends of a pipe, closed with the object.
struct Pipe {
  int fds[2] = {-1, -1};
  Pipe() {
    if (::pipe2(fds, O_CLOEXEC) != 0) fds[0] = fds[1] = -1;
  }
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
  bool Ok() const { return fds[0] >= 0; }
  void CloseRead() { Close(fds[0]); }
  void CloseWrite() { Close(fds[1]); }

 private:
  static void Close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
};

// Reads both pipes to their end; poll keeps a child that fills one of them from blocking.
void Drain(Pipe& out, Pipe* err, ToolResult& result) {
  std::array<char, 4096> buffer;
  std::array<pollfd, 2> fds = {pollfd{out.fds[0], POLLIN, 0},
                               pollfd{err ? err->fds[0] : -1, POLLIN, 0}};
  std::array<std::string*, 2> into = {&result.out, &result.err};
  int open = err ? 2 : 1;
  while (open > 0) {
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t n = ::read(fds[i].fd, buffer.data(), buffer.size());
      if (n > 0) {
        into[i]->append(buffer.data(), static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

ToolResult RunTool(const std::vector<std::string>& argv, ToolErrors errors,
                   const std::string& input) {
  ToolResult result;
  if (argv.empty()) return result;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  // The input is handed over as a file: no writer thread, no pipe that fills up.
  std::optional<TempFile> inputFile;
  if (!input.empty()) inputFile.emplace(input, ".in");
  Pipe out;
  Pipe err;
  if (!out.Ok() || !err.Ok()) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inputFile ? inputFile->Path().c_str() : "/dev/null",
                                   O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.fds[1], 1);
  switch (errors) {
    case ToolErrors::kJoin:
      posix_spawn_file_actions_adddup2(&actions, out.fds[1], 2);
      break;
    case ToolErrors::kSeparate:
      posix_spawn_file_actions_adddup2(&actions, err.fds[1], 2);
      break;
    case ToolErrors::kDrop:
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
      break;
  }
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  out.CloseWrite();
  err.CloseWrite();
  if (spawned != 0) return result;  // not found or not executable: started stays false
  result.started = true;
  Drain(out, errors == ToolErrors::kSeparate ? &err : nullptr, result);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return result;
  }
  result.exited = WIFEXITED(status);
  result.status = result.exited ? WEXITSTATUS(status) : -1;
  return result;
}

bool HaveTool(const std::string& name) {
  if (name.empty()) return false;
  if (name.find('/') != std::string::npos) return ::access(name.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "/usr/bin:/bin";
  while (true) {
    const std::size_t colon = rest.find(':');
    const std::string_view dir = rest.substr(0, colon);
    const std::filesystem::path candidate =
        std::filesystem::path(dir.empty() ? "." : std::string(dir)) / name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0)
      return true;
    if (colon == std::string_view::npos) return false;
    rest.remove_prefix(colon + 1);
  }
}

}  // namespace vellora_test
