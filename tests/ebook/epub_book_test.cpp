#include "ebook/epub_book.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/aozora_notation.h"
#include "ebook/epub_documents.h"
#include "platform/charset.h"
#include "tests/support/case_name.h"
#include "tests/support/zip_entries.h"

namespace mirotabe {
namespace {

using testing_support::ReadZipEntries;
using testing_support::ZipEntry;

// The lines of a document between <div class="main"> and </div>.
std::string BodyOf(const std::string& document) {
  const std::string open = "<div class=\"main\">\n";
  const std::size_t begin = document.find(open) + open.size();
  return document.substr(begin, document.rfind("</div>") - begin);
}

// Whether every element of `xml` closes in the order it opened.
bool Nests(std::string_view xml) {
  std::vector<std::string> open;
  for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
    const std::size_t end = xml.find('>', at);
    if (end == std::string_view::npos) return false;
    std::string_view tag = xml.substr(at + 1, end - at - 1);
    if (tag.starts_with('?') || tag.starts_with('!') || tag.ends_with('/')) continue;
    if (tag.starts_with('/')) {
      if (open.empty() || open.back() != tag.substr(1)) return false;
      open.pop_back();
      continue;
    }
    open.emplace_back(tag.substr(0, tag.find(' ')));
  }
  return open.empty();
}

struct MarkupCase {
  const char* name;
  std::u16string_view input;
  std::string_view body;  // what the first document's body holds
};

class EpubMarkup : public testing::TestWithParam<MarkupCase> {};

TEST_P(EpubMarkup, SetsEachMarkInXhtml) {
  const EpubDocuments documents = MakeEpubDocuments(ReadAozoraText(GetParam().input), u"題");
  ASSERT_FALSE(documents.documents.empty());
  const std::string body = BodyOf(documents.documents.front().bytes);
  EXPECT_EQ(body, GetParam().body);
  EXPECT_TRUE(Nests(documents.documents.front().bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Table, EpubMarkup,
    testing::Values(
        MarkupCase{"Ruby", u"漢字《かんじ》", "<p><ruby>漢字<rt>かんじ</rt></ruby></p>\n"},
        MarkupCase{"EmphasisOnTheLeft", u"責［＃「責」の左に丸傍点］",
                   "<p><em class=\"em-circle-left\">責</em></p>\n"},
        MarkupCase{"UprightAndKunojiten", u"10［＃「10」は縦中横］回／″＼",
                   "<p><span class=\"tcy\">10</span>回<span class=\"kunojiten\">〴〵</span></p>\n"},
        MarkupCase{"IndentsAsMargins", u"［＃ここから３字下げ、折り返して１字下げ］\n文",
                   "<p style=\"margin-top:1em;text-indent:2em;\">文</p>\n"},
        MarkupCase{"BottomMidLine", u"名［＃地から１字上げ］日",
                   "<p class=\"split-bottom\" "
                   "style=\"margin-bottom:1em;\"><span>名</span><span>日</span></p>\n"},
        MarkupCase{"HeadingOwnLine", u"序章［＃「序章」は中見出し］",
                   "<h3 id=\"h1\" class=\"heading\">序章</h3>\n"},
        MarkupCase{"OverlappingSpansReopen",
                   u"［＃太字］甲乙［＃傍点］丙［＃太字終わり］丁［＃傍点終わり］",
                   "<p><span class=\"bold\">甲乙<em class=\"em-sesame\">丙</em></span><em "
                   "class=\"em-sesame\">丁</em></p>\n"},
        MarkupCase{"SpanInsideARubyBaseTakesItWhole", u"｜東京《とうきょう》［＃「京」に傍点］",
                   "<p><em class=\"em-sesame\"><ruby>東京<rt>とうきょう</rt></ruby></em></p>\n"},
        MarkupCase{"TextIsEscapedAndKeptWellFormed", u"a<b>&\"\x01",
                   "<p>a&lt;b&gt;&amp;&quot;\xEF\xBF\xBD</p>\n"},
        MarkupCase{"BlankLineKept", u"一\n\n二", "<p>一</p>\n<p><br/></p>\n<p>二</p>\n"}),
    testing_support::CaseName());

struct NavCase {
  const char* name;
  std::u16string_view input;
};

class EpubNavigation : public testing::TestWithParam<NavCase> {};

TEST_P(EpubNavigation, NestsWhateverOrderTheLevelsComeIn) {
  const std::string epub = MakeEpub(ReadAozoraText(GetParam().input), {});
  for (const ZipEntry& entry : ReadZipEntries(epub)) {
    if (entry.name.ends_with(".xhtml")) {
      EXPECT_TRUE(Nests(entry.bytes)) << entry.name;
    }
    if (entry.name.ends_with("nav.xhtml")) {
      EXPECT_NE(entry.bytes.find("<li><a href="), std::string::npos);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, EpubNavigation,
    testing::Values(
        NavCase{"None", u"本文だけ"},
        NavCase{"SmallFirst",
                u"甲［＃「甲」は小見出し］\n乙［＃「乙」は大見出し］\n丙［＃「丙」は中見出し］"},
        NavCase{"SkipsALevel",
                u"甲［＃「甲」は大見出し］\n乙［＃「乙」は小見出し］\n丙［＃「丙」は中見出し］\n丁"
                u"［＃「丁」は大見出し］"},
        NavCase{"EmptyHeading", u"　［＃「　」は大見出し］"}),
    testing_support::CaseName());

// The text of the body documents as a reader reads it: tags and ruby
// readings out, a line a paragraph.
std::u16string ReadBack(const std::vector<ZipEntry>& entries) {
  std::string text;
  for (const ZipEntry& entry : entries) {
    if (!entry.name.starts_with("OEBPS/text-")) continue;
    std::string body = BodyOf(entry.bytes);
    for (std::size_t rt = body.find("<rt>"); rt != std::string::npos; rt = body.find("<rt>")) {
      body.erase(rt, body.find("</rt>", rt) + 5 - rt);
    }
    bool inTag = false;
    for (const char c : body) {
      if (c == '<') inTag = true;
      if (!inTag && c != '\n') text += c;
      if (c == '>') inTag = false;
    }
  }
  return Decode(text, Charset::Utf8);
}

TEST(EpubBook, CarriesEveryCharacterOfTheBodyAndGivesTheSameBytesAgain) {
  const std::u16string source =
      u"題\n著者\n\n-------------------------------------------------------\n"
      u"【テキスト中に現れる記号について】\n-------------------------------------------------------"
      u"\n"
      u"［＃３字下げ］一［＃「一」は大見出し］\n漢字《かんじ》と※［＃「木＋内」、第3水準1-85-"
      u"54］。\n"
      u"［＃改ページ］\n［＃ここから２字下げ］\n次の頁［＃「頁」に傍点］\n［＃ここで字下げ終わり］"
      u"\n"
      u"［＃改丁］\n扉\n［＃改見開き］\n見開き\n\n底本：どこか\n2001年2月3日作成\n";
  const AozoraBook book = ReadAozoraText(source);
  const std::string epub = MakeEpub(book, {});
  EXPECT_EQ(MakeEpub(ReadAozoraText(source), {}), epub);
  const std::vector<ZipEntry> entries = ReadZipEntries(epub);
  ASSERT_GE(entries.size(), 5U);
  EXPECT_EQ(entries.front().name, "mimetype");
  EXPECT_EQ(entries.front().method, 0);
  EXPECT_EQ(entries.front().bytes, "application/epub+zip");
  std::u16string expected = u"題著者";
  for (const char16_t c : book.body) {
    if (c != u'\n') expected += c;
  }
  EXPECT_EQ(ReadBack(entries), expected);
  const std::string& opf = entries[2].bytes;
  EXPECT_NE(opf.find("<dc:title id=\"title\">題</dc:title>"), std::string::npos);
  EXPECT_NE(opf.find("<dc:creator id=\"creator\">著者</dc:creator>"), std::string::npos);
  EXPECT_NE(opf.find("2001-02-03T00:00:00Z"), std::string::npos);
  EXPECT_NE(opf.find("page-spread-left"), std::string::npos);
  EXPECT_NE(opf.find("page-spread-right"), std::string::npos);
  // Another text, another identifier.
  const std::string other = ReadZipEntries(MakeEpub(ReadAozoraText(u"別"), {}))[2].bytes;
  EXPECT_NE(opf.substr(opf.find("urn:uuid:"), 45), other.substr(other.find("urn:uuid:"), 45));
}

TEST(EpubBook, SplitsALongRunIntoDocumentsOfBoundedSizeNoneEmpty) {
  std::u16string text;
  for (int i = 0; i < 20000; ++i) text += u"吾輩は猫である。名前はまだ無い。\n";
  const EpubDocuments documents = MakeEpubDocuments(PlainTextBook(text), u"猫");
  ASSERT_GT(documents.documents.size(), 2U);
  for (const EpubDocument& document : documents.documents) {
    EXPECT_LT(document.bytes.size(), kMaxDocumentBytes + 4096) << document.name;
    EXPECT_NE(BodyOf(document.bytes).find("<p>"), std::string::npos) << document.name;
  }
}

}  // namespace
}  // namespace mirotabe
