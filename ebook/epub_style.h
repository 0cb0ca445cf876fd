// The style sheet of every book: vertical writing and the notation's marks.
#pragma once

#include <string_view>

namespace mirotabe {

extern const std::string_view kEpubStyleSheet;

}  // namespace mirotabe
