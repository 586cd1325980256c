// RunBinary on POSIX systems: the child runs through the shell, its output going to files.
#include "support/run_binary.h"

#include <sys/wait.h>

#include <cstdlib>

namespace {

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

TRunResult RunBinary(const std::string& binary, const std::vector<std::string>& args,
                     const std::vector<std::string>& environment) {
  const std::string dir = ScratchDir("run");
  std::string command = "env";
  for (const std::string& variable : environment)
    command += " " + Quote(variable);
  command += " " + Quote(binary);
  for (const std::string& arg : args)
    command += " " + Quote(arg);
  command += " >" + Quote(dir + "/out") + " 2>" + Quote(dir + "/err") + " </dev/null";
  const int status = std::system(command.c_str());
  TRunResult result;
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.Out = ReadWholeFile(dir + "/out");
  result.Err = ReadWholeFile(dir + "/err");
  return result;
}
