// The whole-file writer: what a folder holds afterwards is always one whole file, the old one
// or the new one, with the old one's permissions and through its symbolic links; a failure
// says why in one line and leaves no temporary file behind.
#include "res/whole_file_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "support/run_binary.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(WholeFileWriter, TwoWritersAtOnceLeaveOneWholeFile) {
  const fs::path dir = ScratchDir("writer_two_at_once");
  const std::string path = (dir / "kept.txt").string();
  const std::string all(256 * 1024, 'a'), streamed(256 * 1024, 'b');
  constexpr int Times = 25;
  int failedAll = 0, failedStreamed = 0;
  std::string errorAll, errorStreamed;  // the last reason of each
  std::thread other([&] {
    for (int i = 0; i < Times; ++i)
      if (!WriteFileWhole(path, all, errorAll)) ++failedAll;
  });
  for (int i = 0; i < Times; ++i) {  // in pieces, so a shared file would interleave them
    TWholeFileWriter file;
    bool written = file.Open(path, errorStreamed);
    for (size_t at = 0; at < streamed.size(); at += 4096)
      written = file.Write(streamed.data() + at, 4096) && written;
    if (!written || !file.Finish(errorStreamed)) ++failedStreamed;
  }
  other.join();
  EXPECT_EQ(failedAll, 0) << errorAll;
  EXPECT_EQ(failedStreamed, 0) << errorStreamed;
  const std::string left = ReadWholeFile(path);
  EXPECT_TRUE(left == all || left == streamed) << left.size() << " bytes of a mixture";
  EXPECT_EQ(Names(dir), std::vector<std::string>{"kept.txt"});
}

TEST(WholeFileWriter, AFailedReplaceLeavesWhatWasThereAndSaysWhyInOneLine) {
  const fs::path dir = ScratchDir("writer_failed");
  fs::create_directories(dir / "kept.txt" / "inside");  // a folder cannot be replaced by a file
  std::string error;
  EXPECT_FALSE(WriteFileWhole((dir / "kept.txt").string(), "new", error));
  EXPECT_NE(error.find((dir / "kept.txt").string()), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  EXPECT_TRUE(fs::is_directory(dir / "kept.txt" / "inside"));
  EXPECT_EQ(Names(dir), std::vector<std::string>{"kept.txt"});

  // A stream given up on the way, as a run cut short gives up its recording.
  WriteWholeFile((dir / "old.txt").string(), "old");
  {
    TWholeFileWriter file;
    ASSERT_TRUE(file.Open((dir / "old.txt").string(), error)) << error;
    file.Write("new", 3);
  }
  EXPECT_EQ(ReadWholeFile((dir / "old.txt").string()), "old");
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"kept.txt", "old.txt"}));
}

TEST(WholeFileWriter, ReplacedFileKeepsItsPermissionsAndANewOneGetsTheUsualOnes) {
  const fs::path dir = ScratchDir("writer_mode");
  std::string error;
  WriteWholeFile((dir / "usual.txt").string(), "");
  ASSERT_TRUE(WriteFileWhole((dir / "new.txt").string(), "new", error)) << error;
  EXPECT_EQ(fs::status(dir / "new.txt").permissions(), fs::status(dir / "usual.txt").permissions());
#ifndef _WIN32  // Windows keeps a read-only flag, not a mode
  constexpr fs::perms Private =
      fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(dir / "new.txt", Private);
  ASSERT_TRUE(WriteFileWhole((dir / "new.txt").string(), "newer", error)) << error;
  EXPECT_EQ(fs::status(dir / "new.txt").permissions(), Private);
#endif
}

TEST(WholeFileWriter, SymbolicLinkIsWrittenThroughAndStaysALink) {
  const fs::path dir = ScratchDir("writer_link");
  fs::create_directories(dir / "real");
  WriteWholeFile((dir / "real" / "kept.txt").string(), "old");
  std::error_code made;
  fs::create_symlink(fs::path("real") / "kept.txt", dir / "kept.txt", made);
  if (made) GTEST_SKIP() << "no symbolic links here: " << made.message();
  fs::create_symlink(fs::path("real") / "later.txt", dir / "later.txt");  // leads nowhere yet
  std::string error;
  ASSERT_TRUE(WriteFileWhole((dir / "kept.txt").string(), "new", error)) << error;
  ASSERT_TRUE(WriteFileWhole((dir / "later.txt").string(), "made", error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir / "kept.txt"));
  EXPECT_TRUE(fs::is_symlink(dir / "later.txt"));
  EXPECT_EQ(ReadWholeFile((dir / "real" / "kept.txt").string()), "new");
  EXPECT_EQ(ReadWholeFile((dir / "real" / "later.txt").string()), "made");
  EXPECT_EQ(Names(dir / "real"), (std::vector<std::string>{"kept.txt", "later.txt"}));
}
