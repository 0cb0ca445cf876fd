#include "textio/layout_text.h"

namespace mirotabe {

TextProducer LayoutTextProducer(const VerticalLayout& layout) {
  return [&layout](EncodingWriter& writer) {
    IoStatus failed;
    layout.ForEachTextPiece([&](std::u16string_view piece) {
      failed = writer.Write(piece);
      return failed.ok();
    });
    return failed;
  };
}

UnencodableReport FindUnencodableCells(const VerticalLayout& layout, Charset charset,
                                       std::size_t keepFirst) {
  UnencodableFinder finder(charset, keepFirst);
  layout.ForEachTextPiece([&finder](std::u16string_view piece) {
    finder.Add(piece);
    return true;
  });
  return finder.Finish();
}

}  // namespace mirotabe
