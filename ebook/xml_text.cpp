#include "ebook/xml_text.h"

#include "platform/charset.h"
#include "unicode/utf16.h"

namespace mirotabe {

void AppendXmlText(std::u16string& out, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    switch (c) {
      case u'&':
        out += u"&amp;";
        continue;
      case u'<':
        out += u"&lt;";
        continue;
      case u'>':
        out += u"&gt;";
        continue;
      case u'"':
        out += u"&quot;";
        continue;
      default:
        break;
    }
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      out += c;
      out += text[++i];
      continue;
    }
    const bool control = c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
    out += control || IsSurrogate(c) || c == 0xFFFE || c == 0xFFFF ? u'\uFFFD' : c;
  }
}

std::string Utf8Of(std::u16string_view text) {
  return Encode(text, Charset::Utf8).bytes;
}

}  // namespace mirotabe
