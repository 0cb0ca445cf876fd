#include "platform/io_reasons.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace mirotabe {
namespace {

// Whether `text` reads as Japanese: it has kana or kanji, and its only
// Latin letters are the names it must keep (FIFO).
bool ReadsAsJapanese(std::u16string text) {
  for (std::size_t at = text.find(u"FIFO"); at != std::u16string::npos; at = text.find(u"FIFO")) {
    text.erase(at, 4);
  }
  bool japanese = false;
  for (const char16_t c : text) {
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) return false;
    japanese = japanese || (c >= 0x3040 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF);
  }
  return japanese && text.ends_with(u"。");
}

IoError Failure(int number) {
  return IoError{"/x", ErrnoCode(number)};
}

class IoReasonsTest : public testing::TestWithParam<int> {};

// Every error that a file operation of this program can meet has Japanese
// words, whichever category it comes in.
TEST_P(IoReasonsTest, TheUsualErrorsReadAsJapanese) {
  const std::u16string reason = JapaneseReason(Failure(GetParam()));
  EXPECT_TRUE(ReadsAsJapanese(reason)) << GetParam();
  EXPECT_EQ(reason.find(u"エラー番号"), std::u16string::npos) << GetParam();
  EXPECT_EQ(JapaneseReason(IoError{"/x", std::make_error_code(static_cast<std::errc>(GetParam()))}),
            reason);
}

INSTANTIATE_TEST_SUITE_P(, IoReasonsTest,
                         testing::Values(ENOENT, EACCES, EPERM, EROFS, ENOSPC, EFBIG, EIO, EISDIR,
                                         ENOTDIR, ENAMETOOLONG, ELOOP, EEXIST, ENOTEMPTY, EBUSY,
                                         ETXTBSY, EMFILE, ENFILE, ENOMEM, EINVAL, EXDEV, EAGAIN,
                                         EINTR, ENXIO, ENODEV, ETIMEDOUT, ENOTCONN, ECONNRESET,
                                         ENETDOWN, EOPNOTSUPP, ENOSYS, EBADF, EPIPE, EILSEQ,
                                         EOVERFLOW, ENOLCK));
// The numbers that Windows does not have.
#if !defined(_WIN32)
INSTANTIATE_TEST_SUITE_P(Posix, IoReasonsTest, testing::Values(EDQUOT, ESTALE, EHOSTDOWN));
#endif

TEST(IoReasonsOwnKindsTest, AndUnknownNumbersReadAsJapaneseToo) {
  const std::u16string tooLarge =
      JapaneseReason(IoError{"/x", MakeErrorCode(FileError::kTooLarge), 1234567});
  EXPECT_TRUE(ReadsAsJapanese(tooLarge));
  EXPECT_NE(tooLarge.find(u"1,234,567 バイト"), std::u16string::npos);
  EXPECT_TRUE(
      ReadsAsJapanese(JapaneseReason(IoError{"/x", MakeErrorCode(FileError::kNotRegularFile)})));
  // A number that no system gives a file call.
  constexpr int kUnknown = 4095;
  const std::u16string unknown = JapaneseReason(Failure(kUnknown));
  EXPECT_TRUE(ReadsAsJapanese(unknown));
  EXPECT_NE(unknown.find(u"エラー番号 " +
                         [] {
                           const std::string n = std::to_string(kUnknown);
                           return std::u16string(n.begin(), n.end());
                         }()),
            std::u16string::npos);
}

}  // namespace
}  // namespace mirotabe
