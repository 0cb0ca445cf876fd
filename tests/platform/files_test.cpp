#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include "tests/support/case_name.h"
#include "tests/support/failing_sys_calls.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using namespace std::string_literals;

using testing_support::Call;
using testing_support::FailingSysCalls;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

// The names in the folder, to see that nothing was left behind.
std::set<std::string> NamesIn(const TempFolder& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

std::error_code Errno(int code) {
  return std::error_code(code, std::system_category());
}

// Sets the umask for one test.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : old_(umask(mask)) {}
  ~ScopedUmask() { umask(old_); }

 private:
  mode_t old_;
};

// Makes the symbolic link `link` with the content `target`.
void Link(const std::string& target, const std::string& link) {
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0) << link;
}

// --- ReadFileBytes -----------------------------------------------------------

class FilesReadFileBytesTest : public testing::TestWithParam<std::string> {};

TEST_P(FilesReadFileBytesTest, ReadsEveryByte) {
  TempFolder folder;
  const std::string path = folder.PathOf("data");
  WriteFile(path, GetParam());
  const IoResult<std::string> bytes = ReadFileBytes(path);
  ASSERT_TRUE(bytes.ok()) << bytes.error().Reason();
  EXPECT_EQ(bytes.value(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(, FilesReadFileBytesTest,
                         testing::Values(""s, "text\r\n"s, "\0\xff\x82\xa0\r"s,
                                         std::string(300000, 'x') + "end"),
                         [](const auto& info) {
                           return "Size" + std::to_string(info.param.size());
                         });

struct ReadErrorCase {
  const char* name;
  std::function<std::string(const TempFolder&)> setUp;  // gives the path to read
  int expected;
};

void PrintTo(const ReadErrorCase& c, std::ostream* out) {
  *out << c.name;
}

class FilesReadErrorTest : public testing::TestWithParam<ReadErrorCase> {};

TEST_P(FilesReadErrorTest, NamesThePathAndTheReason) {
  TempFolder folder;
  const std::string path = GetParam().setUp(folder);
  const IoResult<std::string> bytes = ReadFileBytes(path);
  ASSERT_FALSE(bytes.ok());
  EXPECT_EQ(bytes.error().path, path);
  EXPECT_EQ(bytes.error().code, Errno(GetParam().expected)) << bytes.error().Reason();
}

const ReadErrorCase kReadErrorCases[] = {
    {"Missing", [](const TempFolder& f) { return f.PathOf("missing"); }, ENOENT},
    {"MissingFolder", [](const TempFolder& f) { return f.PathOf("missing/file"); }, ENOENT},
    {"Folder", [](const TempFolder& f) { return f.path(); }, EISDIR},
    {"FileAsFolder",
     [](const TempFolder& f) {
       WriteFile(f.PathOf("file"), "x");
       return f.PathOf("file/x");
     },
     ENOTDIR},
};

INSTANTIATE_TEST_SUITE_P(, FilesReadErrorTest, testing::ValuesIn(kReadErrorCases),
                         testing_support::CaseName());

TEST(FilesReadPermissionTest, NoReadPermission) {
  TempFolder folder;
  const std::string path = folder.PathOf("secret");
  WriteFile(path, "x");
  FailingSysCalls noAccess({Call::kOpen, EACCES});
  const IoResult<std::string> bytes = ReadFileBytes(path);
  ASSERT_FALSE(bytes.ok());
  EXPECT_EQ(bytes.error().code, Errno(EACCES));
}

// --- ReadDescriptorBytes -----------------------------------------------------

TEST(FilesReadDescriptorBytesTest, ReadsAPipeToItsEnd) {
  // More than a pipe holds, so the reader must keep reading while the
  // writer is still writing.
  const std::string sent = std::string(200000, 'a') + "\0\xff"s;
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::thread writer([&] {
    std::string_view rest = sent;
    while (!rest.empty()) {
      const ssize_t n = write(ends[1], rest.data(), rest.size());
      if (n <= 0) break;
      rest.remove_prefix(static_cast<std::size_t>(n));
    }
    close(ends[1]);
  });
  const IoResult<std::string> bytes = ReadDescriptorBytes(ends[0], "standard input");
  writer.join();
  close(ends[0]);
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(bytes.value(), sent);
}

TEST(FilesReadDescriptorBytesTest, ErrorUsesTheGivenName) {
  const IoResult<std::string> bytes = ReadDescriptorBytes(-1, "standard input");
  ASSERT_FALSE(bytes.ok());
  EXPECT_EQ(bytes.error().path, "standard input");
  EXPECT_EQ(bytes.error().code, Errno(EBADF));
}

// --- ReplaceFileAtomically ---------------------------------------------------

TEST(FilesReplaceFileAtomicallyTest, NewFileGetsUsualPermissions) {
  ScopedUmask mask(027);
  TempFolder folder;
  const std::string path = folder.PathOf("new.ini");
  ASSERT_TRUE(ReplaceFileAtomically(path, "bytes\0"s).ok());
  EXPECT_EQ(ReadFile(path), "bytes\0"s);
  EXPECT_EQ(ModeOf(path), 0640u);
  EXPECT_EQ(NamesIn(folder), std::set<std::string>{"new.ini"});
}

TEST(FilesReplaceFileAtomicallyTest, EmptyContent) {
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  WriteFile(path, "old");
  ASSERT_TRUE(ReplaceFileAtomically(path, "").ok());
  EXPECT_EQ(ReadFile(path), "");
}

class FilesKeepModeTest : public testing::TestWithParam<mode_t> {};

TEST_P(FilesKeepModeTest, ExistingFileKeepsItsPermissions) {
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  WriteFile(path, "old");
  ASSERT_EQ(chmod(path.c_str(), GetParam()), 0);
  ASSERT_TRUE(ReplaceFileAtomically(path, "new").ok());
  EXPECT_EQ(ModeOf(path), GetParam());
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(NamesIn(folder), std::set<std::string>{"file"});
}

// 0200 and 0002: any write bit allows the replace.
INSTANTIATE_TEST_SUITE_P(, FilesKeepModeTest,
                         testing::Values(0600, 0640, 0664, 0604, 0755, 0200, 0002));

TEST(FilesReplaceFileAtomicallyTest, KeepsTheOwnerWhenRootEditsAnotherUsersFile) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a file away";
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  WriteFile(path, "old");
  ASSERT_EQ(chown(path.c_str(), 12345, 23456), 0);
  ASSERT_TRUE(ReplaceFileAtomically(path, "new").ok());
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 12345u);
  EXPECT_EQ(info.st_gid, 23456u);
}

struct LinkCase {
  const char* name;
  std::function<void(const TempFolder&)> setUp;  // makes "link", leading to "target"
  bool targetExists;
};

void PrintTo(const LinkCase& c, std::ostream* out) {
  *out << c.name;
}

class FilesSymlinkTest : public testing::TestWithParam<LinkCase> {};

TEST_P(FilesSymlinkTest, WritesTheLinksTarget) {
  TempFolder folder;
  if (GetParam().targetExists) WriteFile(folder.PathOf("target"), "old");
  GetParam().setUp(folder);
  ASSERT_TRUE(ReplaceFileAtomically(folder.PathOf("link"), "new").ok());
  EXPECT_TRUE(std::filesystem::is_symlink(folder.PathOf("link")));
  EXPECT_EQ(ReadFile(folder.PathOf("target")), "new");
}

const LinkCase kLinkCases[] = {
    {"Relative", [](const TempFolder& f) { Link("target", f.PathOf("link")); }, true},
    {"Absolute", [](const TempFolder& f) { Link(f.PathOf("target"), f.PathOf("link")); }, true},
    {"Chain",
     [](const TempFolder& f) {
       Link("target", f.PathOf("middle"));
       Link("middle", f.PathOf("link"));
     },
     true},
    {"IntoSubfolder",
     [](const TempFolder& f) {
       std::filesystem::create_directory(f.PathOf("sub"));
       Link("../target", f.PathOf("sub/inner"));
       Link("sub/inner", f.PathOf("link"));
     },
     true},
    {"DanglingCreatesTarget", [](const TempFolder& f) { Link("target", f.PathOf("link")); }, false},
};

INSTANTIATE_TEST_SUITE_P(, FilesSymlinkTest, testing::ValuesIn(kLinkCases),
                         testing_support::CaseName());

struct ReplaceErrorCase {
  const char* name;
  std::function<std::string(const TempFolder&)> setUp;  // gives the path to replace
  int expected;
};

void PrintTo(const ReplaceErrorCase& c, std::ostream* out) {
  *out << c.name;
}

class FilesReplaceErrorTest : public testing::TestWithParam<ReplaceErrorCase> {};

// Every failure leaves the folder exactly as it was: no temporary file, no
// changed content.
TEST_P(FilesReplaceErrorTest, FailsAndLeavesEverythingAsItWas) {
  TempFolder folder;
  WriteFile(folder.PathOf("old"), "old");
  const std::string path = GetParam().setUp(folder);
  const std::set<std::string> namesBefore = NamesIn(folder);

  const IoStatus error = ReplaceFileAtomically(path, "new");
  ASSERT_TRUE(error.failed());
  EXPECT_EQ(error.error().path, path);
  EXPECT_EQ(error.error().code, Errno(GetParam().expected)) << error.error().Reason();
  EXPECT_EQ(NamesIn(folder), namesBefore);
  EXPECT_EQ(ReadFile(folder.PathOf("old")), "old");
}

const ReplaceErrorCase kReplaceErrorCases[] = {
    {"FolderAsPath", [](const TempFolder& f) { return f.path(); }, EISDIR},
    {"SubfolderAsPath",
     [](const TempFolder& f) {
       std::filesystem::create_directory(f.PathOf("sub"));
       return f.PathOf("sub");
     },
     EISDIR},
    {"MissingFolder", [](const TempFolder& f) { return f.PathOf("missing/file"); }, ENOENT},
    {"FileAsFolder", [](const TempFolder& f) { return f.PathOf("old/file"); }, ENOTDIR},
    // Refused to root as well.
    {"ReadOnlyFile",
     [](const TempFolder& f) {
       chmod(f.PathOf("old").c_str(), 0444);
       return f.PathOf("old");
     },
     EACCES},
    {"LinkToReadOnlyFile",
     [](const TempFolder& f) {
       chmod(f.PathOf("old").c_str(), 0400);
       Link("old", f.PathOf("link"));
       return f.PathOf("link");
     },
     EACCES},
    {"LinkToFolder",
     [](const TempFolder& f) {
       std::filesystem::create_directory(f.PathOf("sub"));
       Link("sub", f.PathOf("link"));
       return f.PathOf("link");
     },
     EISDIR},
    {"LinkLoop",
     [](const TempFolder& f) {
       Link("b", f.PathOf("a"));
       Link("a", f.PathOf("b"));
       return f.PathOf("a");
     },
     ELOOP},
};

INSTANTIATE_TEST_SUITE_P(, FilesReplaceErrorTest, testing::ValuesIn(kReplaceErrorCases),
                         testing_support::CaseName());

// A write past the file size limit (ulimit -f), standing in for a full
// disk, fails with EFBIG and ends nothing: the signal the limit raises stays
// out of the way, the partial temporary file goes, named from the start (a
// file system without O_TMPFILE) or not, and the old file stays.
struct FileSizeLimitCase {
  const char* name;
  bool namedTemporary;  // O_TMPFILE refused
  bool descriptor;      // into an open file, as a redirected standard output
};

class FilesFileSizeLimitTest : public testing::TestWithParam<FileSizeLimitCase> {};

TEST_P(FilesFileSizeLimitTest, IsAnErrorAndKeepsTheOldFile) {
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  WriteFile(path, "old");
  const int fd = GetParam().descriptor ? open(path.c_str(), O_WRONLY | O_APPEND) : -1;

  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit low = old;
  low.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
  IoStatus error;
  {
    FailingSysCalls noTmpfile(
        {GetParam().namedTemporary ? Call::kOpen : Call::kCount, EOPNOTSUPP, 1, 0, O_TMPFILE});
    const std::string big(10000, 'x');
    error = GetParam().descriptor ? WriteDescriptorBytes(fd, big, "standard output")
                                  : ReplaceFileAtomically(path, big);
  }
  setrlimit(RLIMIT_FSIZE, &old);

  ASSERT_TRUE(error.failed());
  EXPECT_EQ(error.error().code, Errno(EFBIG)) << error.error().Reason();
  if (GetParam().descriptor) {
    close(fd);
    EXPECT_EQ(ReadFile(path).size(), 4096u);
  } else {
    EXPECT_EQ(ReadFile(path), "old");
  }
  EXPECT_EQ(NamesIn(folder), std::set<std::string>{"file"});
}

INSTANTIATE_TEST_SUITE_P(, FilesFileSizeLimitTest,
                         testing::Values(FileSizeLimitCase{"UnnamedTemporary", false, false},
                                         FileSizeLimitCase{"NamedTemporary", true, false},
                                         FileSizeLimitCase{"Descriptor", false, true}),
                         testing_support::CaseName());

TEST(FilesReplaceFileAtomicallyTest, ReadOnlyFolder) {
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  WriteFile(path, "old");
  IoStatus error;
  {
    // The folder refuses the new file.
    FailingSysCalls readOnlyFolder({Call::kOpen, EACCES, 1, 0, O_TMPFILE});
    error = ReplaceFileAtomically(path, "new");
  }
  ASSERT_TRUE(error.failed());
  EXPECT_EQ(error.error().code, Errno(EACCES));
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_EQ(NamesIn(folder), std::set<std::string>{"file"});
}

// --- MakeFolders -------------------------------------------------------------

class FilesMakeFoldersTest : public testing::TestWithParam<std::string> {};

TEST_P(FilesMakeFoldersTest, MakesEveryMissingFolder) {
  TempFolder folder;
  std::filesystem::create_directory(folder.PathOf("exists"));
  const std::string path = folder.path() + GetParam();
  EXPECT_TRUE(MakeFolders(path).ok());
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

INSTANTIATE_TEST_SUITE_P(, FilesMakeFoldersTest,
                         testing::Values("", "/exists", "/a", "/a/b/c", "/a/b/c/", "//a//b",
                                         "/exists/new/"));

TEST(FilesMakeFoldersModeTest, NewFoldersGetTheUsualPermissions) {
  ScopedUmask mask(022);
  TempFolder folder;
  ASSERT_TRUE(MakeFolders(folder.PathOf("a/b")).ok());
  EXPECT_EQ(ModeOf(folder.PathOf("a")), 0755u);
  EXPECT_EQ(ModeOf(folder.PathOf("a/b")), 0755u);
}

TEST(FilesMakeFoldersErrorTest, FileInTheWayNamesIt) {
  TempFolder folder;
  WriteFile(folder.PathOf("file"), "x");

  IoStatus error = MakeFolders(folder.PathOf("file/a"));
  ASSERT_TRUE(error.failed());
  EXPECT_EQ(error.error().path, folder.PathOf("file"));
  EXPECT_EQ(error.error().code, Errno(ENOTDIR));

  error = MakeFolders(folder.PathOf("file"));
  ASSERT_TRUE(error.failed());
  EXPECT_EQ(error.error().code, Errno(ENOTDIR));
}

}  // namespace
}  // namespace mirotabe

namespace mirotabe {
namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::WriteFile;

TEST(FilesAtomicFileWriterTest, PiecesCommitAsOneFile) {
  TempFolder folder;
  const std::string path = folder.PathOf("out.txt");
  WriteFile(path, "old");
  IoResult<AtomicFileWriter> writer = AtomicFileWriter::Begin(path);
  ASSERT_TRUE(writer.ok());
  for (std::string_view piece : {"ab", "", "cd\r\n", "e"}) {
    ASSERT_TRUE(writer.value().Write(piece).ok());
  }
  EXPECT_EQ(ReadFile(path), "old") << "nothing shows before the commit";
  ASSERT_TRUE(writer.value().Commit().ok());
  EXPECT_EQ(ReadFile(path), "abcd\r\ne");
}

TEST(FilesAtomicFileWriterTest, WriterDroppedBeforeCommitLeavesTheOldFileAndNoTemporary) {
  TempFolder folder;
  const std::string path = folder.PathOf("out.txt");
  WriteFile(path, "old");
  {
    IoResult<AtomicFileWriter> writer = AtomicFileWriter::Begin(path);
    ASSERT_TRUE(writer.ok());
    ASSERT_TRUE(writer.value().Write("new").ok());
  }
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace mirotabe
