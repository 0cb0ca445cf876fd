#include "platform/io_reasons.h"

#include <cerrno>
#include <cstdint>
#include <string_view>

namespace mirotabe {
namespace {

struct Reason {
  int number;
  std::u16string_view words;
};

// The error numbers that file operations meet, with words a user can act
// on. Several numbers may share words; EWOULDBLOCK and ENOTSUP are the
// same numbers as EAGAIN and EOPNOTSUPP on Linux. Windows has no number
// for a few of them.
constexpr Reason kReasons[] = {
    {ENOENT, u"ファイルまたはフォルダーが見つかりません。"},
    {EACCES, u"アクセスが許可されていません。"},
    {EPERM, u"この操作は許可されていません。"},
    {EROFS, u"読み取り専用の場所です。"},
    {ENOSPC, u"ディスクの空き容量が足りません。"},
#if defined(EDQUOT)
    {EDQUOT, u"ディスクの使用量の上限を超えています。"},
#endif
    {EFBIG, u"ファイルが大きすぎます (ファイルの大きさの上限を超えています)。"},
    {EIO, u"ディスクの読み書きでエラーが起きました。"},
    {EISDIR, u"フォルダーです。ファイルを指定してください。"},
    {ENOTDIR, u"途中にフォルダーでないものがあります。"},
    {ENAMETOOLONG, u"ファイル名が長すぎます。"},
    {ELOOP, u"シンボリックリンクが多すぎるか、循環しています。"},
    {EEXIST, u"同じ名前のものが既にあります。"},
    {ENOTEMPTY, u"フォルダーが空ではありません。"},
    {EBUSY, u"使用中です。"},
    {ETXTBSY, u"実行中のプログラムのファイルです。"},
    {EMFILE, u"開いているファイルが多すぎます。"},
    {ENFILE, u"システム全体で開いているファイルが多すぎます。"},
    {ENOMEM, u"メモリが足りません。"},
    {EINVAL, u"値が正しくありません。"},
    {EXDEV, u"別のファイルシステムの間ではできない操作です。"},
    {EAGAIN, u"一時的に使えません。もう一度試してください。"},
    {EINTR, u"操作が中断されました。"},
    {ENXIO, u"デバイスがありません。"},
    {ENODEV, u"デバイスがありません。"},
#if defined(ESTALE)
    {ESTALE, u"ネットワーク上のファイルが見つからなくなりました。"},
#endif
    {ETIMEDOUT, u"時間内に応答がありませんでした。"},
    {ENOTCONN, u"ネットワークにつながっていません。"},
    {ECONNRESET, u"ネットワークの接続が切れました。"},
    {ENETDOWN, u"ネットワークが使えません。"},
#if defined(EHOSTDOWN)
    {EHOSTDOWN, u"ネットワーク上の相手が応答しません。"},
#endif
    {EOPNOTSUPP, u"このファイルシステムではできない操作です。"},
    {ENOSYS, u"このシステムではできない操作です。"},
    {EBADF, u"ファイルが正しく開かれていません。"},
    {EPIPE, u"書き込み先が閉じられました。"},
    {EILSEQ, u"文字として正しくないバイトがあります。"},
    {EOVERFLOW, u"大きすぎて扱えません。"},
    {ENOLCK, u"ファイルをロックできません。"},
};

std::u16string Digits(std::uint64_t number, bool grouped) {
  std::u16string digits;
  int place = 0;
  do {
    if (grouped && place != 0 && place % 3 == 0) digits.insert(digits.begin(), u',');
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + number % 10));
    number /= 10;
    ++place;
  } while (number != 0);
  return digits;
}

std::u16string FileErrorReason(FileError kind, std::uint64_t size) {
  switch (kind) {
    case FileError::kNotRegularFile:
      return u"通常のファイルではありません (デバイスや FIFO "
             u"は開くことも保存することもできません)。";
    case FileError::kTooLarge:
      return u"ファイルが大きすぎて読み込めません (" + Digits(size, true) + u" バイト)。";
  }
  return u"原因不明のエラーです。";
}

}  // namespace

std::u16string JapaneseReason(const IoError& error) {
  const std::error_code& code = error.code;
  if (code.category() == FileErrorCategoryInstance()) {
    return FileErrorReason(static_cast<FileError>(code.value()), error.size);
  }
  if (code.category() == ErrnoCategory() || code.category() == std::system_category() ||
      code.category() == std::generic_category()) {
    for (const Reason& reason : kReasons) {
      if (reason.number == code.value()) return std::u16string(reason.words);
    }
  }
  return u"原因不明のエラーです (エラー番号 " +
         Digits(static_cast<std::uint64_t>(code.value()), false) + u")。";
}

}  // namespace mirotabe
