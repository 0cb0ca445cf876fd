#include "ebook/saved_ebook.h"

#include "core/aozora_notation.h"
#include "core/notation.h"
#include "ebook/epub_book.h"

namespace mirotabe {

std::string SavedEbook(std::u16string_view input, const PictureStyle& style,
                       std::u16string_view savedName) {
  const AozoraBook book = NotationFor(style.notation, OutputKind::kEbook) == Notation::kAozora
                              ? ReadAozoraText(input)
                              : PlainTextBook(input);
  EpubMetadata metadata;
  metadata.fallbackTitle = savedName;
  return MakeEpub(book, metadata);
}

}  // namespace mirotabe
