#include "ui/program_text_mirror.h"

#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

#include "ui/pane_text.h"

namespace mirotabe {
namespace {

constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;
constexpr char16_t kNoBreakSpace = 0x00A0;

// An edit larger than this reads the whole text again: one pass either way.
constexpr int kReloadAbove = 1 << 20;

}  // namespace

ProgramTextMirror::ProgramTextMirror(QTextDocument* document)
    : QObject(document), document_(document) {
  Reload();
  connect(document_, &QTextDocument::contentsChange, this, &ProgramTextMirror::Apply);
}

std::u16string_view ProgramTextMirror::Text() const {
  if (lineSeparators_ == 0) return text_;
  converted_.clear();
  converted_.reserve(text_.size() + lineSeparators_);
  for (const char16_t unit : text_) {
    if (unit == kLineSeparator) {
      converted_.append(u"\r\n");
    } else {
      converted_.push_back(unit);
    }
  }
  return converted_;
}

void ProgramTextMirror::Reload() {
  text_.clear();
  lineSeparators_ = 0;
  // The document's own characters, which ProgramText would turn line
  // separators into breaks in.
  for (QTextBlock block = document_->firstBlock(); block.isValid(); block = block.next()) {
    if (block != document_->firstBlock()) text_.append(u"\r\n");
    const QString line = block.text();
    text_.append(reinterpret_cast<const char16_t*>(line.utf16()),
                 static_cast<std::size_t>(line.size()));
  }
  std::replace(text_.begin(), text_.end(), kNoBreakSpace, u' ');
  lineSeparators_ =
      static_cast<std::size_t>(std::count(text_.begin(), text_.end(), kLineSeparator));
}

void ProgramTextMirror::Apply(int position, int removed, int added) {
  // The document's last character is the break that ends it, which the
  // text does not hold.
  const int end = document_->characterCount() - 1;
  const QTextBlock block = document_->findBlock(position);
  if (removed > kReloadAbove || added > kReloadAbove || !block.isValid() || position > end) {
    Reload();
    return;
  }
  // Every block break before the edit is one character there and two here.
  const auto start =
      static_cast<std::size_t>(position) + static_cast<std::size_t>(block.blockNumber());
  if (start > text_.size()) {
    Reload();
    return;
  }
  std::size_t removedEnd = start;
  for (int i = 0; i < removed && removedEnd < text_.size(); ++i) {
    if (text_[removedEnd] == kLineSeparator) --lineSeparators_;
    removedEnd += text_.compare(removedEnd, 2, u"\r\n") == 0 ? 2 : 1;
  }

  QTextCursor inserted(document_);
  inserted.setPosition(position);
  inserted.setPosition(std::min(position + added, end), QTextCursor::KeepAnchor);
  const QString selected = inserted.selectedText();
  std::u16string units;
  units.reserve(static_cast<std::size_t>(selected.size()));
  for (const QChar c : selected) {
    switch (c.unicode()) {
      case kParagraphSeparator:
        units.append(u"\r\n");
        break;
      case kNoBreakSpace:
        units.push_back(u' ');
        break;
      case kLineSeparator:
        ++lineSeparators_;
        [[fallthrough]];
      default:
        units.push_back(c.unicode());
    }
  }
  text_.replace(start, removedEnd - start, units);
}

}  // namespace mirotabe
