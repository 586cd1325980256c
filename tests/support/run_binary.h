// Runs a built program as a child process and collects its exit code and output, for
// end-to-end tests through the command line.
#pragma once

#include <string>
#include <vector>

struct TRunResult {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

// `environment` entries ("NAME=value") are set for the child only.
TRunResult RunBinary(const std::string& binary, const std::vector<std::string>& args,
                     const std::vector<std::string>& environment = {});

// The object of the scene `name` in a run's JSON summary, as text; empty when it did not run.
std::string SummaryScene(const std::string& summary, const std::string& name);

// A fresh empty folder under the test build's scratch area.
std::string ScratchDir(const std::string& name);
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& text);
