// Encoding a text that arrives in pieces, so that a large text never has to
// be held whole. The bytes are exactly those that Encode() gives for the
// pieces joined, wherever the pieces are cut: a surrogate pair split
// between two pieces is still one character.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/charset.h"
#include "platform/files.h"
#include "platform/io_error.h"

namespace mirotabe {

// Encodes piece after piece into buffers the caller provides.
class TextEncoder {
 public:
  explicit TextEncoder(Charset charset, UnencodableFn onUnencodable = {});

  // The most bytes that Encode() writes for `units` units.
  std::size_t MaxBytes(std::size_t units) const;

  // Writes the bytes of `piece` to `out` (room for MaxBytes(piece.size()))
  // and returns how many. A high surrogate that ends the piece waits for
  // the next one, which may start with its other half.
  std::size_t Encode(std::u16string_view piece, char* out);

  // Ends the text: a high surrogate still waiting had no other half and
  // becomes '?'. Writes at most one byte.
  std::size_t Finish(char* out);

  // Characters written as '?' so far.
  std::size_t replaced() const { return replaced_; }

 private:
  std::size_t EncodeCounting(std::u16string_view text, char* out);

  Charset charset_;
  UnencodableFn onUnencodable_;
  char16_t waiting_ = 0;  // a high surrogate, or 0
  std::size_t replaced_ = 0;
};

// Where encoded bytes go, block by block. An error stops the writing.
using ByteSink = std::function<IoStatus(std::string_view bytes)>;

// Encodes pieces of text and hands the bytes to a sink in blocks of a
// bounded size, however large the pieces.
class EncodingWriter {
 public:
  EncodingWriter(Charset charset, ByteSink sink);

  // Encodes `piece`; hands on the blocks that fill up. After an error the
  // writer stays failed and writes nothing more.
  IoStatus Write(std::u16string_view piece);

  // Hands on bytes already in the writer's encoding, after what is
  // buffered, without copying them.
  IoStatus WriteEncoded(std::string_view bytes);

  // Ends the text and hands on whatever is left.
  IoStatus Finish();

  // Characters written as '?' so far.
  std::size_t replaced() const { return encoder_.replaced(); }

 private:
  IoStatus Flush();

  TextEncoder encoder_;
  ByteSink sink_;
  std::size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  IoStatus failed_;
};

// What passes a text, piece by piece, to the writer it is given; an error
// of the writer ends it.
using TextProducer = std::function<IoStatus(EncodingWriter& writer)>;

// Replaces the file at `path` atomically by the text that `produce` writes:
// a failure leaves the old file whole. Returns how many characters became
// '?'.
IoResult<std::size_t> WriteTextFilePieces(const std::string& path, Charset charset,
                                          const TextProducer& produce,
                                          OtherTargets others = OtherTargets::kRefuse);

// Writes the text that `produce` writes to an open descriptor (standard
// output, a pipe); `name` is what errors call it. Returns how many
// characters became '?'.
IoResult<std::size_t> WriteDescriptorPieces(int fd, const std::string& name, Charset charset,
                                            const TextProducer& produce);

// The characters that `charset` cannot hold in a text that arrives in
// pieces, as FindUnencodable() reports them for the pieces joined.
class UnencodableFinder {
 public:
  explicit UnencodableFinder(Charset charset, std::size_t keepFirst = 5);
  // The encoder reports to this very object.
  UnencodableFinder(const UnencodableFinder&) = delete;
  UnencodableFinder& operator=(const UnencodableFinder&) = delete;

  void Add(std::u16string_view piece);
  UnencodableReport Finish();

 private:
  UnencodableReport report_;
  TextEncoder encoder_;
  std::unique_ptr<char[]> scratch_;
};

}  // namespace mirotabe
