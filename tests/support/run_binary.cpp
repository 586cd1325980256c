#include "support/run_binary.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteWholeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ScratchDir(const std::string& name) {
  // One folder per process: ctest runs test cases side by side, each in its own process.
  const std::filesystem::path dir =
      std::filesystem::path(QUIBBET_TEST_TMP) / (name + "." + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

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
