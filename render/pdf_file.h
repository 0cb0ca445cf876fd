// The bytes of a PDF file as its objects are made: the header, each
// numbered object as it comes (pages go out one at a time, so that a
// document of many pages never holds more than one), one cross-reference
// table and the trailer. Objects may be numbered before they are written,
// so that one can refer to another written later. The file holds no date
// and no identifier of its own: the same objects give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mirotabe {

class PdfFile {
 public:
  // Where the bytes go; false when they cannot be taken, which ends the
  // writing.
  using Sink = std::function<bool(std::string_view)>;

  explicit PdfFile(Sink sink);

  // A number for an object written later.
  int Reserve();
  // Writes object `number` (from Reserve) of `body`.
  void Object(int number, std::string_view body);
  // Writes object `number` as a stream of `data`, compressed, `entries`
  // added to its dictionary.
  void Stream(int number, std::string_view data, std::string_view entries = {});
  // Writes the cross-reference table and the trailer, whose root is object
  // `catalog` and whose information dictionary is `info`, and hands over
  // what is left. Whether every byte was taken and every reserved object
  // written.
  bool Finish(int catalog, int info);

  bool ok() const { return ok_; }

 private:
  void Append(std::string_view bytes);
  void Drain();

  Sink sink_;
  std::string pending_;
  std::uint64_t offset_ = 0;
  // Each object's offset in the file by its number less one; kUnwritten
  // until it is written.
  std::vector<std::uint64_t> offsets_;
  bool ok_ = true;
};

// The PDF text string of `text`: UTF-16BE with its byte-order mark, in hex.
std::string PdfTextString(std::u16string_view text);

// `value` with up to `decimals` digits after the point, trailing zeros
// dropped: the numbers of a page's content.
void AppendNumber(std::string& out, double value, int decimals = 2);

}  // namespace mirotabe
