#include "ui/program_text_mirror.h"

#include <QTextBlock>
#include <algorithm>

#include "ui/pane_text.h"

namespace mirotabe {
namespace {

constexpr char16_t kLineSeparator = 0x2028;

// The units of some of a block's characters in the text: a line separator
// is a CR LF there.
struct Units {
  std::size_t units = 0;
  std::size_t separators = 0;
  std::size_t tail = 0;  // after the last separator
};

Units Count(QStringView text) {
  Units count;
  for (const QChar c : text) {
    if (c.unicode() == kLineSeparator) {
      count.units += 2;
      ++count.separators;
      count.tail = 0;
    } else {
      ++count.units;
      ++count.tail;
    }
  }
  return count;
}

}  // namespace

ProgramTextMirror::ProgramTextMirror(QTextDocument* document)
    : QObject(document), document_(document) {
  Reload();
  pending_.reset();
  connect(document_, &QTextDocument::contentsChange, this, &ProgramTextMirror::Apply);
}

std::optional<TextEdit> ProgramTextMirror::TakeEdit() {
  return std::exchange(pending_, std::nullopt);
}

ProgramTextMirror::Block ProgramTextMirror::RecordOf(const QTextBlock& block) {
  const Units count = Count(block.text());
  return Block{count.units, count.separators, count.tail, ContinuesLine(block)};
}

ProgramTextMirror::Start ProgramTextMirror::StartOf(std::size_t block) const {
  if (starts_.empty()) starts_.push_back({});
  while (starts_.size() <= block) {
    const std::size_t before = starts_.size() - 1;
    const Block& previous = blocks_[before];
    const std::size_t breaks = blocks_[before + 1].continues ? 0 : 1;
    starts_.push_back({starts_[before].offset + previous.units + 2 * breaks,
                       starts_[before].line + previous.separators + breaks});
  }
  return starts_[block];
}

ProgramTextMirror::Place ProgramTextMirror::PlaceOf(int position) const {
  QTextBlock block = document_->findBlock(position);
  if (!block.isValid()) block = document_->lastBlock();
  const auto index = static_cast<std::size_t>(block.blockNumber());
  const Start start = StartOf(index);
  const int inBlock = std::clamp(position - block.position(), 0, block.length() - 1);
  const Units before = Count(QStringView(block.text()).left(inBlock));
  Place place{start.line + before.separators, 0, start.offset + before.units};
  if (before.separators != 0) {
    place.lineStart = place.offset - before.tail;
    return place;
  }
  // The line began in this block, or before a cut of it.
  place.lineStart = start.offset;
  for (std::size_t at = index; at > 0 && blocks_[at].continues;) {
    const Block& earlier = blocks_[--at];
    place.lineStart = StartOf(at).offset;
    if (earlier.separators != 0) {
      place.lineStart += earlier.units - earlier.tail;
      break;
    }
  }
  return place;
}

void ProgramTextMirror::Reload() {
  const std::size_t oldSize = text_.size();
  text_ = GapText(ProgramText(static_cast<const QTextDocument&>(*document_)));
  blocks_.clear();
  for (QTextBlock block = document_->firstBlock(); block.isValid(); block = block.next()) {
    blocks_.push_back(RecordOf(block));
  }
  starts_.clear();
  const TextEdit all{0, oldSize, text_.size()};
  pending_ = pending_ ? Combined(*pending_, all) : all;
}

// Qt reports where an edit starts and which blocks it spans; the blocks
// after it are the same as before, and so is the text around it in its
// first and last block. What was removed is known from the blocks' records,
// so Qt's count of removed characters is not needed.
void ProgramTextMirror::Apply(int position, int /*removed*/, int added) {
  const int end = document_->characterCount() - 1;
  const QTextBlock first = document_->findBlock(position);
  const QTextBlock last = document_->findBlock(std::min(position + added, end));
  const auto blocks = static_cast<std::size_t>(document_->blockCount());
  if (position > end || !first.isValid() || !last.isValid() || blocks_.empty()) {
    Reload();
    return;
  }
  const auto firstIndex = static_cast<std::size_t>(first.blockNumber());
  const auto lastIndex = static_cast<std::size_t>(last.blockNumber());
  // The last block the edit touched, as the document was before it.
  const auto oldLast = static_cast<std::ptrdiff_t>(lastIndex) -
                       static_cast<std::ptrdiff_t>(blocks) +
                       static_cast<std::ptrdiff_t>(blocks_.size());
  if (oldLast < static_cast<std::ptrdiff_t>(firstIndex) ||
      oldLast >= static_cast<std::ptrdiff_t>(blocks_.size()) ||
      ContinuesLine(first) != blocks_[firstIndex].continues) {
    Reload();
    return;
  }
  const QString firstText = first.text();
  const QString lastText = lastIndex == firstIndex ? firstText : last.text();
  const int from = position - first.position();
  const int to = std::min(position + added, end) - last.position();
  const std::size_t start =
      StartOf(firstIndex).offset + Count(QStringView(firstText).left(from)).units;
  const std::size_t oldSize = text_.size();
  const Block& oldLastBlock = blocks_[static_cast<std::size_t>(oldLast)];
  const std::size_t oldEnd = StartOf(static_cast<std::size_t>(oldLast)).offset +
                             oldLastBlock.units - Count(QStringView(lastText).mid(to)).units;
  if (oldEnd < start || oldEnd > text_.size()) {
    Reload();
    return;
  }

  std::u16string inserted;
  std::vector<Block> records;
  for (QTextBlock block = first;; block = block.next()) {
    const QString text = block == first ? firstText : block == last ? lastText : block.text();
    const Units count = Count(text);
    records.push_back({count.units, count.separators, count.tail, ContinuesLine(block)});
    if (block != first && !records.back().continues) inserted.append(u"\r\n");
    const int blockFrom = block == first ? from : 0;
    const int blockTo = block == last ? to : static_cast<int>(text.size());
    AppendProgramText(QStringView(text).mid(blockFrom, blockTo - blockFrom), inserted);
    if (block == last) break;
  }
  // A whole new text, as a load makes, is taken as it is, not copied.
  if (start == 0 && oldEnd == text_.size()) {
    text_ = GapText(std::move(inserted));
  } else {
    text_.Replace(start, oldEnd - start, inserted);
  }
  // The records are overwritten in place where they can be: a keystroke
  // changes one block, and moving the records of all the blocks after it
  // would cost as much as the rest of the keystroke.
  const auto oldCount = static_cast<std::size_t>(oldLast) + 1 - firstIndex;
  const std::size_t kept = std::min(oldCount, records.size());
  const auto firstAt = blocks_.begin() + static_cast<std::ptrdiff_t>(firstIndex);
  std::copy_n(records.begin(), kept, firstAt);
  const auto keptEnd = firstAt + static_cast<std::ptrdiff_t>(kept);
  if (records.size() > kept) {
    blocks_.insert(keptEnd, records.begin() + static_cast<std::ptrdiff_t>(kept), records.end());
  } else {
    blocks_.erase(keptEnd, keptEnd + static_cast<std::ptrdiff_t>(oldCount - kept));
  }
  starts_.resize(std::min(starts_.size(), firstIndex + 1));
  const TextEdit edit{start, oldEnd - start, text_.size() + oldEnd - start - oldSize};
  pending_ = pending_ ? Combined(*pending_, edit) : edit;
}

}  // namespace mirotabe
