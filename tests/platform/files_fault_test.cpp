// Failures of the system calls, injected through the seam: every save
// failure leaves the old file and no temporary one, interrupted and short
// calls are resumed, and devices and FIFOs are never replaced or waited on.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/sys_calls.h"
#include "tests/support/case_name.h"
#include "tests/support/failing_sys_calls.h"
#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using namespace std::string_literals;
using namespace testing_support;

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(Utf8Path(entry.path().filename()));
  }
  return names;
}

std::error_code Errno(int code) {
  return ErrnoCode(code);
}

const std::error_code kNotRegular = MakeErrorCode(FileError::kNotRegularFile);

// --- The atomic save, each call failing with each error ----------------------

class FilesSaveFaultTest : public testing::TestWithParam<SaveFaultCase> {};

TEST_P(FilesSaveFaultTest, OldFileStaysWholeAndNothingIsLeft) {
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  WriteFile(path, "old");
  GiveAway(path);
  const std::string content(100000, 'n');

  IoStatus error;
  {
    FailingSysCalls failing(GetParam().ToFault());
    error = ReplaceFileAtomically(path, content);
    if (GetParam().CallIsMade()) {
      EXPECT_GT(failing.Failures(), 0) << "the call was never made";
    }
  }
  if (GetParam().SaveSucceeds()) {
    EXPECT_TRUE(error.ok()) << error.error().Reason();
    EXPECT_EQ(ReadFile(path), content);
  } else {
    ASSERT_TRUE(error.failed());
    EXPECT_EQ(error.error().path, path);
    EXPECT_EQ(error.error().code, Errno(GetParam().error)) << error.error().Reason();
    EXPECT_EQ(ReadFile(path), "old");
  }
  EXPECT_EQ(NamesIn(folder.path()), std::set<std::string>{"file"});
}

INSTANTIATE_TEST_SUITE_P(, FilesSaveFaultTest, testing::ValuesIn(SaveFaultCases(AtomicSaveCalls())),
                         SaveFaultCaseName);

#if !defined(_WIN32)
// Hard links are made with link(), which Windows lacks.
// --- A file with more than one name is written in place --------------------

// Each name of "one" and "two", one file with two names, reads `text`.
void ExpectBothNamesRead(const TempFolder& folder, const std::string& text) {
  struct stat one {};
  struct stat two {};
  ASSERT_EQ(stat(folder.PathOf("one").c_str(), &one), 0);
  ASSERT_EQ(stat(folder.PathOf("two").c_str(), &two), 0);
  EXPECT_EQ(one.st_ino, two.st_ino);
  EXPECT_EQ(one.st_nlink, 2u);
  const std::string read = ReadFile(folder.PathOf("one"));
  EXPECT_TRUE(read == text) << read.size() << " bytes, " << text.size() << " expected";
}

struct HardLinkCase {
  const char* name;
  std::string text;
  bool throughSymlink;
  bool noTmpfile;
};

class FilesHardLinkTest : public testing::TestWithParam<HardLinkCase> {};

TEST_P(FilesHardLinkTest, EveryNameReadsTheNewText) {
  TempFolder folder;
  WriteFile(folder.PathOf("one"), std::string(5000, 'o'));
  ASSERT_EQ(link(folder.PathOf("one").c_str(), folder.PathOf("two").c_str()), 0);
  std::set<std::string> names{"one", "two"};
  std::string target = folder.PathOf("one");
  if (GetParam().throughSymlink) {
    std::filesystem::create_symlink("one", folder.PathOf("link"));
    target = folder.PathOf("link");
    names.insert("link");
  }
  {
    FailingSysCalls noTmpfile(
        {GetParam().noTmpfile ? Call::kOpen : Call::kCount, EOPNOTSUPP, 1, 0, O_TMPFILE});
    const IoStatus error = ReplaceFileAtomically(target, GetParam().text);
    EXPECT_TRUE(error.ok()) << error.error().Reason();
  }
  ExpectBothNamesRead(folder, GetParam().text);
  EXPECT_EQ(NamesIn(folder.path()), names);
}

INSTANTIATE_TEST_SUITE_P(
    , FilesHardLinkTest,
    testing::Values(HardLinkCase{"Longer", std::string(200000, 'n'), false, false},
                    HardLinkCase{"Shorter", "n", false, false},
                    HardLinkCase{"Empty", "", false, false},
                    HardLinkCase{"ThroughASymlink", "new", true, false},
                    HardLinkCase{"NamedTemporary", std::string(100000, 'n'), false, true}),
    CaseName());

struct InPlaceFaultCase {
  const char* name;
  Fault fault;
  bool succeeds;
  // Whether the old text is still whole: the failure came before the copy
  // into the file wrote anything.
  bool oldWhole;
};

class FilesInPlaceFaultTest : public testing::TestWithParam<InPlaceFaultCase> {};

TEST_P(FilesInPlaceFaultTest, FailsBeforeTheOldTextChangesWhereItCan) {
  TempFolder folder;
  const std::string old(5000, 'o');
  // Two pieces of the copy: the one write into the temporary file is use 1.
  const std::string text(100000, 'n');
  WriteFile(folder.PathOf("one"), old);
  ASSERT_EQ(link(folder.PathOf("one").c_str(), folder.PathOf("two").c_str()), 0);
  IoStatus error;
  {
    FailingSysCalls failing(GetParam().fault);
    error = ReplaceFileAtomically(folder.PathOf("one"), text);
    EXPECT_GT(failing.Failures(), 0) << "the call was never made";
  }
  if (GetParam().succeeds) {
    EXPECT_TRUE(error.ok()) << error.error().Reason();
    ExpectBothNamesRead(folder, text);
  } else {
    ASSERT_TRUE(error.failed());
    EXPECT_EQ(error.error().path, folder.PathOf("one"));
    EXPECT_EQ(error.error().code, Errno(GetParam().fault.error)) << error.error().Reason();
    if (GetParam().oldWhole) ExpectBothNamesRead(folder, old);
  }
  EXPECT_EQ(NamesIn(folder.path()), (std::set<std::string>{"one", "two"}));
}

INSTANTIATE_TEST_SUITE_P(
    , FilesInPlaceFaultTest,
    testing::Values(InPlaceFaultCase{"TemporaryNotFlushed", {Call::kFsync, EIO}, false, true},
                    InPlaceFaultCase{"FileNotOpened", {Call::kOpen, EACCES, 2}, false, true},
                    InPlaceFaultCase{"NoRoom", {Call::kFallocate, ENOSPC}, false, true},
                    InPlaceFaultCase{"OverTheSizeLimit", {Call::kFallocate, EFBIG}, false, true},
                    InPlaceFaultCase{"NoFallocate", {Call::kFallocate, EOPNOTSUPP}, true, false},
                    InPlaceFaultCase{"NotRewound", {Call::kLseek, EIO}, false, true},
                    InPlaceFaultCase{"NotReadBack", {Call::kRead, EIO}, false, true},
                    InPlaceFaultCase{
                        "ReadBackInterrupted", {Call::kRead, EINTR, 1, 2}, true, false},
                    InPlaceFaultCase{"FirstCopyWriteFails", {Call::kWrite, ENOSPC, 2}, false, true},
                    InPlaceFaultCase{"CopyFailsPartWay", {Call::kWrite, EIO, 3}, false, false},
                    InPlaceFaultCase{"CopyInterrupted", {Call::kWrite, EINTR, 2, 2}, true, false},
                    InPlaceFaultCase{"NotCut", {Call::kFtruncate, EIO}, false, false},
                    InPlaceFaultCase{"FileNotFlushed", {Call::kFsync, EIO, 2}, false, false},
                    InPlaceFaultCase{"FileNotClosed", {Call::kClose, EIO}, false, false}),
    CaseName());

#endif

// --- Interrupted and short calls are resumed ---------------------------------

struct ResumeCase {
  const char* name;
  Fault fault;
};

void PrintTo(const ResumeCase& c, std::ostream* out) {
  *out << c.name;
}

class FilesResumeTest : public testing::TestWithParam<ResumeCase> {};

TEST_P(FilesResumeTest, SaveAndReadGiveEveryByte) {
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  std::string content;
  for (int i = 0; i < 50000; ++i) content += static_cast<char>(i * 7);
  {
    FailingSysCalls failing(GetParam().fault);
    ASSERT_TRUE(ReplaceFileAtomically(path, content).ok());
    const IoResult<std::string> read = ReadFileBytes(path);
    ASSERT_TRUE(read.ok()) << read.error().Reason();
    EXPECT_EQ(read.value(), content);
    if (GetParam().fault.writeLimit == 0) {
      EXPECT_GT(failing.Failures(), 0);
    } else {
      EXPECT_GE(failing.Uses(Call::kWrite),
                static_cast<int>(content.size() / GetParam().fault.writeLimit));
    }
  }
  EXPECT_EQ(NamesIn(folder.path()), std::set<std::string>{"file"});
}

const ResumeCase kResumeCases[] = {
    {"OpenInterrupted", {Call::kOpen, EINTR, 1, 3}},
    {"WriteInterrupted", {Call::kWrite, EINTR, 1, 3}},
    {"WriteInterruptedHalfWay", {Call::kWrite, EINTR, 20, 2, 0, 1000}},
    {"ReadInterrupted", {Call::kRead, EINTR, 1, 3}},
    {"WritesOneByteAtATime", {Call::kCount, 0, 1, 0, 0, 1}},
    {"WritesShort", {Call::kCount, 0, 1, 0, 0, 4093}},
};

INSTANTIATE_TEST_SUITE_P(, FilesResumeTest, testing::ValuesIn(kResumeCases),
                         testing_support::CaseName());

#if !defined(_WIN32)
// POSIX pipes.
TEST(FilesDescriptorResumeTest, DescriptorWritesAreResumedToo) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  {
    FailingSysCalls failing({Call::kWrite, EINTR, 1, 2, 0, 3});
    EXPECT_TRUE(WriteDescriptorBytes(ends[1], "0123456789", "standard output").ok());
    EXPECT_EQ(failing.Failures(), 2);
  }
  close(ends[1]);
  const IoResult<std::string> read = ReadDescriptorBytes(ends[0], "pipe");
  close(ends[0]);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.value(), "0123456789");
}

#endif

// --- Where the file system has no O_TMPFILE ----------------------------------

class FilesNoTmpfileTest : public testing::TestWithParam<int> {};

TEST_P(FilesNoTmpfileTest, FallsBackToANamedTemporaryFileAndRemovesIt) {
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  WriteFile(path, "old");
  {
    FailingSysCalls failing({Call::kOpen, GetParam(), 1, 0, O_TMPFILE});
    IoResult<AtomicFileWriter> writer = AtomicFileWriter::Begin(path);
    ASSERT_TRUE(writer.ok()) << writer.error().Reason();
    ASSERT_TRUE(writer.value().Write("new").ok());
    // The named temporary file, hidden beside the target.
    const std::set<std::string> names = NamesIn(folder.path());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names.begin()->starts_with(".file.")) << *names.begin();
    ASSERT_TRUE(writer.value().Commit().ok());
    EXPECT_EQ(failing.Failures(), 1);
  }
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(NamesIn(folder.path()), std::set<std::string>{"file"});
}

INSTANTIATE_TEST_SUITE_P(, FilesNoTmpfileTest, testing::Values(EOPNOTSUPP, EISDIR, EINVAL),
                         [](const auto& info) { return std::string(ErrnoName(info.param)); });

// A name of the longest length a folder takes: the temporary name must fit
// too, so it is stood for by a hash.
TEST(FilesNoTmpfileLongNameTest, TheLongestNameIsSavedThroughANamedTemporaryFile) {
  TempFolder folder;
  const std::string name = std::string(251, 'a') + ".txt";
  const std::string path = folder.PathOf(name);
  FailingSysCalls failing({Call::kOpen, EOPNOTSUPP, 1, 0, O_TMPFILE});
  IoResult<AtomicFileWriter> writer = AtomicFileWriter::Begin(path);
  ASSERT_TRUE(writer.ok()) << writer.error().Reason();
  ASSERT_TRUE(writer.value().Write("new").ok());
  const std::set<std::string> names = NamesIn(folder.path());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_LE(names.begin()->size(), 40u) << *names.begin();
  ASSERT_TRUE(writer.value().Commit().ok());
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(NamesIn(folder.path()), std::set<std::string>{name});
}

#if !defined(_WIN32)
// Windows has neither utimensat() nor files without a name.
// A save first removes what killed saves of the same file left, once it has
// lain untouched for a minute; anything else stays.
TEST(FilesNoTmpfileLongNameTest, LeftoversOfKilledSavesAreRemovedBeforeASave) {
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  const std::set<std::string> kept{".file.mirotabe~Fresh1", ".file.mirotabe~old", ".file.backup",
                                   ".other.mirotabe~Old234", "file"};
  for (const std::string& name : kept) WriteFile(folder.PathOf(name), "x");
  WriteFile(folder.PathOf(".file.mirotabe~Old123"), "x");
  for (const char* old :
       {".file.mirotabe~Old123", ".file.mirotabe~old", ".other.mirotabe~Old234"}) {
    const timespec times[2] = {{0, UTIME_OMIT}, {time(nullptr) - 120, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, folder.PathOf(old).c_str(), times, 0), 0);
  }
  ASSERT_TRUE(ReplaceFileAtomically(path, "new").ok());
  EXPECT_EQ(NamesIn(folder.path()), kept);
}

TEST(FilesTmpfileTest, UnfinishedSaveHasNoNameInTheFolder) {
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  WriteFile(path, "old");
  IoResult<AtomicFileWriter> writer = AtomicFileWriter::Begin(path);
  ASSERT_TRUE(writer.ok());
  ASSERT_TRUE(writer.value().Write(std::string(100000, 'x')).ok());
  EXPECT_EQ(NamesIn(folder.path()), std::set<std::string>{"file"});
  ASSERT_TRUE(writer.value().Commit().ok());
  EXPECT_EQ(ReadFile(path), std::string(100000, 'x'));
}

#endif

// --- Permissions, without depending on who runs the tests --------------------

struct PermissionCase {
  const char* name;
  Fault fault;
};

void PrintTo(const PermissionCase& c, std::ostream* out) {
  *out << c.name;
}

class FilesPermissionTest : public testing::TestWithParam<PermissionCase> {};

// Another user's 0644 file, a read-only file system: the folder would
// allow the rename, but the save is refused.
TEST_P(FilesPermissionTest, SaveIsRefusedAndTheOldFileKept) {
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  WriteFile(path, "old");
  IoStatus error;
  {
    FailingSysCalls failing(GetParam().fault);
    error = ReplaceFileAtomically(path, "new");
  }
  ASSERT_TRUE(error.failed());
  EXPECT_EQ(error.error().path, path);
  EXPECT_EQ(error.error().code, Errno(GetParam().fault.error));
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_EQ(NamesIn(folder.path()), std::set<std::string>{"file"});
}

const PermissionCase kPermissionCases[] = {
    {"FileOfAnotherUser", {Call::kFaccessat, EACCES}},
    {"ReadOnlyFileSystem", {Call::kFaccessat, EROFS}},
};

INSTANTIATE_TEST_SUITE_P(, FilesPermissionTest, testing::ValuesIn(kPermissionCases),
                         testing_support::CaseName());

#if !defined(_WIN32)
// Windows has no FIFOs.
// --- Devices and FIFOs -------------------------------------------------------

std::string MakeFifo(const TempFolder& folder) {
  std::string path = folder.PathOf("fifo");
  EXPECT_EQ(mkfifo(path.c_str(), 0644), 0);
  return path;
}

TEST(FilesOtherTargetsTest, ReadingAFifoFailsAtOnceInsteadOfWaiting) {
  TempFolder folder;
  const std::string fifo = MakeFifo(folder);
  for (const std::string& path : {fifo, "/dev/null"s}) {
    const IoResult<std::string> bytes = ReadFileBytes(path);
    ASSERT_FALSE(bytes.ok()) << path;
    EXPECT_EQ(bytes.error().path, path);
    EXPECT_EQ(bytes.error().code, kNotRegular);
    EXPECT_EQ(bytes.error().Reason(), "Not a regular file");
  }
}

#endif

// --- Reads stop at their bound, never at an abort ----------------------------

// The size that fstat() reports for every file.
off_t reportedSize = 0;

struct BoundCase {
  const char* name;
  off_t reported;        // what fstat() says
  std::size_t maxBytes;  // the bound of the read
  std::uint64_t size;    // the size the error gives
};

class FilesBoundTest : public testing::TestWithParam<BoundCase> {};

// A file that says it is huge is refused before anything is allocated, and
// one whose size says nothing (a /proc file) is refused once its bytes pass
// the bound.
TEST_P(FilesBoundTest, ATooLargeFileIsAnErrorWithItsSize) {
  const BoundCase& c = GetParam();
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  WriteFile(path, std::string(17, 'x'));
  SysCalls calls = RealSysCalls();
  reportedSize = c.reported;
  calls.fstat = [](int fd, struct stat* info) {
    const int result = RealSysCalls().fstat(fd, info);
    info->st_size = reportedSize;
    return result;
  };
  const ScopedSysCalls sized(calls);
  const IoResult<std::string> bytes = ReadFileBytes(path, c.maxBytes);
  ASSERT_FALSE(bytes.ok());
  EXPECT_EQ(bytes.error().code, MakeErrorCode(FileError::kTooLarge));
  EXPECT_EQ(bytes.error().size, c.size);
  EXPECT_EQ(bytes.error().Reason(),
            "File too large to read (" + std::to_string(c.size) + " bytes)");
  if (c.maxBytes == kMaxReadBytes) {
    EXPECT_EQ(ReadStreamBytes(path).error().code, MakeErrorCode(FileError::kTooLarge));
  }
}

INSTANTIATE_TEST_SUITE_P(
    , FilesBoundTest,
    testing::Values(BoundCase{"TenGigabytes", off_t{10} << 30, kMaxReadBytes, 10ull << 30},
                    BoundCase{"LargerThanMemoryCanHold", std::numeric_limits<off_t>::max(),
                              std::numeric_limits<std::size_t>::max(),
                              std::numeric_limits<off_t>::max()},
                    BoundCase{"SizeUnknownReadPastTheBound", 0, 16, 17}),
    testing_support::CaseName());

#if !defined(_WIN32)
TEST(FilesOtherTargetsTest, StreamReadingWaitsForTheFifosWriter) {
  TempFolder folder;
  const std::string fifo = MakeFifo(folder);
  std::thread writer([&] { WriteFile(fifo, "from the pipe"); });
  const IoResult<std::string> bytes = ReadStreamBytes(fifo);
  writer.join();
  ASSERT_TRUE(bytes.ok()) << bytes.error().Reason();
  EXPECT_EQ(bytes.value(), "from the pipe");
  EXPECT_EQ(ReadStreamBytes(folder.path()).error().code, Errno(EISDIR));
}

TEST(FilesOtherTargetsTest, SaveNeverReplacesADeviceOrAFifo) {
  TempFolder folder;
  const std::string fifo = MakeFifo(folder);
  ASSERT_EQ(symlink("fifo", folder.PathOf("link").c_str()), 0);
  for (const std::string& path : {fifo, folder.PathOf("link"), "/dev/null"s}) {
    const IoStatus error = ReplaceFileAtomically(path, "new");
    ASSERT_TRUE(error.failed()) << path;
    EXPECT_EQ(error.error().path, path);
    EXPECT_EQ(error.error().code, kNotRegular);
  }
  struct stat info {};
  ASSERT_EQ(stat(fifo.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  ASSERT_EQ(stat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST(FilesOtherTargetsTest, WriteThroughFillsAFifoAndADevice) {
  TempFolder folder;
  const std::string fifo = MakeFifo(folder);
  std::string received;
  std::thread reader([&] { received = ReadFile(fifo); });
  EXPECT_TRUE(ReplaceFileAtomically(fifo, "to the pipe", OtherTargets::kWriteThrough).ok());
  reader.join();
  EXPECT_EQ(received, "to the pipe");
  EXPECT_TRUE(ReplaceFileAtomically("/dev/null", "gone", OtherTargets::kWriteThrough).ok());
  EXPECT_EQ(NamesIn(folder.path()), std::set<std::string>{"fifo"});
}

#endif

TEST(FilesOtherTargetsTest, WriteThroughStillReplacesARegularFileAtomically) {
  TempFolder folder;
  const std::string path = folder.PathOf("file");
  WriteFile(path, "old");
  EXPECT_TRUE(ReplaceFileAtomically(path, "new", OtherTargets::kWriteThrough).ok());
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(NamesIn(folder.path()), std::set<std::string>{"file"});
}

}  // namespace
}  // namespace mirotabe
