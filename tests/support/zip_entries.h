// The entries of a ZIP archive as a reader finds them: through the central
// directory, each stored or inflated and held to its CRC-32, so that a test
// reads back what a writer made as any reader app would.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirotabe::testing_support {

struct ZipEntry {
  std::string name;
  std::uint16_t method = 0;
  std::string bytes;
};

inline std::uint32_t ZipNumber(std::string_view bytes, std::size_t at, int size) {
  if (at + static_cast<std::size_t>(size) > bytes.size()) throw std::runtime_error("cut short");
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

inline std::string Inflated(std::string_view data, std::size_t size) {
  std::string out(size, '\0');
  z_stream stream{};
  if (inflateInit2(&stream, -15) != Z_OK) throw std::runtime_error("inflateInit2");
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&stream, Z_FINISH);
  inflateEnd(&stream);
  if (result != Z_STREAM_END || stream.total_out != size) throw std::runtime_error("inflate");
  return out;
}

// Throws where the archive is not whole or an entry's CRC is wrong.
inline std::vector<ZipEntry> ReadZipEntries(std::string_view archive) {
  const std::size_t end = archive.rfind(std::string_view("PK\5\6", 4));
  if (end == std::string_view::npos) throw std::runtime_error("no end of central directory");
  const std::uint32_t count = ZipNumber(archive, end + 10, 2);
  std::size_t at = ZipNumber(archive, end + 16, 4);
  std::vector<ZipEntry> entries;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (ZipNumber(archive, at, 4) != 0x02014b50) throw std::runtime_error("not a directory entry");
    ZipEntry entry;
    entry.method = static_cast<std::uint16_t>(ZipNumber(archive, at + 10, 2));
    const std::uint32_t crc = ZipNumber(archive, at + 16, 4);
    const std::uint32_t packed = ZipNumber(archive, at + 20, 4);
    const std::uint32_t size = ZipNumber(archive, at + 24, 4);
    const std::uint32_t nameLength = ZipNumber(archive, at + 28, 2);
    const std::uint32_t skip = ZipNumber(archive, at + 30, 2) + ZipNumber(archive, at + 32, 2);
    const std::uint32_t local = ZipNumber(archive, at + 42, 4);
    entry.name = std::string(archive.substr(at + 46, nameLength));
    at += 46 + nameLength + skip;
    const std::size_t data =
        local + 30 + ZipNumber(archive, local + 26, 2) + ZipNumber(archive, local + 28, 2);
    if (data + packed > archive.size()) throw std::runtime_error("entry cut short");
    const std::string_view stored = archive.substr(data, packed);
    entry.bytes = entry.method == 0 ? std::string(stored) : Inflated(stored, size);
    if (crc32(0, reinterpret_cast<const Bytef*>(entry.bytes.data()),
              static_cast<uInt>(entry.bytes.size())) != crc) {
      throw std::runtime_error("CRC of " + entry.name);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace mirotabe::testing_support
