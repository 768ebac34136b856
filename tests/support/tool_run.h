// Runs a program with its arguments, without a shell between (a path or a text that holds
// quotes or blanks reaches the program as it is), and collects what it wrote and how it ended.
#pragma once

#include <string>
#include <vector>

namespace vellora_test {

struct ToolResult {
  bool started = false;  // the program was found and started
  bool exited = false;   // it ended through exit (false: killed by a signal, or not started)
  int status = -1;       // its exit status when it exited, else -1
  std::string out;       // standard output, with standard error unless that went elsewhere
  std::string err;       // standard error, when kept apart
  bool Succeeded() const { return exited && status == 0; }
};

// Where the program's standard error goes.
enum class ToolErrors { kJoin, kSeparate, kDrop };

// argv[0] is looked up on PATH unless it holds a slash. input is the program's standard input
// (empty: /dev/null).
ToolResult RunTool(const std::vector<std::string>& argv, ToolErrors errors = ToolErrors::kJoin,
                   const std::string& input = {});

// True when name is an executable file, found on PATH unless it holds a slash.
bool HaveTool(const std::string& name);

}  // namespace vellora_test
