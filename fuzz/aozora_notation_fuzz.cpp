// The reader of Aozora Bunko's notation under fuzzed text (read as UTF-8,
// so that the seeds' annotations mutate as text): every line and span lies
// in the body, lines in order; a text with none of the notation's marks is
// its own body; the grid's text and every e-book document come out, the
// documents' elements nested. Unclosed ［＃, nesting, many notes and numbers
// out of range come from the mutations.
#include <string>
#include <string_view>
#include <vector>

#include "core/aozora_grid_text.h"
#include "core/aozora_notation.h"
#include "ebook/epub_documents.h"
#include "fuzz/fuzz_support.h"
#include "platform/charset.h"

using namespace mirotabe;

namespace {

bool Nests(std::string_view xml) {
  std::vector<std::string_view> open;
  for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
    const std::size_t end = xml.find('>', at);
    if (end == std::string_view::npos) return false;
    const std::string_view tag = xml.substr(at + 1, end - at - 1);
    if (tag.starts_with('?') || tag.starts_with('!') || tag.ends_with('/')) continue;
    if (tag.starts_with('/')) {
      if (open.empty() || open.back() != tag.substr(1)) return false;
      open.pop_back();
      continue;
    }
    open.push_back(tag.substr(0, tag.find(' ')));
  }
  return open.empty();
}

bool HasNotation(std::u16string_view text) {
  return text.find_first_of(u"［《》｜|※-") != std::u16string_view::npos ||
         text.find(u"底本：") != std::u16string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text =
      Decode(std::string_view(reinterpret_cast<const char*>(data), size), Charset::Utf8);
  const AozoraBook book = ReadAozoraText(text);
  std::size_t previousEnd = 0;
  for (const AozoraLine& line : book.lines) {
    FUZZ_CHECK(line.begin >= previousEnd && line.begin <= line.end);
    FUZZ_CHECK(line.end < book.body.size() && book.body[line.end] == u'\n');
    previousEnd = line.end + 1;
  }
  FUZZ_CHECK(previousEnd == book.body.size());
  for (const AozoraSpan& span : book.spans) {
    FUZZ_CHECK(span.begin <= span.end && span.end <= book.body.size());
  }
  for (const AozoraNote& note : book.notes) FUZZ_CHECK(note.at <= book.body.size());
  if (!HasNotation(text) && text.find(u'\r') == std::u16string::npos &&
      text.find(u'\uFFFF') == std::u16string::npos) {
    std::u16string expected = text;
    if (!expected.empty() && expected.back() != u'\n') expected += u'\n';
    FUZZ_CHECK(book.body == expected);
    FUZZ_CHECK(book.spans.empty());
  }
  (void)AozoraGridText(book, size % 40, size % 2 == 0 ? GridMarks::kNone : GridMarks::kBeside);
  for (const EpubDocument& document : MakeEpubDocuments(book, u"fuzz").documents) {
    FUZZ_CHECK(Nests(document.bytes));
  }
  return 0;
}
