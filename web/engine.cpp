#include "web/engine.h"

#include <algorithm>
#include <string>
#include <variant>

#include "core/layout_options.h"
#include "core/page_setup.h"
#include "core/picture_style.h"
#include "core/reverse_layout.h"
#include "platform/files.h"
#include "platform/io_reasons.h"
#include "platform/profile.h"
#include "textio/encoding_names.h"
#include "textio/encoding_options.h"
#include "textio/layout_text.h"
#include "textio/text_stream.h"
#include "textio/undecodable_warning.h"

namespace mirotabe::web {
namespace {

// The settings file lives in the module's own memory file system, so that
// the program's own load and save functions serve unchanged.
constexpr const char* kSettingsFolder = "/mirotabe";

// A failure as the page tells it: its reason in Japanese, in UTF-8.
std::optional<std::string> Failure(const IoStatus& status) {
  if (status.ok()) return std::nullopt;
  return Encode(JapaneseReason(status.error()), Charset::Utf8).bytes;
}

std::string TooLargeMessage(const char* what, const LayoutTooLarge& tooLarge) {
  const std::string message = std::string("the text is too large to ") + what + ": ";
  if (tooLarge.units != 0) {
    return message + "the replacements make it at least " + std::to_string(tooLarge.units) +
           " characters long, more than the " + std::to_string(PreparedUnitsBound(tooLarge.bound)) +
           " that " + std::to_string(tooLarge.bound) + " cells can take";
  }
  return message + std::to_string(tooLarge.lines) + " lines × " +
         std::to_string(tooLarge.longestLine) + " characters exceed " +
         std::to_string(tooLarge.bound) + " cells";
}

// The bytes that `produce` writes, encoded in `charset`; `replaced` takes
// the count of characters written as '?'.
std::string Encoded(Charset charset, const TextProducer& produce, std::size_t& replaced) {
  std::string bytes;
  EncodingWriter writer(charset, [&bytes](std::string_view block) -> IoStatus {
    bytes.append(block);
    return std::nullopt;
  });
  IoStatus failed = produce(writer);
  if (failed.ok()) failed = writer.Finish();
  replaced = writer.replaced();
  return bytes;
}

// Reads the options of `request` into `settings`' layout, `from` and
// `charset`; returns why one is refused, or nothing.
std::optional<std::string> ReadOptions(const ConvertRequest& request, InputEncoding& from,
                                       Charset& charset, LayoutOverrides& overrides) {
  const std::optional<InputEncoding> named = InputEncodingNamed(request.from);
  if (!named) return UnknownInputEncoding(request.from);
  from = *named;
  std::variant<Charset, std::string> output = OutputCharsetNamed(request.encoding);
  if (auto* refused = std::get_if<std::string>(&output)) return std::move(*refused);
  charset = std::get<Charset>(output);
  const std::pair<const char*, const std::optional<std::string>*> layoutOptions[] = {
      {"column-length", &request.columnLength},
      {"kinsoku", &request.kinsoku},
      {"gap", &request.gap},
      {"ruby", &request.ruby}};
  for (const auto& [name, value] : layoutOptions) {
    if (!*value) continue;
    if (auto invalid = ParseLayoutOption(name, **value, overrides)) return invalid;
  }
  if (request.settings && request.settings->size() > kMaxSettingsBytes) {
    return "the settings file is larger than " + std::to_string(kMaxSettingsBytes) + " bytes";
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> SettingsImportRefusal(std::string_view bytes) {
  if (bytes.size() > kMaxSettingsBytes) {
    const std::string megabytes = std::to_string(kMaxSettingsBytes >> 20);
    std::u16string reason = u"ファイルが大きすぎます。設定ファイルとして読めるのは ";
    reason.append(megabytes.begin(), megabytes.end());
    reason += u" MB までです。";
    return Encode(reason, Charset::Utf8).bytes;
  }
  if (const std::optional<std::u16string> refusal = SettingsFileRefusal(bytes)) {
    return Encode(*refusal, Charset::Utf8).bytes;
  }
  return std::nullopt;
}

AppSettings SettingsOfFile(std::string_view bytes) {
  AppSettings settings;
  ReadSettings(settings, ProfileFile::FromBytes("Setting.ini", bytes));
  return settings;
}

DecodedInput DecodeInput(const ConvertRequest& request) {
  DecodedInput decoded;
  const std::optional<InputEncoding> from = InputEncodingNamed(request.from);
  if (!from) {
    decoded.error = UnknownInputEncoding(request.from);
    return decoded;
  }
  DetectedText read = ReadInput(request.input, *from);
  decoded.text = std::move(read.text);
  decoded.encoding = EncodingOptionName(read.encoding);
  decoded.undetermined = read.undetermined;
  decoded.undecodable = read.undecodable;
  decoded.read = read.encoding;
  return decoded;
}

ConvertOutcome Convert(const ConvertRequest& request) {
  ConvertOutcome outcome;
  InputEncoding from;
  Charset charset = Charset::Cp932;
  LayoutOverrides overrides;
  if (auto refused = ReadOptions(request, from, charset, overrides)) {
    outcome.error = *refused;
    return outcome;
  }
  DetectedText read = ReadInput(request.input, from);
  if (read.undetermined) {
    outcome.warnings.emplace_back("the encoding could not be determined; read as cp932");
  }
  if (read.undecodable.count != 0) {
    outcome.warnings.push_back(UndecodableWarning(read.undecodable, read.encoding));
  }
  std::size_t replaced = 0;
  if (request.reverse) {
    ReverseResult reversed = ReverseLayout(read.text);
    if (const auto* tooLarge = std::get_if<LayoutTooLarge>(&reversed)) {
      outcome.error = TooLargeMessage("read back", *tooLarge);
      return outcome;
    }
    const std::u16string& text = std::get<std::u16string>(reversed);
    outcome.bytes = Encoded(
        charset, [&text](EncodingWriter& writer) { return writer.Write(text); }, replaced);
  } else {
    AppSettings settings;
    if (request.settings) {
      ReadSettings(settings, ProfileFile::FromBytes("Setting.ini", *request.settings));
    }
    overrides.ApplyTo(settings.rules.columns);
    // The text keeps the marks as typed unless the caller asks for ruby.
    settings.rules.columns.ruby = overrides.ruby.value_or(false);
    const LayoutResult result = BuildVerticalLayoutInPlace(std::move(read.text), settings.rules);
    if (const auto* tooLarge = std::get_if<LayoutTooLarge>(&result)) {
      outcome.error = TooLargeMessage("lay out", *tooLarge);
      return outcome;
    }
    outcome.bytes =
        Encoded(charset, LayoutTextProducer(std::get<VerticalLayout>(result)), replaced);
  }
  if (replaced != 0) {
    outcome.warnings.push_back(std::to_string(replaced) + " character" +
                               (replaced == 1 ? "" : "s") + " cannot be written in " +
                               (charset == Charset::Cp932 ? "cp932" : "utf-8") + " and became '?'");
  }
  return outcome;
}

Session::Session() : settingsPath_(std::string(kSettingsFolder) + "/Setting.ini") {
  settings_.appFolder = std::string(kSettingsFolder) + "/";
}

bool Session::LoadSettingsFile(std::string_view bytes) {
  if (bytes.size() > kMaxSettingsBytes) return false;
  if (MakeFolders(kSettingsFolder).failed() ||
      ReplaceFileAtomically(settingsPath_, bytes).failed()) {
    return false;
  }
  settings_ = AppSettings{};
  settings_.appFolder = std::string(kSettingsFolder) + "/";
  const bool loaded = LoadSettings(settings_, settingsPath_).ok();
  RulesChanged();
  return loaded;
}

std::string Session::SettingsFileBytes() const {
  IoResult<std::string> bytes = ReadFileBytes(settingsPath_);
  return bytes ? std::move(bytes.value()) : std::string();
}

std::optional<std::string> Session::SaveSettings(const AppSettings& settings) {
  if (auto failed = Failure(mirotabe::SaveSettings(settings, settingsPath_))) return failed;
  settings_.rules = settings.rules;
  settings_.convertTrigger = settings.convertTrigger;
  RulesChanged();
  return std::nullopt;
}

std::optional<std::string> Session::SaveSaveEncoding(Charset charset) {
  settings_.saveEncoding = charset;
  return Failure(mirotabe::SaveSettings(settings_, settingsPath_, SettingsPart::kSaveEncoding));
}

std::optional<std::string> Session::SavePictureStyle(const PictureStyle& style) {
  settings_.picture = style;
  return Failure(mirotabe::SaveSettings(settings_, settingsPath_, SettingsPart::kPictureStyle));
}

std::optional<std::string> Session::SaveView(const ViewOptions& view) {
  settings_.view = view;
  return Failure(mirotabe::SaveSettings(settings_, settingsPath_, SettingsPart::kView));
}

std::optional<std::string> Session::SavePageSetup(const PictureStyle& style,
                                                  const PageSetup& page) {
  settings_.page = page;
  if (auto failed = SavePictureStyle(style)) return failed;
  return Failure(mirotabe::SaveSettings(settings_, settingsPath_, SettingsPart::kPageSetup));
}

void Session::ReplaceText(std::size_t offset, std::size_t removed, std::u16string_view inserted) {
  offset = std::min(offset, text_.size());
  removed = std::min(removed, text_.size() - offset);
  text_.Replace(offset, removed, inserted);
  const TextEdit edit{offset, removed, inserted.size()};
  edit_ = edit_ ? Combined(*edit_, edit) : edit;
}

void Session::SetViewColumnLength(std::size_t columnLength) {
  if (columnLength == viewColumnLength_) return;
  viewColumnLength_ = columnLength;
  RulesChanged();
}

void Session::RulesChanged() {
  laidOut_ = false;
  savedLayout_.reset();
  // Kept whole rather than made at each keystroke: the rules carry the
  // replacement table.
  if (viewColumnLength_ == 0 || viewColumnLength_ == settings_.rules.columns.columnLength) {
    viewRules_.reset();
    return;
  }
  viewRules_ = settings_.rules;
  viewRules_->columns.columnLength = viewColumnLength_;
}

const LayoutRules& Session::ShownRules() const {
  return viewRules_ ? *viewRules_ : settings_.rules;
}

bool Session::Lay() {
  if (laidOut_ && !edit_) return !tooLarge_;
  savedLayout_.reset();
  const LayoutRules& shown = ShownRules();
  LayoutResult result = edit_ ? UpdateVerticalLayout(std::move(layout_), text_, *edit_, shown)
                              : RebuildVerticalLayout(std::move(layout_), text_.Text(), shown);
  edit_.reset();
  laidOut_ = true;
  if (auto* tooLarge = std::get_if<LayoutTooLarge>(&result)) {
    tooLarge_ = *tooLarge;
    layout_ = VerticalLayout();
    return false;
  }
  tooLarge_.reset();
  layout_ = std::move(std::get<VerticalLayout>(result));
  return true;
}

std::optional<CellPosition> Session::CaretCellAt(std::size_t line, std::size_t lineStart,
                                                 std::size_t caret) const {
  caret = std::min(caret, text_.size());
  lineStart = std::min(lineStart, caret);
  return CaretCell(layout_, line, text_.Span(lineStart, caret), ShownRules());
}

std::optional<LayoutResult> Session::LayPicture() const {
  std::optional<LayoutSettings> picture =
      PictureLayoutSettings(settings_.rules.columns, settings_.picture);
  if (!picture) return std::nullopt;
  LayoutRules rules = settings_.rules;
  rules.columns = *picture;
  return BuildVerticalLayout(text_.Text(), rules);
}

const VerticalLayout& Session::SavedLayout() {
  if (!viewRules_) return layout_;
  if (!savedLayout_) {
    LayoutResult result = BuildVerticalLayout(text_.Text(), settings_.rules);
    auto* laid = std::get_if<VerticalLayout>(&result);
    savedLayout_ = laid != nullptr ? std::move(*laid) : VerticalLayout();
  }
  return *savedLayout_;
}

std::string Session::SavedBytes(Charset charset) {
  std::size_t replaced = 0;
  return Encoded(charset, LayoutTextProducer(SavedLayout()), replaced);
}

UnencodableReport Session::UnencodableCells(Charset charset, std::size_t keepFirst) {
  return FindUnencodableCells(SavedLayout(), charset, keepFirst);
}

}  // namespace mirotabe::web
