// The quiet platform, the scratch folder and the table reset shared by the fuzz targets.
#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/platform.h"
#include "res/data_dir.h"
#include "res/image_cache.h"
#include "res/packfile.h"

namespace {

TPlatformConfig TurboConfig() {
  TPlatformConfig config;
  config.Turbo = true;
  return config;
}

std::string ScratchPath;

void RemoveScratch() {
  std::error_code ignored;
  if (!ScratchPath.empty()) std::filesystem::remove_all(ScratchPath, ignored);
}

}  // namespace

TFuzzPlatform::TFuzzPlatform() : TQueuedPlatform(TurboConfig()) {}

void TFuzzPlatform::MessageBox(const std::string& caption, const std::string& text, TBoxKind) {
  ++Boxes;
  LastCaption = caption;
  LastText = text;
}

const std::string& FuzzScratch() {
  if (ScratchPath.empty()) {
    // Every input is written to a file and read back; in memory that is several times
    // faster than on a disk.
    const char* base = std::getenv("TMPDIR");
    std::string folder = base != nullptr && *base != '\0' ? base : "/tmp";
    std::error_code ignored;
    if (base == nullptr && std::filesystem::is_directory("/dev/shm", ignored)) folder = "/dev/shm";
    std::string pattern = folder + "/quibbet-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("quibbet fuzz: cannot create a scratch folder");
      std::abort();
    }
    ScratchPath = pattern;
    std::atexit(RemoveScratch);
  }
  return ScratchPath;
}

TFuzzPlatform& FuzzSetup() {
  // Never freed: the fuzzer ends the process, and the engine holds the pointer to the end.
  static TFuzzPlatform* platform = [] {
    auto* created = new TFuzzPlatform();
    SetPlatform(created);
    SetDataDirectory(FuzzScratch());
    CacheInit();
    return created;
  }();
  return *platform;
}

void WriteScratchFile(const std::string& name, const void* data, size_t size) {
  const std::string path = FuzzScratch() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || (size != 0 && std::fwrite(data, 1, size, file) != size) ||
      std::fclose(file) != 0) {
    std::perror(path.c_str());
    std::abort();
  }
}

void ResetEngineTables() {
  CacheDone();
  ResetPackfiles();
}

void FuzzFailure(const char* file, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, what);
  std::abort();
}
