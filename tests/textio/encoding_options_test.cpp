#include "textio/encoding_options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>

#include "textio/encoding_names.h"

namespace mirotabe {
namespace {

// Each name as both the input's and the output's encoding: what the input
// is read as (none: refused), and what the output is written in (none:
// refused, with a reason that names what to use instead).
TEST(EncodingOptionsTest, NamesGiveTheInputAndOutputEncodings) {
  const struct {
    const char* name;
    std::optional<TextEncoding> input;  // nullopt with `isAuto` means detected
    bool isAuto;
    std::optional<Charset> output;
  } cases[] = {
      {"auto", std::nullopt, true, std::nullopt},
      {"AUTO", std::nullopt, true, std::nullopt},
      {"cp932", TextEncoding::Cp932, false, Charset::Cp932},
      {"Shift_JIS", TextEncoding::Cp932, false, Charset::Cp932},
      {"UTF8", TextEncoding::Utf8, false, Charset::Utf8},
      {"euc-jp", TextEncoding::EucJp, false, std::nullopt},
      {"utf-16be", TextEncoding::Utf16Be, false, std::nullopt},
      {"latin1", std::nullopt, false, std::nullopt},
      {"", std::nullopt, false, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<InputEncoding> input = InputEncodingNamed(c.name);
    EXPECT_EQ(input.has_value(), c.isAuto || c.input.has_value());
    if (input && c.input) {
      EXPECT_EQ(input->named->encoding, *c.input);
    } else if (input) {
      EXPECT_FALSE(input->named.has_value());
    } else {
      EXPECT_NE(UnknownInputEncoding(c.name).find("use auto, cp932"), std::string::npos);
    }

    const std::variant<Charset, std::string> output = OutputCharsetNamed(c.name);
    if (c.output) {
      EXPECT_EQ(std::get<Charset>(output), *c.output);
    } else {
      EXPECT_NE(std::get<std::string>(output).find("use cp932 or utf-8"), std::string::npos);
    }
  }
}

// The name a result reports its encoding by is one the options take back.
TEST(EncodingOptionsTest, OptionNamesReadBackAsTheirEncoding) {
  for (const TextEncoding encoding :
       {TextEncoding::Cp932, TextEncoding::Utf8, TextEncoding::Utf16Le, TextEncoding::Utf16Be,
        TextEncoding::EucJp, TextEncoding::Iso2022Jp}) {
    const std::optional<NamedEncoding> named = EncodingNamed(EncodingOptionName(encoding));
    ASSERT_TRUE(named) << EncodingOptionName(encoding);
    EXPECT_EQ(named->encoding, encoding);
    EXPECT_FALSE(named->orderFromMark);
  }
}

}  // namespace
}  // namespace mirotabe
