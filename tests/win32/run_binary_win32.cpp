// RunBinary on Windows: the child is started with CreateProcessA, its
// output going to files, with the environment of the tests plus the given entries.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/run_binary.h"

namespace {

// One argument as the C runtime's command-line parser reads it back.
std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count double only before a quote.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

// The tests' own environment with `extra` laid over it, as CreateProcessA takes it.
std::string EnvironmentBlock(const std::vector<std::string>& extra) {
  struct TNoCase {
    bool operator()(const std::string& a, const std::string& b) const {
      return _stricmp(a.c_str(), b.c_str()) < 0;
    }
  };
  std::map<std::string, std::string, TNoCase> variables;
  auto add = [&variables](const std::string& entry) {
    const size_t equals = entry.find('=', 1);  // names like "=C:" start with '='
    if (equals == std::string::npos) return;
    variables[entry.substr(0, equals)] = entry.substr(equals + 1);
  };
  char* own = GetEnvironmentStringsA();
  for (const char* entry = own; entry != nullptr && *entry != '\0'; entry += std::strlen(entry) + 1)
    add(entry);
  if (own != nullptr) FreeEnvironmentStringsA(own);
  for (const std::string& entry : extra)
    add(entry);
  std::string block;
  for (const auto& [name, value] : variables)
    block += name + "=" + value + '\0';
  return block + '\0';
}

HANDLE InheritableFile(const std::string& path, bool write) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

TRunResult RunBinary(const std::string& binary, const std::vector<std::string>& args,
                     const std::vector<std::string>& environment) {
  const std::string dir = ScratchDir("run");
  std::string command = Quote(binary);
  for (const std::string& arg : args)
    command += " " + Quote(arg);
  std::string block = EnvironmentBlock(environment);

  TRunResult result;
  const HANDLE in = InheritableFile("NUL", false);
  const HANDLE out = InheritableFile(dir + "/out", true);
  const HANDLE err = InheritableFile(dir + "/err", true);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process = {};
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, block.data(), nullptr,
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) result.ExitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  } else {
    std::fprintf(stderr, "CreateProcessA failed: %lu\n", GetLastError());
  }
  for (HANDLE file : {in, out, err})
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  result.Out = ReadWholeFile(dir + "/out");
  result.Err = ReadWholeFile(dir + "/err");
  return result;
}
