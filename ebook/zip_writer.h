// A ZIP archive built in memory, as an EPUB container needs it: entries in
// the order added, each stored or deflated (zlib), with no time of its own
// (every entry bears 1980-01-01 00:00, the format's first date), so that
// the same entries give the same bytes on every system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mirotabe {

class ZipWriter {
 public:
  // `name` is a path inside the archive ('/' between folders), in UTF-8.
  void AddStored(std::string_view name, std::string_view bytes);
  void AddDeflated(std::string_view name, std::string_view bytes);
  // The archive: the entries, their central directory and its end.
  std::string Finish();

 private:
  struct Entry {
    std::string name;
    std::uint32_t crc = 0;
    std::uint32_t size = 0;
    std::uint32_t compressedSize = 0;
    std::uint16_t method = 0;
    std::uint32_t offset = 0;
  };
  void Add(std::string_view name, std::string_view bytes, std::string_view data,
           std::uint16_t method);

  std::string archive_;
  std::vector<Entry> entries_;
};

}  // namespace mirotabe
