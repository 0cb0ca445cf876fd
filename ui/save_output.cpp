#include "ui/save_output.h"

#include "textio/text_stream.h"

namespace mirotabe {

IoStatus SaveLayout(const std::string& path, const VerticalLayout& layout, Charset charset,
                    OtherTargets others) {
  const IoResult<std::size_t> written =
      WriteTextFilePieces(path, charset, LayoutTextProducer(layout), others);
  if (!written) return written.error();
  return std::nullopt;
}

}  // namespace mirotabe
