#include "render/pdf_file.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

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
  char buffer[32];
  static constexpr double kScales[] = {1, 10, 100, 1000, 10000};
  const double scale = kScales[std::clamp(decimals, 0, 4)];
  const double rounded = std::round(value * scale) / scale;
  // Never "-0".
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, rounded == 0 ? 0.0 : rounded,
                    std::chars_format::fixed, decimals);
  if (error != std::errc()) {
    out += '0';
    return;
  }
  char* last = end;
  if (decimals > 0) {
    while (last[-1] == '0') --last;
    if (last[-1] == '.') --last;
  }
  out.append(buffer, last);
}

}  // namespace mirotabe
