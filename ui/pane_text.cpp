#include "ui/pane_text.h"

#include <QTextBlockFormat>
#include <QTextDocument>
#include <algorithm>

#include "core/code_points.h"

namespace mirotabe {
namespace {

constexpr int kContinuesLineProperty = QTextFormat::UserProperty + 1;

// Lines share a block up to this many of them, and a block holds about
// this many units: Qt lays out and paints a whole block again at each
// keystroke in it, and pays for every block a load makes. Smaller blocks
// would slow opening a large text more than they would quicken typing.
constexpr std::size_t kLinesPerBlock = 8;
constexpr std::size_t kBlockUnits = 1024;

constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;
constexpr char16_t kNoBreakSpace = 0x00A0;
// Qt's document starts a block at these too.
constexpr char16_t kFrameStart = 0xFDD0;
constexpr char16_t kFrameEnd = 0xFDD1;

// Tested for every unit of a loaded text, so most units are told apart
// by one compare.
bool IsPaneBreak(char16_t unit) {
  if (unit <= u'\r') return unit == u'\r' || unit == u'\n';
  return unit >= kLineSeparator &&
         (unit <= kParagraphSeparator || unit == kFrameStart || unit == kFrameEnd);
}

// A loaded text goes to the document in pieces of about this many units,
// so that it is never held whole a second time on its way there.
constexpr qsizetype kChunkUnits = qsizetype{1} << 20;

void AppendUnits(QString& to, std::u16string_view units) {
  to.append(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(units.size()));
}

// Fills the pane's document through one cursor: the lines that share a
// block go in as one piece of text, joined by line separators.
class BlockWriter {
 public:
  explicit BlockWriter(QTextCursor& cursor) : cursor_(cursor) {
    continuation_.setProperty(kContinuesLineProperty, true);
  }

  void AddLine(std::u16string_view line, bool first) {
    if (!first) {
      if (blockLines_ >= kLinesPerBlock || blockUnits_ + line.size() > kBlockUnits) {
        StartPlainBlock();
      } else {
        chunk_.append(QChar(kLineSeparator));
        ++blockUnits_;
      }
      ++blockLines_;
    }
    // A line too long for a block goes in pieces, each a block of its own.
    while (blockUnits_ + line.size() > kBlockUnits && line.size() > kBlockUnits) {
      std::size_t cut = std::max<std::size_t>(kBlockUnits - std::min(blockUnits_, kBlockUnits), 1);
      // Never between the two units of a surrogate pair.
      if (cut < line.size() && IsLowSurrogate(line[cut])) ++cut;
      AppendUnits(chunk_, line.substr(0, cut));
      line.remove_prefix(cut);
      StartBlock(continuation_);
    }
    AppendUnits(chunk_, line);
    blockUnits_ += line.size();
    if (chunk_.size() >= kChunkUnits) Flush();
  }

  void Finish() { Flush(); }

 private:
  void Flush() {
    if (!chunk_.isEmpty()) cursor_.insertText(chunk_);
    chunk_.clear();
  }

  void StartBlock(const QTextBlockFormat& format) {
    Flush();
    cursor_.insertBlock(format);
    inPlainBlock_ = !format.boolProperty(kContinuesLineProperty);
    blockUnits_ = 0;
    blockLines_ = 1;
  }

  // Within a piece of text a paragraph separator starts a block in the
  // format of the one before, without the format lookup and cursor update
  // of a block inserted on its own: a large text makes tens of thousands.
  void StartPlainBlock() {
    if (!inPlainBlock_) {
      StartBlock(plain_);
      return;
    }
    chunk_.append(QChar(QChar::ParagraphSeparator));
    blockUnits_ = 0;
    blockLines_ = 1;
  }

  QTextCursor& cursor_;
  QTextBlockFormat plain_;
  QTextBlockFormat continuation_;
  QString chunk_;
  std::size_t blockUnits_ = 0;
  std::size_t blockLines_ = 1;
  // Whether the cursor's block is known to be plain: the block a text is
  // inserted into may carry the mark of a cut line.
  bool inPlainBlock_ = false;
};

}  // namespace

void AppendProgramText(QStringView blockText, std::u16string& out) {
  const auto* units = reinterpret_cast<const char16_t*>(blockText.utf16());
  const std::u16string_view text(units, static_cast<std::size_t>(blockText.size()));
  // Most blocks hold neither: they are copied as they are.
  if (text.find_first_of(u"\u2028\u00A0") == std::u16string_view::npos) {
    out.append(text);
    return;
  }
  for (const QChar c : blockText) {
    switch (c.unicode()) {
      case kLineSeparator:
        out.append(u"\r\n");
        break;
      case kNoBreakSpace:
        out.push_back(u' ');
        break;
      default:
        out.push_back(c.unicode());
    }
  }
}

bool ContinuesLine(const QTextBlock& block) {
  return block.blockNumber() > 0 && block.blockFormat().boolProperty(kContinuesLineProperty);
}

std::u16string ProgramText(const QPlainTextEdit& pane) {
  return ProgramText(*pane.document());
}

std::u16string ProgramText(const QTextDocument& document) {
  std::u16string out;
  out.reserve(static_cast<std::size_t>(document.characterCount()));
  for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
    if (block != document.firstBlock() && !ContinuesLine(block)) out.append(u"\r\n");
    AppendProgramText(block.text(), out);
  }
  return out;
}

std::u16string SelectedProgramText(const QTextCursor& cursor) {
  std::u16string out;
  const int start = cursor.selectionStart();
  const int end = cursor.selectionEnd();
  const QTextDocument& document = *cursor.document();
  const QTextBlock last = document.findBlock(end);
  for (QTextBlock block = document.findBlock(start); block.isValid(); block = block.next()) {
    const int from = std::max(start - block.position(), 0);
    const int to = std::min(end - block.position(), block.length() - 1);
    if (block.position() > start && !ContinuesLine(block)) out.append(u"\r\n");
    AppendProgramText(QStringView(block.text()).mid(from, to - from), out);
    if (block == last) break;
  }
  return out;
}

void InsertProgramText(QTextCursor& cursor, std::u16string_view text) {
  cursor.beginEditBlock();
  cursor.removeSelectedText();
  // Whatever the block the cursor stands in, the lines it starts are lines.
  BlockWriter writer(cursor);
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !IsPaneBreak(text[i])) continue;
    writer.AddLine(text.substr(start, i - start), start == 0);
    if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  writer.Finish();
  cursor.endEditBlock();
}

void ReplaceProgramText(QPlainTextEdit& pane, std::u16string_view text) {
  QTextCursor cursor(pane.document());
  cursor.beginEditBlock();
  cursor.select(QTextCursor::Document);
  InsertProgramText(cursor, text);
  cursor.endEditBlock();
}

}  // namespace mirotabe
