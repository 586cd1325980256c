// mpk: creates, lists and unpacks the game's pack-file archives. Reading goes through the
// engine's archive code, so names match as in the game and damaged archives give its boxes.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/boxes.h"
#include "res/file_load.h"
#include "res/packfile.h"
#include "res/whole_file_writer.h"

namespace {

constexpr int BadUsage = 2;
constexpr int Failed = 1;

void PrintUsage() {
  std::fputs(
      "usage: mpk create ARCHIVE FILE...          pack FILEs, each under its base name\n"
      "       mpk list ARCHIVE                    NAME<TAB>SIZE<TAB>OFFSET per entry\n"
      "       mpk extract ARCHIVE [NAME...] [-C DIR]  unpack all or the named entries\n"
      "       mpk cat ARCHIVE NAME                write one entry to standard output\n"
      "ARCHIVE gets \".MPK\" appended when its file name holds no '.'.\n",
      stderr);
}

int Usage() {
  PrintUsage();
  return BadUsage;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "mpk: %s\n", message.c_str());
  return Failed;
}

void PutU16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}
void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  PutU16(out, at, value & 0xFFFF);
  PutU16(out, at + 2, value >> 16);
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

// A name taken from an archive becomes a file in the target folder only when it cannot
// point anywhere else.
bool PlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\") == std::string::npos;
}

// The archive's file: the game's extension rule applied to the file name alone, so that a
// folder with a dot in its name ("../data") does not switch it off.
std::string ArchivePath(const std::string& archive) {
  const std::string name = std::filesystem::path(archive).filename().string();
  return name.find('.') == std::string::npos ? archive + ".MPK" : archive;
}

bool WriteAll(std::FILE* file, const uint8_t* data, size_t size) {
  return size == 0 || std::fwrite(data, 1, size, file) == size;
}

// ---- create -----------------------------------------------------------------------------

int Create(const std::string& archive, const std::vector<std::string>& files) {
  if (files.size() > 65535) return Fail("an archive holds at most 65535 files");
  std::vector<std::string> names;
  for (const std::string& file : files) {
    const std::string name = std::filesystem::path(file).filename().string();
    if (name.empty() || name.size() > PackNameFieldSize)
      return Fail(file + ": a stored name must be 1 to 255 bytes long");
    for (const std::string& earlier : names)
      if (SameNameIgnoringCase(earlier, name))
        return Fail(file + ": the game could not tell " + name + " from " + earlier +
                    " (names match ignoring case)");
    names.push_back(name);
  }

  // Header, then the directory, then the files' bytes in argument order; the directory is
  // written last, once every size is known, so no file needs to stay in memory. A failure on
  // the way (a file the engine cannot load throws) leaves no archive: the writer abandons it.
  TWholeFileWriter out;
  std::string error;
  if (!out.Open(archive, error)) return Fail(error);
  const uint64_t directoryOffset = PackHeaderSize;
  std::vector<uint8_t> directory(files.size() * PackEntrySize, 0);
  uint64_t offset = directoryOffset + directory.size();
  out.Write(std::vector<uint8_t>(offset, 0).data(), offset);
  for (size_t i = 0; i < files.size(); ++i) {
    TFileBlock block;
    block.Size = LoadFile(files[i], block.Data);
    if (offset + block.Size > INT32_MAX)
      return Fail("the archive would pass 2 GB, which its 32-bit offsets cannot address");
    out.Write(block.Data, block.Size);
    const size_t record = i * PackEntrySize;
    std::memcpy(&directory[record], names[i].data(), names[i].size());
    PutU32(directory, record + PackNameFieldSize, static_cast<uint32_t>(offset));
    PutU32(directory, record + PackNameFieldSize + 4, block.Size);
    offset += block.Size;
  }

  std::vector<uint8_t> header(PackHeaderSize, 0);
  std::memcpy(header.data(), "MPK", 3);
  header[3] = 1;
  PutU16(header, 5, static_cast<uint32_t>(files.size()));
  PutU32(header, 7, static_cast<uint32_t>(directoryOffset));
  out.WriteAt(0, header.data(), header.size());
  out.Write(directory.data(), directory.size());
  return out.Finish(error) ? 0 : Fail(error);
}

// ---- list, extract, cat -----------------------------------------------------------------

TPackfile& OpenArchive(const std::string& archive) {
  // Resident, so that every LoadSubFile below finds the directory already read.
  const uint8_t slot = PackfileOpenResident(archive);
  if (slot > 244) ArchiveOpenFailedBox(archive, slot);
  return *PackfileObject(slot);
}

int List(const std::string& archive) {
  for (const TPackEntry& entry : OpenArchive(archive).Entries)
    std::printf("%s\t%d\t%d\n", entry.Name.c_str(), entry.DataSize, entry.DataOffset);
  return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the listing");
}

int Extract(const std::string& archive, const std::vector<std::string>& wanted,
            const std::string& folder) {
  const TPackfile& packfile = OpenArchive(archive);
  std::vector<std::string> names;  // as stored, each found by the game under that name
  if (wanted.empty()) {
    for (const TPackEntry& entry : packfile.Entries) {
      if (FindEntry(&packfile, entry.Name) != &entry) {
        std::fprintf(stderr, "mpk: skipping a second %s: the game only ever finds the first\n",
                     entry.Name.c_str());
        continue;
      }
      names.push_back(entry.Name);
    }
  } else {
    for (const std::string& name : wanted) {
      const TPackEntry* entry = FindEntry(&packfile, name);
      if (entry == nullptr) {
        TFileBlock missing;
        LoadSubFile(name, archive, missing.Data);  // shows the game's box for a missing name
        return Fail("no entry " + name);
      }
      names.push_back(entry->Name);
    }
  }
  for (const std::string& name : names)
    if (!PlainFileName(name))
      return Fail("refusing to extract \"" + name + "\": not a plain file name");

  std::error_code error;
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  if (error) return Fail("cannot make " + folder + ": " + error.message());
  for (const std::string& name : names) {
    TFileBlock block;
    block.Size = LoadSubFile(name, archive, block.Data);
    const std::string path = (std::filesystem::path(folder) / name).string();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return Fail("cannot write " + path + ": " + std::strerror(errno));
    const bool written = WriteAll(out, block.Data, block.Size);
    if (std::fclose(out) != 0 || !written) return Fail("cannot write " + path);
  }
  return 0;
}

int Cat(const std::string& archive, const std::string& name) {
  TFileBlock block;
  block.Size = LoadSubFile(name, archive, block.Data);
  if (!WriteAll(stdout, block.Data, block.Size) || std::fflush(stdout) != 0)
    return Fail("cannot write to standard output");
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage();
  const std::string& command = args[0];
  const std::string archive = ArchivePath(args[1]);
  const std::vector<std::string> rest(args.begin() + 2, args.end());
  if (command == "create" && !rest.empty()) return Create(archive, rest);
  if (command == "list" && rest.empty()) return List(archive);
  if (command == "cat" && rest.size() == 1) return Cat(archive, rest[0]);
  if (command == "extract") {
    std::vector<std::string> names;
    std::string folder;
    for (size_t i = 0; i < rest.size(); ++i) {
      if (rest[i] != "-C") {
        names.push_back(rest[i]);
        continue;
      }
      if (i + 1 == rest.size() || !folder.empty()) return Usage();
      folder = rest[++i];
    }
    return Extract(archive, names, folder);
  }
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  int code = 0;
  try {
    code = Run(args);
  } catch (const TProgramExit& exit) {
    // The box was printed to stderr; a box never means success, whatever code it carries.
    code = exit.Code != 0 ? exit.Code : Failed;
  }
  ResetPackfiles();
  return code;
}
