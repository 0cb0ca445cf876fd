#include "textio/text_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace mirotabe {
namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;

const std::u16string kLoneHigh(1, char16_t{0xD83D});
const std::u16string kLoneLow(1, char16_t{0xDE00});

struct StreamCase {
  const char* name;
  std::u16string text;
};

// Texts whose every cut is tried: pairs and lone halves at both ends and
// in the middle, characters neither encoding can hold, and ones only UTF-8
// can.
const std::vector<StreamCase> kTexts = {
    {"empty", u""},
    {"ASCII and kana", u"ab\r\nあいう"},
    {"pair in the middle", u"縦😀書き"},
    {"pair at both ends", u"😀あ😀"},
    {"two pairs in a row", u"😀🍣"},
    {"lone high surrogate at the end", u"あ" + kLoneHigh},
    {"lone high surrogate before kana", kLoneHigh + u"あ"},
    {"lone low surrogate first", kLoneLow + u"あ"},
    {"reversed halves", kLoneLow + kLoneHigh + u"x"},
    {"two high surrogates then a low", kLoneHigh + kLoneHigh + kLoneLow},
    {"unencodable in code page 932", u"é€ あ\u3000ｱ"},
};

// Encodes `pieces` one by one, as the writer's callers do.
EncodedText Streamed(const std::vector<std::u16string_view>& pieces, Charset charset) {
  std::string bytes;
  EncodingWriter writer(charset, [&bytes](std::string_view block) -> IoStatus {
    bytes += block;
    return std::nullopt;
  });
  for (const std::u16string_view piece : pieces) EXPECT_TRUE(writer.Write(piece).ok());
  EXPECT_TRUE(writer.Finish().ok());
  return {bytes, writer.replaced()};
}

class TextStreamTest : public testing::TestWithParam<Charset> {};

TEST_P(TextStreamTest, AnyCutInTwoOrThreePiecesGivesTheWholeTextsBytes) {
  const Charset charset = GetParam();
  for (const StreamCase& c : kTexts) {
    const EncodedText whole = Encode(c.text, charset);
    const std::u16string_view text = c.text;
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
      for (std::size_t cut2 = cut; cut2 <= text.size(); ++cut2) {
        const EncodedText streamed = Streamed(
            {text.substr(0, cut), text.substr(cut, cut2 - cut), text.substr(cut2)}, charset);
        EXPECT_EQ(streamed.bytes, whole.bytes) << c.name << " cut at " << cut << ", " << cut2;
        EXPECT_EQ(streamed.replaced, whole.replaced) << c.name << " cut at " << cut << ", " << cut2;
      }
    }
  }
}

TEST_P(TextStreamTest, FindsTheSameUnencodableCharactersWhereverCut) {
  const Charset charset = GetParam();
  for (const StreamCase& c : kTexts) {
    const UnencodableReport whole = FindUnencodable(c.text, charset, 2);
    for (std::size_t cut = 0; cut <= c.text.size(); ++cut) {
      UnencodableFinder finder(charset, 2);
      finder.Add(std::u16string_view(c.text).substr(0, cut));
      finder.Add(std::u16string_view(c.text).substr(cut));
      const UnencodableReport streamed = finder.Finish();
      EXPECT_EQ(streamed.count, whole.count) << c.name << " cut at " << cut;
      EXPECT_EQ(streamed.first, whole.first) << c.name << " cut at " << cut;
    }
  }
}

// A piece far larger than the writer's buffer is encoded in slices; a pair
// that straddles any slice edge stays one character.
TEST_P(TextStreamTest, LargePiecesKeepEveryPairWhole) {
  const Charset charset = GetParam();
  for (const std::size_t before : {0u, 1u, 16383u, 16384u, 65535u}) {
    std::u16string text(before, u'あ');
    for (int i = 0; i < 20000; ++i) text += u"😀é\u3000";
    const EncodedText whole = Encode(text, charset);
    const EncodedText streamed = Streamed({text}, charset);
    EXPECT_EQ(streamed.bytes, whole.bytes) << before;
    EXPECT_EQ(streamed.replaced, whole.replaced) << before;
  }
}

INSTANTIATE_TEST_SUITE_P(BothCharsets, TextStreamTest,
                         testing::Values(Charset::Cp932, Charset::Utf8), [](const auto& info) {
                           return info.param == Charset::Cp932 ? "Cp932" : "Utf8";
                         });

TEST(EncodingWriterTest, StopsAtTheFirstErrorOfItsSink) {
  int calls = 0;
  EncodingWriter writer(Charset::Cp932, [&calls](std::string_view) -> IoStatus {
    ++calls;
    return IoError{"out", std::make_error_code(std::errc::no_space_on_device)};
  });
  const std::u16string large(200000, u'あ');
  const IoStatus first = writer.Write(large);
  ASSERT_TRUE(first.failed());
  EXPECT_EQ(first.error().code, std::errc::no_space_on_device);
  EXPECT_TRUE(writer.Write(large).failed());
  EXPECT_TRUE(writer.Finish().failed());
  EXPECT_EQ(calls, 1);
}

TEST(WriteTextFilePiecesTest, WritesThePiecesAndCountsTheLostCharacters) {
  TempFolder folder;
  const std::string path = folder.PathOf("out.txt");
  const IoResult<std::size_t> replaced =
      WriteTextFilePieces(path, Charset::Cp932, [](EncodingWriter& writer) -> IoStatus {
        if (IoStatus status = writer.Write(u"あ\xD83D"); status.failed()) return status;
        return writer.Write(u"\xDE00é");
      });
  ASSERT_TRUE(replaced);
  EXPECT_EQ(replaced.value(), 2u);
  EXPECT_EQ(ReadFile(path), "\x82\xA0??");
}

// A producer that fails leaves the old file as it was.
TEST(WriteTextFilePiecesTest, AFailedProducerKeepsTheOldFile) {
  TempFolder folder;
  const std::string path = folder.PathOf("out.txt");
  testing_support::WriteFile(path, "old");
  const IoResult<std::size_t> result =
      WriteTextFilePieces(path, Charset::Cp932, [](EncodingWriter& writer) -> IoStatus {
        if (IoStatus status = writer.Write(std::u16string(100000, u'x')); status.failed())
          return status;
        return IoError{"out.txt", std::make_error_code(std::errc::io_error)};
      });
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().code, std::errc::io_error);
  EXPECT_EQ(ReadFile(path), "old");
}

}  // namespace
}  // namespace mirotabe
