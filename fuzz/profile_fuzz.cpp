// Profile files from fuzzed bytes: an untouched profile gives back its bytes,
// a batch of writes gives the bytes of the same writes saved one by one, and
// a plain value reads back as written.
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/profile.h"

using namespace mirotabe;

namespace {

struct Write {
  std::u16string section;
  std::u16string key;
  std::u16string value;
};

// Names drawn from a few, so that writes meet existing sections and keys.
std::u16string DrawName(FuzzedDataProvider& data) {
  static const char16_t* const kNames[] = {u"Main", u"main", u"Swap001", u" Swap001 ", u"From",
                                           u"To",   u"Type", u"k",       u"あ",        u"ア"};
  return kNames[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)];
}

// A value the reader gives back unchanged: ASCII without blanks or quotes
// at its ends, no NUL, and within the read limit.
bool IsPlain(std::u16string_view value) {
  if (value.size() > 127) return false;
  for (const char16_t c : value) {
    if (c < 0x20 || c >= 0x7F) return false;
  }
  if (!value.empty() && (value.front() == u' ' || value.back() == u' ')) return false;
  return value.size() < 2 || value.front() != value.back() ||
         (value.front() != u'"' && value.front() != u'\'');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  std::vector<Write> writes;
  const std::size_t count = data.ConsumeIntegralInRange<std::size_t>(0, 4);
  for (std::size_t i = 0; i < count; ++i) {
    Write write{DrawName(data), DrawName(data), fuzzing::DrawText(data, 16)};
    // A line break in a value is refused by the writers above this one.
    std::erase_if(write.value, [](char16_t c) { return c == u'\r' || c == u'\n'; });
    writes.push_back(std::move(write));
  }
  const std::string file = data.ConsumeRemainingBytesAsString();

  ProfileFile batch = ProfileFile::FromBytes("Setting.ini", file);
  FUZZ_CHECK(batch.Bytes() == file);
  std::string single = file;
  for (const Write& write : writes) {
    batch.WriteString(write.section, write.key, write.value);
    ProfileFile one = ProfileFile::FromBytes("Setting.ini", single);
    one.WriteString(write.section, write.key, write.value);
    single = one.Bytes();
    if (IsPlain(write.value)) {
      FUZZ_CHECK(batch.ReadString(write.section, write.key, u"default") == write.value);
    }
  }
  FUZZ_CHECK(batch.Bytes() == single);
  // Reading never changes what is read.
  const ProfileFile reread = ProfileFile::FromBytes("Setting.ini", single);
  for (const Write& write : writes) {
    FUZZ_CHECK(reread.ReadString(write.section, write.key, u"d") ==
               batch.ReadString(write.section, write.key, u"d"));
    FUZZ_CHECK(reread.ReadInt(write.section, write.key, 7) ==
               batch.ReadInt(write.section, write.key, 7));
  }
  if (data.remaining_bytes() == 0 && !writes.empty()) {
    // The section that was read goes; a later one of the name, if any, is
    // read as a fresh read of the bytes would find it.
    const Write& removed = writes.front();
    batch.RemoveSection(removed.section);
    const ProfileFile after = ProfileFile::FromBytes("Setting.ini", batch.Bytes());
    FUZZ_CHECK(batch.ReadString(removed.section, removed.key, u"gone") ==
               after.ReadString(removed.section, removed.key, u"gone"));
    batch.InsertSection(removed.section);
    FUZZ_CHECK(batch.ReadString(removed.section, removed.key, u"gone") == u"gone");
  }
  return 0;
}
