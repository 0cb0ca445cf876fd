#include "ui/save_output.h"

#include "textio/text_stream.h"

namespace mirotabe {

UnencodableReport FindUnencodableCells(const VerticalLayout& layout, Charset charset,
                                       std::size_t keepFirst) {
  UnencodableFinder finder(charset, keepFirst);
  layout.ForEachTextPiece([&finder](std::u16string_view piece) {
    finder.Add(piece);
    return true;
  });
  return finder.Finish();
}

IoStatus SaveLayout(const std::string& path, const VerticalLayout& layout, Charset charset,
                    OtherTargets others) {
  const IoResult<std::size_t> written = WriteTextFilePieces(
      path, charset,
      [&layout](EncodingWriter& writer) {
        IoStatus failed;
        layout.ForEachTextPiece([&](std::u16string_view piece) {
          failed = writer.Write(piece);
          return !failed;
        });
        return failed;
      },
      others);
  if (!written) return written.error();
  return std::nullopt;
}

}  // namespace mirotabe
