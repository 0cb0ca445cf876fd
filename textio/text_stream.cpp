#include "textio/text_stream.h"

#include <algorithm>
#include <utility>

#include "platform/files.h"
#include "unicode/utf16.h"

namespace mirotabe {
namespace {

// Pieces are encoded in slices of at most this many units, so that the
// buffers stay small whatever the callers pass.
constexpr std::size_t kSliceUnits = std::size_t{16} * 1024;
// The writer hands its bytes on once a few slices have gathered.
constexpr std::size_t kSlicesPerBlock = 4;

// A buffer left uninitialised, since it is always written before it is
// read: std::make_unique_for_overwrite, which some standard libraries
// (libc++ 14 among them) lack.
std::unique_ptr<char[]> UninitialisedBuffer(std::size_t size) {
  return std::unique_ptr<char[]>(new char[size]);
}

}  // namespace

TextEncoder::TextEncoder(Charset charset, UnencodableFn onUnencodable)
    : charset_(charset), onUnencodable_(std::move(onUnencodable)) {}

std::size_t TextEncoder::MaxBytes(std::size_t units) const {
  // The waiting surrogate is one unit more.
  return MaxEncodedBytes(units + 1, charset_);
}

std::size_t TextEncoder::EncodeCounting(std::u16string_view text, char* out) {
  return EncodeInto(text, charset_, out, [this](char32_t c) {
    ++replaced_;
    if (onUnencodable_) onUnencodable_(c);
  });
}

std::size_t TextEncoder::Encode(std::u16string_view piece, char* out) {
  if (piece.empty()) return 0;
  std::size_t written = 0;
  if (waiting_ != 0) {
    const char16_t pair[2] = {waiting_, piece.front()};
    const bool completes = IsLowSurrogate(piece.front());
    written += EncodeCounting(std::u16string_view(pair, completes ? 2 : 1), out);
    if (completes) piece.remove_prefix(1);
    waiting_ = 0;
  }
  if (!piece.empty() && IsHighSurrogate(piece.back())) {
    waiting_ = piece.back();
    piece.remove_suffix(1);
  }
  return written + EncodeCounting(piece, out + written);
}

std::size_t TextEncoder::Finish(char* out) {
  if (waiting_ == 0) return 0;
  const char16_t lone = waiting_;
  waiting_ = 0;
  return EncodeCounting(std::u16string_view(&lone, 1), out);
}

EncodingWriter::EncodingWriter(Charset charset, ByteSink sink)
    : encoder_(charset),
      sink_(std::move(sink)),
      capacity_(kSlicesPerBlock * encoder_.MaxBytes(kSliceUnits)),
      buffer_(UninitialisedBuffer(capacity_)) {}

IoStatus EncodingWriter::Flush() {
  if (used_ != 0 && failed_.ok()) failed_ = sink_(std::string_view(buffer_.get(), used_));
  used_ = 0;
  return failed_;
}

IoStatus EncodingWriter::Write(std::u16string_view piece) {
  while (!piece.empty() && failed_.ok()) {
    const std::size_t units = std::min(piece.size(), kSliceUnits);
    if (capacity_ - used_ < encoder_.MaxBytes(units) && Flush().failed()) break;
    used_ += encoder_.Encode(piece.substr(0, units), buffer_.get() + used_);
    piece.remove_prefix(units);
  }
  return failed_;
}

IoStatus EncodingWriter::WriteEncoded(std::string_view bytes) {
  if (Flush().failed() || bytes.empty()) return failed_;
  failed_ = sink_(bytes);
  return failed_;
}

IoStatus EncodingWriter::Finish() {
  if (failed_.failed()) return failed_;
  if (capacity_ - used_ < encoder_.MaxBytes(0)) {
    if (IoStatus status = Flush(); status.failed()) return status;
  }
  used_ += encoder_.Finish(buffer_.get() + used_);
  return Flush();
}

IoResult<std::size_t> WriteTextFilePieces(const std::string& path, Charset charset,
                                          const TextProducer& produce, OtherTargets others) {
  IoResult<AtomicFileWriter> file = AtomicFileWriter::Begin(path, others);
  if (!file) return file.error();
  EncodingWriter writer(charset,
                        [&file](std::string_view bytes) { return file.value().Write(bytes); });
  if (IoStatus status = produce(writer); status.failed()) return status.error();
  if (IoStatus status = writer.Finish(); status.failed()) return status.error();
  if (IoStatus status = file.value().Commit(); status.failed()) return status.error();
  return writer.replaced();
}

IoResult<std::size_t> WriteDescriptorPieces(int fd, const std::string& name, Charset charset,
                                            const TextProducer& produce) {
  EncodingWriter writer(charset, [fd, &name](std::string_view bytes) {
    return WriteDescriptorBytes(fd, bytes, name);
  });
  if (IoStatus status = produce(writer); status.failed()) return status.error();
  if (IoStatus status = writer.Finish(); status.failed()) return status.error();
  return writer.replaced();
}

UnencodableFinder::UnencodableFinder(Charset charset, std::size_t keepFirst)
    : encoder_(charset, [this, keepFirst](char32_t c) { report_.Add(c, keepFirst); }),
      scratch_(UninitialisedBuffer(encoder_.MaxBytes(kSliceUnits))) {}

void UnencodableFinder::Add(std::u16string_view piece) {
  while (!piece.empty()) {
    const std::size_t units = std::min(piece.size(), kSliceUnits);
    encoder_.Encode(piece.substr(0, units), scratch_.get());
    piece.remove_prefix(units);
  }
}

UnencodableReport UnencodableFinder::Finish() {
  encoder_.Finish(scratch_.get());
  return std::move(report_);
}

}  // namespace mirotabe
