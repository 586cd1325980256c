// Scratch folders, whole-file reads and writes, and run summaries for tests, on every platform.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/run_binary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

unsigned long ProcessId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(::getpid());
#endif
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
  namespace fs = std::filesystem;
  // One folder per process: ctest runs test cases side by side, each in its own process.
  const fs::path dir = fs::path(QUIBBET_TEST_TMP) / (name + "." + std::to_string(ProcessId()));
  // Process ids come round again, and Windows removes no read-only file that a test of an
  // earlier run left behind.
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(dir, error))
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, error);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

std::string SummaryScene(const std::string& summary, const std::string& name) {
  const size_t start = summary.find("{\"name\":\"" + name + "\"");
  if (start == std::string::npos) return "";
  return summary.substr(start, summary.find('}', start) - start + 1);
}
