#include "textio/undecodable_warning.h"

#include "textio/encoding_names.h"

namespace mirotabe {
namespace {

std::u16string Ascii(std::string_view text) {
  return {text.begin(), text.end()};
}

}  // namespace

std::string UndecodableWarning(const UndecodableBytes& undecodable, TextEncoding encoding) {
  return std::to_string(undecodable.count) + (undecodable.count == 1 ? " byte" : " bytes") +
         " at offset " + std::to_string(undecodable.firstOffset) + " could not be read as " +
         std::string(EncodingOptionName(encoding)) + " and became \xEF\xBF\xBD";
}

std::u16string UndecodableStatusLine(std::u16string_view fileName,
                                     const UndecodableBytes& undecodable, TextEncoding encoding) {
  return std::u16string(fileName) + u": " + Ascii(std::to_string(undecodable.count)) +
         u" バイトを " + Ascii(EncodingName(encoding)) +
         u" として読めず、\uFFFD にしました（最初はオフセット " +
         Ascii(std::to_string(undecodable.firstOffset)) +
         u"）。エンコーディングを指定して開き直せます";
}

}  // namespace mirotabe
