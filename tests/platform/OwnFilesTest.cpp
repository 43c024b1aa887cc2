// The files a process may trust and may delete: named files opened without hanging on
// what they turn out to be, and folders of one process under a root that others share.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>

#include "platform/FileOpen.h"
#include "platform/ProcessFolder.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

bool Ours(const std::string& name) { return name.ends_with("_movi") || name.ends_with(".avi"); }

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

TEST(FileOpen, OnlyRegularFilesOpenAndNothingWaitsForAWriter) {
  const TempFolder dir;
  WriteBytes(dir / "plain", "bytes");
  ASSERT_EQ(0, ::mkfifo((dir / "pipe").c_str(), 0600));
  platform::OpenFailure failure;
  const int fd = platform::OpenPlainFile(dir / "plain", O_RDONLY, false, &failure);
  ASSERT_GE(fd, 0);
  EXPECT_FALSE(failure.Failed());
  EXPECT_EQ(0, ::fcntl(fd, F_GETFL) & O_NONBLOCK) << "reads block as usual once open";
  EXPECT_NE(0, ::fcntl(fd, F_GETFD) & FD_CLOEXEC);
  ::close(fd);
  struct Case {
    fs::path path;
    bool allowBlock;
    int error;
    const char* text;
  };
  for (const Case& c : {Case{dir / "pipe", true, 0, "is a named pipe (FIFO), not a file"},
                        Case{dir.Path(), true, 0, "is a folder, not a file"},
                        Case{"/dev/null", true, 0, "is a character device, not a file"},
                        Case{dir / "gone", false, ENOENT, "No such file or directory"}}) {
    EXPECT_EQ(-1, platform::OpenPlainFile(c.path, O_RDONLY, c.allowBlock, &failure)) << c.path;
    EXPECT_EQ(c.error, failure.error) << c.path;
    EXPECT_EQ(c.text, platform::DescribeOpenFailure(failure)) << c.path;
  }
  EXPECT_EQ(nullptr, platform::OpenPlainFileStream(dir / "pipe", &failure));
  EXPECT_EQ(S_IFIFO, failure.refusedKind);
  std::FILE* stream = platform::OpenPlainFileStream(dir / "plain");
  ASSERT_NE(nullptr, stream);
  std::fclose(stream);
}

TEST(ProcessFolder, EachProcessHasItsOwnAndDeletesOnlyWhatItMade) {
  const TempFolder root;
  WriteBytes(root / "users_own.avi", "the user's recording in a shared temporary folder");
  platform::ProcessFolder first, second;
  ASSERT_TRUE(first.Create(root.Path(), "viewer-", Ours));
  ASSERT_TRUE(second.Create(root.Path(), "viewer-", Ours));
  EXPECT_NE(first.Path(), second.Path());
  EXPECT_EQ(root.Path(), first.Path().parent_path());
  EXPECT_EQ(0u, first.Path().filename().string().rfind("viewer-" + std::to_string(::getpid()) + "-", 0));
  WriteBytes(first.Path() / "REC_1.avi_movi", "copy");
  WriteBytes(first.Path() / "REC_1.avi_REPAIR.avi", "rebuilt");
  WriteBytes(second.Path() / "REC_1.avi_REPAIR.avi", "the other one's");
  first.Empty();
  EXPECT_EQ(std::set<std::string>{"owner.lock"}, NamesIn(first.Path()));
  EXPECT_EQ("the other one's", ReadBytes(second.Path() / "REC_1.avi_REPAIR.avi"));
  // A file someone else put into the folder keeps it, and the folder with it.
  WriteBytes(first.Path() / "notes.txt", "not ours");
  const fs::path kept = first.Path();
  first.Remove();
  EXPECT_EQ(std::set<std::string>{"notes.txt"}, NamesIn(kept));
  second.Remove();
  EXPECT_EQ((std::set<std::string>{"users_own.avi", kept.filename().string()}), NamesIn(root.Path()));
}

TEST(ProcessFolder, FoldersOfEndedProcessesGoAndThoseOfRunningOnesStay) {
  const TempFolder root;
  int ready[2], hold[2];
  ASSERT_EQ(0, ::pipe(ready));
  ASSERT_EQ(0, ::pipe(hold));
  // One child ends at once without tidying up (as a killed viewer would); the other
  // keeps running until told to end.
  for (int child = 0; child < 2; ++child) {
    if (::fork() == 0) {
      auto* folder = new platform::ProcessFolder;  // never destroyed: no clean-up
      const bool made = folder->Create(root.Path(), "viewer-", Ours);
      if (made) WriteBytes(folder->Path() / "REC.avi_movi", "left behind");
      char answer = made ? 'y' : 'n';
      (void)!::write(ready[1], &answer, 1);
      if (child == 1) (void)!::read(hold[0], &answer, 1);
      ::_exit(0);
    }
  }
  char answers[2] = {};
  ASSERT_EQ(1, ::read(ready[0], &answers[0], 1));
  ASSERT_EQ(1, ::read(ready[0], &answers[1], 1));
  ASSERT_EQ('y', answers[0]);
  ASSERT_EQ('y', answers[1]);
  // Reaped before the sweep: only then has the first one's lock surely gone.
  const pid_t ended = ::wait(nullptr);
  ASSERT_GT(ended, 0);
  platform::ProcessFolder mine;
  ASSERT_TRUE(mine.Create(root.Path(), "viewer-", Ours));
  // A folder an older build made, or one still being made: no lock inside.
  const fs::path lockless = root / "viewer-1-old", fresh = root / "viewer-2-new";
  fs::create_directories(lockless);
  fs::create_directories(fresh);
  WriteBytes(lockless / "A.avi_movi", "");
  fs::last_write_time(lockless, fs::file_time_type::clock::now() - std::chrono::hours(2));
  // Only folders that carry the prefix are looked at.
  fs::create_directories(root / "holiday");
  WriteBytes(root / "holiday" / "B.avi", "the user's");

  EXPECT_EQ(2, platform::RemoveEndedProcessFolders(root.Path(), "viewer-", Ours));
  const std::set<std::string> left = NamesIn(root.Path());
  EXPECT_EQ(4u, left.size());
  EXPECT_TRUE(left.count(mine.Path().filename().string()));
  EXPECT_TRUE(left.count("viewer-2-new"));
  EXPECT_TRUE(left.count("holiday"));  // and the running child's
  EXPECT_FALSE(left.count("viewer-1-old"));
  ASSERT_EQ(1, ::write(hold[1], "x", 1));
  ::wait(nullptr);
  EXPECT_EQ(1, platform::RemoveEndedProcessFolders(root.Path(), "viewer-", Ours)) << "the second child ended now";
  EXPECT_EQ(3u, NamesIn(root.Path()).size());
  for (int fd : {ready[0], ready[1], hold[0], hold[1]}) ::close(fd);
}

TEST(ProcessFolder, ARootThatCannotBeMadeIsAFailureWithItsReason) {
  const TempFolder dir;
  WriteBytes(dir / "file", "in the way");
  platform::ProcessFolder folder;
  int error = 0;
  EXPECT_FALSE(folder.Create(dir / "file" / "temp", "viewer-", Ours, &error));
  EXPECT_EQ(ENOTDIR, error);
  EXPECT_TRUE(folder.Path().empty());
}

}  // namespace
