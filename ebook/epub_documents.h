// A book read in Aozora Bunko's notation (or a plain text) as the XHTML
// documents of a vertical EPUB: one document a page of the notation's
// breaks (改ページ, 改丁, 改見開き, 改段), long runs split near
// kMaxDocumentBytes between lines; the header as a title page, the
// colophon and the transcribers' notes as documents of their own at the
// end; each line a paragraph, a line that is all heading a heading with an
// id for the table of contents.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/aozora_annotation.h"
#include "core/aozora_notation.h"

namespace mirotabe {

// Reader apps open documents whole: about 250 KB keeps each quick to open.
inline constexpr std::size_t kMaxDocumentBytes = 250 * 1024;

struct EpubHeading {
  int level = 1;  // 1 大見出し .. 3 小見出し; the title page's title is 1
  std::u16string label;
  std::string href;  // "text-0001.xhtml#h1"
};

struct EpubDocument {
  std::string name;   // "text-0001.xhtml"
  std::string bytes;  // the document, UTF-8
  // How the page that starts it is placed: a break to the next leaf's
  // front (改丁) or to a new spread (改見開き).
  AozoraBreak startsWith = AozoraBreak::kNone;
};

struct EpubDocuments {
  std::vector<EpubDocument> documents;
  std::vector<EpubHeading> headings;
};

// `title` names each document (its <title>).
EpubDocuments MakeEpubDocuments(const AozoraBook& book, const std::u16string& title);

}  // namespace mirotabe
