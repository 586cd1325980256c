// The data search path: a player runs the game from anywhere without --data, whether it was
// installed under a prefix, unpacked into a home folder, or packaged for the system.
#include "app/data_search.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

// Where the installed archives lie as seen from the installed program; the build passes
// the real one for its install layout.
#ifndef QUIBBET_DATA_FROM_PROGRAM
#define QUIBBET_DATA_FROM_PROGRAM "../share/quibbet"
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* Archives[] = {"SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK"};

void AddOnce(std::vector<std::string>& path, const std::string& dir) {
  if (std::find(path.begin(), path.end(), dir) == path.end()) path.push_back(dir);
}

}  // namespace

TDataSearchInputs DataSearchInputsOfThisProgram(const std::string& argv0) {
  TDataSearchInputs inputs;
  std::error_code error;
  // The running program's own file, wherever it was started from; argv[0] as a fallback
  // where /proc is not mounted.
  fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error) program = fs::canonical(fs::path(argv0), error);
  if (!error) inputs.ProgramDir = program.parent_path().string();
  inputs.Folders = PlayerFoldersOfThisProcess();
  return inputs;
}

std::vector<std::string> DataSearchPath(const TDataSearchInputs& inputs) {
  std::vector<std::string> path{""};
  if (!inputs.Folders.Data.empty()) AddOnce(path, inputs.Folders.Data);
  if (!inputs.ProgramDir.empty()) {
    const fs::path program(inputs.ProgramDir);
    AddOnce(path, (program / QUIBBET_DATA_FROM_PROGRAM).lexically_normal().string());
    // A program in a build tree (build/src/quibbet) finds the archives the build made.
    std::error_code error;
    if (fs::exists(program.parent_path() / "CMakeCache.txt", error))
      AddOnce(path, (program.parent_path() / "data").string());
  }
  for (const std::string& dir : inputs.Folders.SystemData)
    AddOnce(path, dir);
  return path;
}

bool HoldsArchives(const std::string& dir) {
  for (const char* name : Archives) {
    const std::string file = dir.empty() ? name : (fs::path(dir) / name).string();
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  }
  return true;
}

TDataSearch FindGameData(const std::string& dataOption, const TDataSearchInputs& inputs) {
  TDataSearch search;
  search.Searched =
      dataOption.empty() ? DataSearchPath(inputs) : std::vector<std::string>{dataOption};
  for (const std::string& dir : search.Searched) {
    if (HoldsArchives(dir)) {
      search.Dir = dir;
      search.Found = true;
      return search;
    }
  }
  search.Dir = dataOption;
  return search;
}

std::string DescribeSearch(const TDataSearch& search) {
  std::string text = "quibbet: SPRITES.MPK, FONTS.MPK and TEXTS.MPK were looked for in:\n";
  for (const std::string& dir : search.Searched) {
    if (!dir.empty()) {
      text += "  " + dir + "\n";
      continue;
    }
    std::error_code error;
    const fs::path here = fs::current_path(error);
    text += "  the working directory" + (error ? "" : " (" + here.string() + ")") + "\n";
  }
  return text + "quibbet: give their folder with --data DIR, or see 'man 6 quibbet'.\n";
}
