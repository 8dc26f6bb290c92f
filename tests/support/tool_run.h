#pragma once

// testsupport::runTool(): runs a command line of the system's tools (an independent client such as ffprobe
// or ffmpeg) through the shell, with standard input empty, stopped after a minute, and returns its exit
// status and what it wrote to both outputs. Thread-safe.

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace testsupport {

struct ToolRun {
  // The exit status, or -1 when the tool could not run or ended by a signal.
  int exitStatus = -1;
  std::string output;
};

inline ToolRun runTool(const std::string& command) {
  ToolRun run;
  FILE* pipe = ::popen(("timeout 60 " + command + " 2>&1 </dev/null").c_str(), "r");
  if (pipe == nullptr) {
    return run;
  }
  char buffer[4096];
  while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
    run.output.append(buffer, read);
  }
  const int status = ::pclose(pipe);
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace testsupport
