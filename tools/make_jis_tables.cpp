// Build step: asks iconv how it reads EUC-JP (glibc's EUC-JP-MS) and
// ISO-2022-JP (glibc's ISO-2022-JP-3), byte by byte and pair by pair, and
// writes the answers as C++ tables, so that the program reads both
// encodings alike where the C library has no such converters (the
// browser's build). Usage: make_jis_tables OUTPUT.cpp
#include <iconv.h>

#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

static_assert(std::endian::native == std::endian::little);

[[noreturn]] void Fail(const char* what, const std::string& bytes) {
  std::fprintf(stderr, "make_jis_tables: %s:", what);
  for (const char b : bytes) std::fprintf(stderr, " %02X", static_cast<unsigned char>(b));
  std::fprintf(stderr, "\n");
  std::exit(1);
}

// What iconv makes of all of `bytes`: the units, or an error.
struct Reading {
  int error = 0;  // 0, EILSEQ (bad) or EINVAL (cut short)
  std::u16string units;
};

Reading Read(iconv_t cd, const std::string& bytes) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char16_t out[16];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* output = reinterpret_cast<char*>(out);
  std::size_t outLeft = sizeof out;
  Reading reading;
  if (iconv(cd, &in, &inLeft, &output, &outLeft) == static_cast<std::size_t>(-1)) {
    reading.error = errno;
    if (reading.error != EILSEQ && reading.error != EINVAL) Fail("unexpected error", bytes);
  }
  reading.units.assign(out, static_cast<std::size_t>(reinterpret_cast<char16_t*>(output) - out));
  return reading;
}

// The units that `bytes` read as after `prefix`, which itself reads as
// nothing; an error when iconv refuses or wants more.
Reading ReadAfter(iconv_t cd, const std::string& prefix, const std::string& bytes) {
  return Read(cd, prefix + bytes);
}

std::uint32_t Packed(const std::u16string& units, const std::string& bytes) {
  if (units.empty() || units.size() > 2) Fail("reads as no unit or more than two", bytes);
  return units.size() == 1 ? units[0] : units[0] | static_cast<std::uint32_t>(units[1]) << 16;
}

constexpr char16_t kBad = 0xFFFF;
constexpr char16_t kStartsPair = 0xFFFE;

// A byte alone, after `prefix`: its unit, kStartsPair when it wants a
// second byte, kBad when it is refused.
char16_t Single(iconv_t cd, const std::string& prefix, unsigned char b) {
  const std::string bytes(1, static_cast<char>(b));
  const Reading reading = ReadAfter(cd, prefix, bytes);
  if (reading.error == EINVAL) return kStartsPair;
  if (reading.error != 0) return kBad;
  if (reading.units.size() != 1 || reading.units[0] >= kStartsPair) Fail("odd single", bytes);
  return reading.units[0];
}

// Writes `values` as the initialiser of `declaration`, in braces of
// `rowLength` values each for a table of rows (0: a flat table).
void WriteTable(std::FILE* file, const char* declaration, const std::vector<std::uint32_t>& values,
                std::size_t rowLength = 0) {
  constexpr std::size_t kPerLine = 32;
  std::fprintf(file, "%s = {\n", declaration);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const bool rowStarts = rowLength != 0 && i % rowLength == 0;
    const bool rowEnds = rowLength != 0 && i % rowLength == rowLength - 1;
    std::fprintf(file, "%s%u,%s%s", rowStarts ? "{" : "", values[i], rowEnds ? "}," : "",
                 i % kPerLine == kPerLine - 1 || rowEnds ? "\n" : "");
  }
  std::fprintf(file, "};\n\n");
}

constexpr std::size_t kJisRow = 94;

// The pairs (and, where iconv wants a third byte, the triples) that start
// with lead byte `b` of EUC-JP.
void ProbeEucJpLead(iconv_t cd, unsigned b, std::vector<std::uint32_t>& pairs,
                    std::vector<std::uint32_t>& triples) {
  for (unsigned t = 0; t < 0x100; ++t) {
    const std::string pair{static_cast<char>(b), static_cast<char>(t)};
    const Reading reading = Read(cd, pair);
    if (reading.error == 0) pairs[(b - 0x80) * 0x100 + t] = Packed(reading.units, pair);
    if (reading.error != EINVAL) continue;
    // iconv may want a third byte before it refuses the pair.
    for (unsigned u = 0; u < 0x100; ++u) {
      const std::string triple = pair + static_cast<char>(u);
      const Reading third = Read(cd, triple);
      if (third.error != 0) continue;
      if (b != 0x8F || t < 0xA1 || t > 0xFE || u < 0xA1 || u > 0xFE) {
        Fail("a triple other than 0x8F's two JIS bytes", triple);
      }
      triples[(t - 0xA1) * kJisRow + (u - 0xA1)] = Packed(third.units, triple);
    }
  }
}

// EUC-JP: ASCII; single bytes 0x80.. (C1 controls); pairs; and the triples
// of JIS X 0212 after 0x8F, whose two bytes lie in 0xA1..0xFE.
void WriteEucJp(std::FILE* file) {
  const iconv_t cd = iconv_open("UTF-16LE", "EUC-JP-MS");
  if (cd == reinterpret_cast<iconv_t>(-1)) Fail("iconv has no EUC-JP-MS", "");
  std::vector<std::uint32_t> singles(0x80);
  std::vector<std::uint32_t> pairs(std::size_t{0x80} * 0x100);
  std::vector<std::uint32_t> triples(kJisRow * kJisRow);
  for (unsigned b = 0; b < 0x100; ++b) {
    const char16_t single = Single(cd, "", static_cast<unsigned char>(b));
    if (b < 0x80) {
      if (single != b) Fail("ASCII is not ASCII", std::string(1, static_cast<char>(b)));
      continue;
    }
    singles[b - 0x80] = single == kStartsPair || single == kBad ? 0 : single;
    if (single == kStartsPair) ProbeEucJpLead(cd, b, pairs, triples);
  }
  for (const std::uint32_t value : pairs) {
    if (value > 0xFFFF) Fail("a pair reads as two units", "");
  }
  WriteTable(file, "const char16_t kEucJpSingle[0x80]", singles);
  WriteTable(file, "const char16_t kEucJpPair[0x80][0x100]", pairs, 0x100);
  WriteTable(file, "const char16_t kEucJpTriple[94][94]", triples, kJisRow);
  iconv_close(cd);
}

// What each byte reads as in the set that `designation` chooses, appended
// to `singles`; whether any byte starts a pair.
bool ProbeIso2022JpSingles(iconv_t cd, const char* designation,
                           std::vector<std::uint32_t>& singles) {
  bool hasPairs = false;
  for (unsigned b = 0; b < 0x100; ++b) {
    // ESC starts the next escape sequence, or is a character of its own.
    const char16_t single =
        b == 0x1B ? char16_t{0x1B} : Single(cd, designation, static_cast<unsigned char>(b));
    if (single == kStartsPair && (b < 0x21 || b > 0x7E)) Fail("a pair out of range", designation);
    hasPairs = hasPairs || single == kStartsPair;
    singles.push_back(single);
  }
  return hasPairs;
}

std::vector<std::uint32_t> Iso2022JpPairs(iconv_t cd, const char* designation) {
  std::vector<std::uint32_t> pairs;
  for (unsigned b = 0x21; b <= 0x7E; ++b) {
    for (unsigned t = 0x21; t <= 0x7E; ++t) {
      const std::string pair{static_cast<char>(b), static_cast<char>(t)};
      const Reading reading = ReadAfter(cd, designation, pair);
      pairs.push_back(reading.error == 0 ? Packed(reading.units, pair) : 0);
    }
  }
  return pairs;
}

// ISO-2022-JP: the sets that escape sequences designate, each with what
// its single bytes and its pairs (both bytes in 0x21..0x7E) read as.
void WriteIso2022Jp(std::FILE* file) {
  const iconv_t cd = iconv_open("UTF-16LE", "ISO-2022-JP-3");
  if (cd == reinterpret_cast<iconv_t>(-1)) Fail("iconv has no ISO-2022-JP-3", "");
  static const std::array<const char*, 8> kDesignations = {
      "\x1B(B", "\x1B(J", "\x1B(I", "\x1B$@", "\x1B$B", "\x1B$(O", "\x1B$(Q", "\x1B$(P"};
  std::vector<std::uint32_t> singles;
  // The distinct tables of pairs, and for each designation the index of
  // its table, or 0xFFFFFFFF for a set without pairs.
  std::vector<std::vector<std::uint32_t>> pairTables;
  std::vector<std::uint32_t> pairTableOf;
  for (const char* designation : kDesignations) {
    if (const Reading reading = Read(cd, designation);
        reading.error != 0 || !reading.units.empty()) {
      Fail("not a designation", designation);
    }
    if (!ProbeIso2022JpSingles(cd, designation, singles)) {
      pairTableOf.push_back(0xFFFFFFFF);
      continue;
    }
    const std::vector<std::uint32_t> pairs = Iso2022JpPairs(cd, designation);
    std::size_t index = 0;
    while (index < pairTables.size() && pairTables[index] != pairs) ++index;
    if (index == pairTables.size()) pairTables.push_back(pairs);
    pairTableOf.push_back(static_cast<std::uint32_t>(index));
  }
  std::fprintf(file, "const char* const kIso2022JpDesignations[kIso2022JpSets] = {");
  // ESC is written as an escape; the rest of each sequence is printable.
  for (const char* designation : kDesignations)
    std::fprintf(file, R"("\x1B%s", )", designation + 1);
  std::fprintf(file, "};\n\n");
  WriteTable(file, "const char16_t kIso2022JpSingle[kIso2022JpSets][0x100]", singles, 0x100);
  WriteTable(file, "const std::uint32_t kIso2022JpPairTableOf[kIso2022JpSets]", pairTableOf);
  std::vector<std::uint32_t> allPairs;
  for (const auto& table : pairTables) allPairs.insert(allPairs.end(), table.begin(), table.end());
  std::fprintf(file, "const std::uint32_t kIso2022JpPairTables[%zu][94 * 94]", pairTables.size());
  WriteTable(file, "", allPairs, kJisRow * kJisRow);
  iconv_close(cd);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_jis_tables OUTPUT.cpp\n");
    return 2;
  }
  std::FILE* file = std::fopen(argv[1], "w");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(file,
               "// Generated by make_jis_tables from the system's iconv. Do not edit.\n"
               "#include \"platform/jis_tables.h\"\n\n"
               "namespace mirotabe {\n\n");
  WriteEucJp(file);
  WriteIso2022Jp(file);
  std::fprintf(file, "}  // namespace mirotabe\n");
  if (std::fclose(file) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
