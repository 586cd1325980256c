// The temporary file (its name and its exclusive creation), the checked writes, and the
// finishing step: bytes and permissions to the disk, the rename, the folder's entry to the
// disk. POSIX calls on Linux and in the browser's file system, their CRT and Win32 kin on
// Windows.
#include "res/whole_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <system_error>
#include <utility>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Sets `error` to "WHAT: WHY" on one line (Windows' own messages end in a line break).
bool Fail(std::string& error, const std::string& what, const std::string& why) {
  error = what + ": " + why;
  const size_t lineEnd = error.find_first_of("\r\n");
  if (lineEnd != std::string::npos) error.resize(lineEnd);
  return false;
}

std::string Reason(int code) {
  return std::generic_category().message(code);
}

// The error of the call that just failed; a stream's failure need not have set one.
int LastError() {
  return errno != 0 ? errno : EIO;
}

// Where `path` leads: its symbolic links followed to the file they name, which need not exist
// yet. A loop of links ends after as many hops as Linux follows, on a link then replaced.
fs::path LinkedFile(fs::path path) {
  std::error_code error;
  for (int hop = 0; hop < 40 && fs::is_symlink(path, error); ++hop) {
    const fs::path next = fs::read_symlink(path, error);
    if (error) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

unsigned ProcessId() {
#ifdef _WIN32
  return static_cast<unsigned>(_getpid());
#else
  return static_cast<unsigned>(getpid());
#endif
}

// ".NAME.TAG.part" beside the target: hidden where dot files are, recognisably ours where a
// crash leaves one. The process, a count and the clock make the tag unlikely to be taken;
// the exclusive creation makes the file the writer's own when it is not.
fs::path TemporaryName(const fs::path& target) {
  static std::atomic<uint32_t> Made{0};
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  char tag[64];
  std::snprintf(tag, sizeof tag, ".%x-%x-%llx.part", ProcessId(), Made.fetch_add(1),
                static_cast<unsigned long long>(ticks) & 0xFFFFFFFFFFull);
  fs::path name = ".";
  name += target.filename();
  name += tag;
  return target.parent_path() / name;
}

// A new file at `path`, or null with `error` set (EEXIST when the name is taken).
std::FILE* CreateExclusively(const fs::path& path, int& error) {
#ifdef _WIN32
  const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                        _S_IREAD | _S_IWRITE);
  std::FILE* file = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
#else
  // 0666 before the umask: the mode any file this user makes would have.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  std::FILE* file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
#endif
  if (file != nullptr) return file;
  error = LastError();
  if (fd >= 0) {
#ifdef _WIN32
    _close(fd);
#else
    ::close(fd);
#endif
    std::error_code ignored;
    fs::remove(path, ignored);
  }
  return nullptr;
}

// A replaced file keeps who may read and write it: private settings stay private.
bool KeepPermissions(const fs::path& target, const fs::path& temporary, int& error) {
  std::error_code code;
  const fs::file_status old = fs::status(target, code);
  if (code || !fs::is_regular_file(old)) return true;  // nothing to keep
  fs::permissions(temporary, old.permissions(), fs::perm_options::replace, code);
  error = code.value();
  return !code;
}

bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

bool Replace(const fs::path& from, const fs::path& to, std::string& reason) {
#ifdef _WIN32
  // Windows refuses to replace a file that someone holds open: another writer renaming over it
  // a moment ago, a virus scanner, the search indexer. Such holds pass within milliseconds; a
  // lasting refusal (a folder, a read-only file) is reported after the last try.
  constexpr int Tries = 20;
  for (int tried = 1;; ++tried) {
    // Write-through: the call returns once the move is on the disk, as a folder's sync would.
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    const DWORD code = GetLastError();
    if ((code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) || tried == Tries) {
      reason = std::system_category().message(static_cast<int>(code));
      return false;
    }
    Sleep(10);
  }
#else
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  reason = Reason(errno);
#endif
  return false;
}

// The rename changed the folder; until that change is on the disk too, a power cut may bring
// back the old file. A folder that cannot be synced (some file systems refuse) is no failure:
// the new file is already in place.
void SyncFolder([[maybe_unused]] const fs::path& folder) {
#ifndef _WIN32
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  ::close(fd);
#endif
}

}  // namespace

TWholeFileWriter::~TWholeFileWriter() {
  Abandon();
}

bool TWholeFileWriter::Open(const std::string& path, std::string& error, TMissingFolders folders) {
  Abandon();
  try {
    Target = LinkedFile(path);
    const fs::path folder = Target.parent_path();
    std::error_code made;
    if (folders == TMissingFolders::Make && !folder.empty() &&
        !fs::create_directories(folder, made) && made)
      return Fail(error, "cannot create the folder " + folder.string(), made.message());
    int failure = EEXIST;
    for (int attempt = 0; attempt < 100 && failure == EEXIST; ++attempt) {
      TemporaryPath = TemporaryName(Target);
      Temporary = CreateExclusively(TemporaryPath, failure);
      if (Temporary != nullptr) {
        WriteError = 0;
        return true;
      }
    }
    TemporaryPath.clear();
    return Fail(error, "cannot create a file beside " + Target.string(), Reason(failure));
  } catch (const std::exception& e) {  // memory, or a name the file system cannot represent
    Abandon();
    return Fail(error, "cannot write " + path, e.what());
  }
}

bool TWholeFileWriter::Write(const void* bytes, size_t size) {
  if (Temporary == nullptr) return false;
  errno = 0;
  if (size == 0 || std::fwrite(bytes, 1, size, Temporary) == size) return true;
  if (WriteError == 0) WriteError = LastError();
  return false;
}

bool TWholeFileWriter::WriteAt(uint64_t offset, const void* bytes, size_t size) {
  if (Temporary == nullptr) return false;
  errno = 0;
  if (offset > LONG_MAX || std::fseek(Temporary, static_cast<long>(offset), SEEK_SET) != 0) {
    if (WriteError == 0) WriteError = offset > LONG_MAX ? EFBIG : LastError();
    return false;
  }
  return Write(bytes, size);
}

bool TWholeFileWriter::Finish(std::string& error) {
  if (Temporary == nullptr) return Fail(error, "cannot write " + Target.string(), "not open");
  std::FILE* file = std::exchange(Temporary, nullptr);
  int failure = WriteError;
  errno = 0;
  if (failure == 0 && (std::fflush(file) != 0 || std::ferror(file) != 0)) failure = LastError();
  if (failure == 0) KeepPermissions(Target, TemporaryPath, failure);
  // The bytes on the disk before the rename makes them the file: a power cut must not leave
  // an empty file where a good one was.
  if (failure == 0 && !SyncToDisk(file)) failure = LastError();
  if (std::fclose(file) != 0 && failure == 0) failure = LastError();
  std::string reason = failure != 0 ? Reason(failure) : "";
  if (failure == 0 && Replace(TemporaryPath, Target, reason)) {
    TemporaryPath.clear();
    SyncFolder(Target.parent_path());
    return true;
  }
  Abandon();
  return Fail(error, (failure != 0 ? "cannot write " : "cannot replace ") + Target.string(),
              reason);
}

void TWholeFileWriter::Abandon() {
  if (Temporary != nullptr) std::fclose(std::exchange(Temporary, nullptr));
  if (TemporaryPath.empty()) return;
  std::error_code ignored;
  fs::remove(TemporaryPath, ignored);
  TemporaryPath.clear();
}

bool WriteFileWhole(const std::string& path, std::string_view bytes, std::string& error) {
  TWholeFileWriter file;
  if (!file.Open(path, error, TMissingFolders::Make)) return false;
  file.Write(bytes.data(), bytes.size());
  return file.Finish(error);
}
