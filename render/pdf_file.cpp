#include "render/pdf_file.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace mirotabe {
namespace {

constexpr std::uint64_t kUnwritten = std::numeric_limits<std::uint64_t>::max();
// What the file hands over at a time.
constexpr std::size_t kBlock = 1 << 16;
// zlib's fastest level that still finds the repeats of a page's content:
// higher levels take several times as long for a few per cent.
constexpr int kCompression = 3;

void AppendHex(std::string& out, unsigned value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out.push_back(kDigits[(value >> shift) & 0xF]);
}

}  // namespace

PdfFile::PdfFile(Sink sink) : sink_(std::move(sink)) {
  // The comment of bytes above 127 says the file is binary.
  Append("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n");
}

int PdfFile::Reserve() {
  offsets_.push_back(kUnwritten);
  return static_cast<int>(offsets_.size());
}

void PdfFile::Append(std::string_view bytes) {
  pending_.append(bytes);
  offset_ += bytes.size();
  if (pending_.size() >= kBlock) Drain();
}

void PdfFile::Drain() {
  if (ok_ && !pending_.empty()) ok_ = sink_(pending_);
  pending_.clear();
}

void PdfFile::Object(int number, std::string_view body) {
  offsets_[static_cast<std::size_t>(number - 1)] = offset_;
  std::string head = std::to_string(number);
  head += " 0 obj\n";
  Append(head);
  Append(body);
  Append("\nendobj\n");
}

void PdfFile::Stream(int number, std::string_view data, std::string_view entries) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                kCompression) != Z_OK) {
    ok_ = false;
    return;
  }
  packed.resize(size);
  std::string head = "<</Filter /FlateDecode /Length ";
  head += std::to_string(packed.size());
  head += entries;
  head += ">>\nstream\n";
  offsets_[static_cast<std::size_t>(number - 1)] = offset_;
  Append(std::to_string(number) + " 0 obj\n");
  Append(head);
  Append(packed);
  Append("\nendstream\nendobj\n");
}

bool PdfFile::Finish(int catalog, int info) {
  const std::uint64_t table = offset_;
  std::string xref = "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n";
  for (const std::uint64_t at : offsets_) {
    if (at == kUnwritten) ok_ = false;
    std::string entry = std::to_string(at == kUnwritten ? 0 : at);
    xref.append(10 - std::min<std::size_t>(10, entry.size()), '0');
    xref += entry;
    xref += " 00000 n \n";
  }
  xref += "trailer\n<</Size " + std::to_string(offsets_.size() + 1) + " /Root " +
          std::to_string(catalog) + " 0 R /Info " + std::to_string(info) + " 0 R>>\nstartxref\n" +
          std::to_string(table) + "\n%%EOF\n";
  Append(xref);
  Drain();
  return ok_;
}

std::string PdfTextString(std::u16string_view text) {
  std::string out = "<FEFF";
  for (const char16_t unit : text) AppendHex(out, unit, 4);
  out += '>';
  return out;
}

void AppendNumber(std::string& out, double value, int decimals) {
  // In whole units of the last decimal, so that every system writes the
  // same digits (the browser's library has no to_chars for doubles).
  static constexpr unsigned long long kScales[] = {1, 10, 100, 1000, 10000};
  const int digits = std::clamp(decimals, 0, 4);
  const unsigned long long scale = kScales[digits];
  const double scaled = std::round(value * static_cast<double>(scale));
  if (!(std::abs(scaled) < 1e18)) {
    out += '0';
    return;
  }
  const long long units = static_cast<long long>(scaled);
  // Never "-0".
  if (units < 0) out += '-';
  const unsigned long long magnitude =
      units < 0 ? -static_cast<unsigned long long>(units) : static_cast<unsigned long long>(units);
  out += std::to_string(magnitude / scale);
  if (digits == 0) return;
  std::string fraction = std::to_string(magnitude % scale);
  fraction.insert(0, static_cast<std::size_t>(digits) - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) out += '.' + fraction;
}

}  // namespace mirotabe
