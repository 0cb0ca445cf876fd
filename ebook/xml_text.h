// Text as XML holds it: &, <, > and " escaped, and what XML 1.0 cannot
// hold at all (control characters but tab, noncharacters U+FFFE and U+FFFF,
// lone surrogates) written as U+FFFD, so that a document is well-formed
// whatever its text held.
#pragma once

#include <string>
#include <string_view>

namespace mirotabe {

void AppendXmlText(std::u16string& out, std::u16string_view text);

// `text` in UTF-8 (it holds no lone surrogates once through AppendXmlText).
std::string Utf8Of(std::u16string_view text);

}  // namespace mirotabe
