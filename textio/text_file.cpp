#include "textio/text_file.h"

#include <algorithm>
#include <new>

#include "platform/files.h"
#include "unicode/simd_scan.h"

namespace mirotabe {
namespace {

// Line breaks are unified after decoding, where CR and LF are characters
// of their own in every encoding (in UTF-16 their bytes are not), and in
// the text's own memory. In code page 932 and UTF-8 each CR or LF byte is
// one unit of the text too (no multi-byte character uses those bytes, and
// a bad byte never swallows one), so there the bytes tell what unifying
// will do before anything is decoded.

// How many units unifying adds: one for each lone CR or lone LF. Breaks
// lie far apart, so they are sought with `find` (memchr, or eight units at
// a time) rather than by looking at every unit.
template <typename Units, typename Find>
std::size_t AddedByUnifying(Units units, Find find) {
  std::size_t added = 0;
  for (std::size_t at = find(units, '\n', 0); at < units.size(); at = find(units, '\n', at + 1)) {
    added += at == 0 || units[at - 1] != '\r' ? 1 : 0;
  }
  for (std::size_t at = find(units, '\r', 0); at < units.size(); at = find(units, '\r', at + 1)) {
    added += at + 1 == units.size() || units[at + 1] != '\n' ? 1 : 0;
  }
  return added;
}

std::size_t AddedByUnifying(std::string_view bytes) {
  return AddedByUnifying(bytes, [](std::string_view in, char unit, std::size_t from) {
    return std::min(in.find(unit, from), in.size());
  });
}

std::size_t AddedByUnifying(std::u16string_view text) {
  return AddedByUnifying(text, [](std::u16string_view in, char16_t unit, std::size_t from) {
    return scan::FindUnit(in, unit, from);
  });
}

// Whether the units end in a break, which unifying drops.
template <typename Units>
bool EndsWithBreak(const Units& units) {
  return !units.empty() && (units.back() == '\r' || units.back() == '\n');
}

// Every lone CR and lone LF becomes CR LF, working from the end so that
// nothing is overwritten before it is read; then the break that ends the
// text goes, since it ends the last line and starts no new one. `added`
// is what AddedByUnifying gives for the text.
void UnifyLineBreaks(std::u16string& text, std::size_t added) {
  if (added != 0) {
    std::size_t from = text.size();
    text.resize(text.size() + added);
    std::size_t to = text.size();
    while (from != to) {
      const char16_t unit = text[--from];
      if (unit == u'\n' || unit == u'\r') {
        if (unit == u'\n' && from != 0 && text[from - 1] == u'\r') --from;
        text[--to] = u'\n';
        text[--to] = u'\r';
      } else {
        text[--to] = unit;
      }
    }
  }
  if (text.ends_with(u"\r\n")) text.resize(text.size() - 2);
}

std::optional<Charset> CountableCharset(TextEncoding encoding) {
  if (encoding == TextEncoding::Cp932) return Charset::Cp932;
  if (encoding == TextEncoding::Utf8) return Charset::Utf8;
  return std::nullopt;
}

// What the text of `bytes` read as `encoding` will be: counted from the
// bytes where they can be, and otherwise decoded to be counted.
UndecodedTextFile::Plan Planned(std::string_view bytes, DetectedEncoding encoding) {
  const std::string_view body = bytes.substr(encoding.markBytes);
  if (!encoding.text && !encoding.units) encoding.units = DecodedUnits(body, encoding.encoding);
  if (!encoding.text && !encoding.units) encoding.text = Decode(body, encoding.encoding);
  UndecodedTextFile::Plan plan;
  if (encoding.text) {
    plan.addedUnits = AddedByUnifying(std::u16string_view(*encoding.text));
    plan.length = encoding.text->size() + plan.addedUnits - (EndsWithBreak(*encoding.text) ? 2 : 0);
  } else {
    plan.addedUnits = AddedByUnifying(body);
    plan.length = *encoding.units + plan.addedUnits - (EndsWithBreak(body) ? 2 : 0);
  }
  plan.encoding = std::move(encoding);
  return plan;
}

DetectedText Decoded(std::string_view bytes, UndecodedTextFile::Plan plan) {
  DetectedEncoding& encoding = plan.encoding;
  // The room unifying needs is left at once.
  std::u16string text = encoding.text ? *std::move(encoding.text)
                                      : DecodeCounted(bytes.substr(encoding.markBytes),
                                                      *CountableCharset(encoding.encoding),
                                                      *encoding.units, plan.addedUnits);
  // Only a text with a U+FFFD can have bad bytes: the bytes are read again
  // to find them, which a file with none never pays for.
  const bool replaced = scan::FindUnit(text, u'\uFFFD', 0) < text.size();
  UndecodableBytes undecodable;
  if (replaced) {
    undecodable = FindUndecodable(bytes.substr(encoding.markBytes), encoding.encoding);
    undecodable.firstOffset += undecodable.count != 0 ? encoding.markBytes : 0;
  }
  UnifyLineBreaks(text, plan.addedUnits);
  const bool undetermined = !encoding.sure && replaced;
  return {std::move(text), encoding.encoding, undetermined, undecodable};
}

DetectedEncoding Given(std::string_view bytes, TextEncoding encoding) {
  return {encoding, true, ByteOrderMarkBytes(bytes, encoding)};
}

}  // namespace

std::u16string DecodeTextFile(std::string_view bytes, Charset charset) {
  return DecodeTextFile(bytes, ToTextEncoding(charset));
}

std::u16string DecodeTextFile(std::string_view bytes, TextEncoding encoding) {
  return Decoded(bytes, Planned(bytes, Given(bytes, encoding))).text;
}

DetectedText DecodeDetectedTextFile(std::string_view bytes) {
  return Decoded(bytes, Planned(bytes, DetectEncoding(bytes)));
}

DetectedText DecodeTextFileIn(std::string_view bytes, TextEncoding encoding) {
  return Decoded(bytes, Planned(bytes, Given(bytes, encoding)));
}

IoResult<UndecodedTextFile> UndecodedTextFile::Read(const std::string& path,
                                                    std::optional<TextEncoding> encoding) {
  IoResult<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return bytes.error();
  try {
    Plan plan = Planned(bytes.value(),
                        encoding ? Given(bytes.value(), *encoding) : DetectEncoding(bytes.value()));
    return UndecodedTextFile(path, std::move(bytes.value()), std::move(plan));
  } catch (const std::bad_alloc&) {
    return IoError{path, MakeErrorCode(FileError::kTooLarge), bytes.value().size()};
  }
}

IoResult<DetectedText> UndecodedTextFile::Decode() && {
  try {
    DetectedText text = Decoded(bytes_, std::move(plan_));
    std::string().swap(bytes_);
    return text;
  } catch (const std::bad_alloc&) {
    return IoError{path_, MakeErrorCode(FileError::kTooLarge), bytes_.size()};
  }
}

EncodedText EncodeTextFile(std::u16string_view text, Charset charset) {
  return Encode(text, charset);
}

}  // namespace mirotabe
