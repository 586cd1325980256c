// Files the game keeps for the player (settings, screenshots, sound recordings, saved input,
// and whatever comes later) are written whole or not at all: into a temporary file of their own
// beside the target, forced to the disk, then renamed over the target, so that a crash, a full
// disk or a second running game never leaves a half-written file where a whole one was.
// This is the only code that names such a temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// What Open does when the target's folder does not exist.
enum class TMissingFolders { Fail, Make };

// One file on its way to the disk, written as a run goes or all at once: Open makes the
// temporary file, Write appends to it, Finish puts it in place, Abandon (or the destructor)
// throws it away. A target that is a symbolic link stays one: the file it leads to is
// replaced. A replaced file keeps its permissions; a new one gets the user's usual ones.
// Every failure is one line naming the file; the target then holds what it held before.
class TWholeFileWriter {
 public:
  TWholeFileWriter() = default;
  ~TWholeFileWriter();  // abandons a file that was not finished
  TWholeFileWriter(const TWholeFileWriter&) = delete;
  TWholeFileWriter& operator=(const TWholeFileWriter&) = delete;

  // Creates a temporary file that no other writer, in this process or another, shares.
  bool Open(const std::string& path, std::string& error,
            TMissingFolders folders = TMissingFolders::Fail);
  // Appends; a failure is remembered and reported by Finish.
  bool Write(const void* bytes, size_t size);
  // Writes over bytes already written, as a header completed once the sizes are known.
  bool WriteAt(uint64_t offset, const void* bytes, size_t size);
  // The open temporary file, for a library that writes to a stream (libpng); Finish also
  // reports its errors. Null when no file is open.
  std::FILE* File() const { return Temporary; }
  // Forces the file to the disk, renames it over the target and forces the folder's entry.
  bool Finish(std::string& error);
  // Removes the temporary file; the target is left as it was.
  void Abandon();

 private:
  std::filesystem::path Target;         // the file replaced: the path, or where its links lead
  std::filesystem::path TemporaryPath;  // empty when no file is open
  std::FILE* Temporary = nullptr;
  int WriteError = 0;  // errno of the first failed write
};

// Writes `bytes` as `path` through a TWholeFileWriter, making its folders when missing.
bool WriteFileWhole(const std::string& path, std::string_view bytes, std::string& error);
