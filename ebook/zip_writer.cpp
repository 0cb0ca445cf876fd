#include "ebook/zip_writer.h"

#include <zlib.h>

#include <limits>
#include <stdexcept>

namespace mirotabe {
namespace {

constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
// Version 2.0: what deflate needs to be extracted.
constexpr std::uint16_t kVersionNeeded = 20;
// 1980-01-01 in MS-DOS form (day 1, month 1, year 0), 00:00.
constexpr std::uint16_t kDosDate = 0x21;
constexpr std::uint16_t kDosTime = 0;
// Bit 11: the names are UTF-8.
constexpr std::uint16_t kUtf8Names = 0x800;

void Put16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::uint32_t Checked32(std::size_t value) {
  // Larger archives need ZIP64, which no book of text comes near.
  if (value > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("a ZIP entry above 4 GiB");
  }
  return static_cast<std::uint32_t>(value);
}

std::string Deflate(std::string_view bytes) {
  z_stream stream{};
  // Raw deflate (negative window bits): ZIP keeps its own header and CRC.
  constexpr int kWindowBits = -15;
  constexpr int kMemoryLevel = 8;
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kWindowBits, kMemoryLevel,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::bad_alloc();
  }
  std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
  return out;
}

}  // namespace

void ZipWriter::AddStored(std::string_view name, std::string_view bytes) {
  Add(name, bytes, bytes, kStored);
}

void ZipWriter::AddDeflated(std::string_view name, std::string_view bytes) {
  const std::string data = Deflate(bytes);
  Add(name, bytes, data, kDeflated);
}

void ZipWriter::Add(std::string_view name, std::string_view bytes, std::string_view data,
                    std::uint16_t method) {
  Entry entry;
  entry.name = std::string(name);
  entry.crc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
  entry.size = Checked32(bytes.size());
  entry.compressedSize = Checked32(data.size());
  entry.method = method;
  entry.offset = Checked32(archive_.size());
  Put32(archive_, 0x04034b50);
  Put16(archive_, kVersionNeeded);
  Put16(archive_, kUtf8Names);
  Put16(archive_, method);
  Put16(archive_, kDosTime);
  Put16(archive_, kDosDate);
  Put32(archive_, entry.crc);
  Put32(archive_, entry.compressedSize);
  Put32(archive_, entry.size);
  Put16(archive_, static_cast<std::uint32_t>(entry.name.size()));
  Put16(archive_, 0);  // no extra field: the mimetype entry must have none
  archive_ += entry.name;
  archive_ += data;
  entries_.push_back(std::move(entry));
}

std::string ZipWriter::Finish() {
  const std::uint32_t directory = Checked32(archive_.size());
  for (const Entry& entry : entries_) {
    Put32(archive_, 0x02014b50);
    Put16(archive_, kVersionNeeded);  // made by: MS-DOS, version 2.0
    Put16(archive_, kVersionNeeded);
    Put16(archive_, kUtf8Names);
    Put16(archive_, entry.method);
    Put16(archive_, kDosTime);
    Put16(archive_, kDosDate);
    Put32(archive_, entry.crc);
    Put32(archive_, entry.compressedSize);
    Put32(archive_, entry.size);
    Put16(archive_, static_cast<std::uint32_t>(entry.name.size()));
    Put16(archive_, 0);  // extra field
    Put16(archive_, 0);  // comment
    Put16(archive_, 0);  // disk
    Put16(archive_, 0);  // internal attributes
    Put32(archive_, 0);  // external attributes
    Put32(archive_, entry.offset);
    archive_ += entry.name;
  }
  const std::uint32_t directorySize = Checked32(archive_.size()) - directory;
  Put32(archive_, 0x06054b50);
  Put16(archive_, 0);
  Put16(archive_, 0);
  Put16(archive_, static_cast<std::uint32_t>(entries_.size()));
  Put16(archive_, static_cast<std::uint32_t>(entries_.size()));
  Put32(archive_, directorySize);
  Put32(archive_, directory);
  Put16(archive_, 0);
  entries_.clear();
  return std::move(archive_);
}

}  // namespace mirotabe
