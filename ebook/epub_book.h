// A vertical, reflowable EPUB 3 of a book read in Aozora Bunko's notation
// (or of a plain text): vertical-rl in its CSS with the -epub- and -webkit-
// forms, pages turned right to left, ruby, 縦中横, 傍点 and 傍線 in CSS,
// a table of contents of the headings, 改丁 and 改見開き as the side of
// the spread a document starts on. Its identifier and modification date
// come from the text itself, so that the same text gives the same bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/aozora_notation.h"
#include "core/notation.h"

namespace mirotabe {

struct EpubMetadata {
  // Given by the user; else the book's header's; else `fallbackTitle`.
  std::u16string title;
  std::u16string author;
  std::u16string fallbackTitle;
};

// The EPUB's bytes.
std::string MakeEpub(const AozoraBook& book, const EpubMetadata& metadata);

// The EPUB a window saves of its input: read in the notation that
// `chosen` (the settings' choice, if any) gives e-books, and titled
// `fallbackTitle` where the book names no title.
std::string InputEpub(std::u16string_view input, std::optional<Notation> chosen,
                      std::u16string_view fallbackTitle);

// The date the book's colophon says the file was last made or fixed
// ("2005年3月1日作成", "2011年7月3日修正"), as xsd:dateTime in UTC; a date
// of no meaning (2000-01-01) when it says none.
std::string ModifiedDateOf(const AozoraBook& book);

}  // namespace mirotabe
