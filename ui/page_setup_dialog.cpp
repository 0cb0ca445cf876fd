#include "ui/page_setup_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/layout_settings.h"
#include "core/window_words.h"
#include "ui/pane_text.h"

namespace mirotabe {
namespace {

QSpinBox* SpinBox(int min, int max, int value, const QString& zeroText = {}) {
  auto* box = new QSpinBox;
  box->setRange(min, max);
  box->setValue(value);
  if (!zeroText.isEmpty()) box->setSpecialValueText(zeroText);
  return box;
}

}  // namespace

PageSetupDialog::PageSetupDialog(const PictureStyle& style, const PageSetup& page,
                                 Kinsoku layoutKinsoku, QWidget* parent)
    : QDialog(parent), style_(style), page_(page) {
  setWindowTitle(ToQString(kPageSetupTitle));
  QGroupBox* pictures = PicturesGroup(style);
  auto* pdf = new QGroupBox(QStringLiteral("PDF"));
  auto* pdfForm = new QFormLayout(pdf);
  pages_ = new QCheckBox(QStringLiteral("用紙に合わせてページに分ける(&P)"));
  pages_->setObjectName(QStringLiteral("Pages"));
  pages_->setChecked(page.enabled);
  pdfForm->addRow(pages_);
  paper_ = new QComboBox;
  paper_->setObjectName(QStringLiteral("Paper"));
  for (int paper = 0; paper <= kMaxPaper; ++paper) {
    const std::string_view label = PaperLabel(static_cast<Paper>(paper));
    paper_->addItem(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
  }
  paper_->setCurrentIndex(static_cast<int>(page.paper));
  pdfForm->addRow(QStringLiteral("用紙(&S):"), paper_);
  landscape_ = new QCheckBox(QStringLiteral("横向き(&L)"));
  landscape_->setChecked(page.landscape);
  pdfForm->addRow(landscape_);
  face_ = new QComboBox;
  face_->setObjectName(QStringLiteral("PageFont"));
  // In the order of Typeface.
  for (const std::u16string_view face : kTypefaceCaptions) face_->addItem(ToQString(face));
  face_->setCurrentIndex(static_cast<int>(page.face));
  pdfForm->addRow(QStringLiteral("書体(&T):"), face_);
  margin_ = SpinBox(0, kMaxMarginMm, page.marginMm);
  margin_->setSuffix(QStringLiteral(" mm"));
  pdfForm->addRow(QStringLiteral("余白(&M):"), margin_);
  characterPoints_ = new QDoubleSpinBox;
  characterPoints_->setRange(kMinCharacterPoints, kMaxCharacterPoints);
  characterPoints_->setDecimals(1);
  characterPoints_->setSingleStep(0.5);
  characterPoints_->setValue(page.characterPoints);
  characterPoints_->setSuffix(QStringLiteral(" ポイント"));
  pdfForm->addRow(QStringLiteral("文字の大きさ(&F):"), characterPoints_);
  const QString fit = ToQString(kAsManyAsFitCaption);
  columnLength_ =
      SpinBox(0, static_cast<int>(kMaxColumnLength), static_cast<int>(page.columnLength), fit);
  pdfForm->addRow(QStringLiteral("1 行の文字数(&N):"), columnLength_);
  columns_ = SpinBox(0, static_cast<int>(kMaxPageColumns), static_cast<int>(page.columns), fit);
  pdfForm->addRow(QStringLiteral("1 ページの行数(&R):"), columns_);
  pageNumbers_ = new QCheckBox(QStringLiteral("ページ番号(&U)"));
  pageNumbers_->setChecked(page.pageNumbers);
  pdfForm->addRow(pageNumbers_);
  kinsoku_ = new QComboBox;
  kinsoku_->setObjectName(QStringLiteral("PageKinsoku"));
  for (const std::u16string_view rule : kKinsokuCaptions) kinsoku_->addItem(ToQString(rule));
  pageKinsoku_ = page.kinsoku;
  shownKinsoku_ = static_cast<int>(PageKinsoku(page, layoutKinsoku));
  kinsoku_->setCurrentIndex(shownKinsoku_);
  pdfForm->addRow(QStringLiteral("禁則処理(&K):"), kinsoku_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pictures);
  layout->addWidget(pdf);
  layout->addWidget(buttons);
  connect(pages_, &QCheckBox::toggled, this, &PageSetupDialog::UpdateEnabled);
  connect(paper_, &QComboBox::currentIndexChanged, this, &PageSetupDialog::UpdateEnabled);
  UpdateEnabled();
}

// The pictures' group: their cell size, glyph forms, ruby and spacing.
QGroupBox* PageSetupDialog::PicturesGroup(const PictureStyle& style) {
  auto* pictures = new QGroupBox(QStringLiteral("画像"));
  auto* pictureForm = new QFormLayout(pictures);
  cellSize_ = SpinBox(kMinCellSize, kMaxCellSize, style.cellSize);
  cellSize_->setSuffix(QStringLiteral(" ピクセル"));
  cellSize_->setObjectName(QStringLiteral("CellSize"));
  pictureForm->addRow(QStringLiteral("文字の大きさ(&C):"), cellSize_);
  verticalGlyphs_ = new QCheckBox(QStringLiteral("縦書き用の字形を使う(&V)"));
  verticalGlyphs_->setChecked(style.verticalGlyphs);
  pictureForm->addRow(verticalGlyphs_);
  // Ruby is unset until chosen, so that pages set it and pictures show
  // what was typed: the first item says so.
  ruby_ = new QComboBox;
  ruby_->setObjectName(QStringLiteral("Ruby"));
  for (const std::u16string_view ruby : kRubyCaptions) ruby_->addItem(ToQString(ruby));
  ruby_->setCurrentIndex(!style.ruby ? 0 : *style.ruby ? 1 : 2);
  pictureForm->addRow(QStringLiteral("ルビ(&B):"), ruby_);
  columnSpacing_ = new QDoubleSpinBox;
  columnSpacing_->setObjectName(QStringLiteral("ColumnSpacing"));
  columnSpacing_->setRange(kMinColumnSpacing, kMaxColumnSpacing);
  columnSpacing_->setDecimals(2);
  columnSpacing_->setSingleStep(0.25);
  columnSpacing_->setValue(style.columnSpacing);
  columnSpacing_->setSuffix(QStringLiteral(" 字"));
  pictureForm->addRow(QStringLiteral("行間(&G):"), columnSpacing_);
  return pictures;
}

// Manuscript paper fixes its own orientation, squares and counts.
void PageSetupDialog::UpdateEnabled() {
  const bool pages = pages_->isChecked();
  const bool genkou = paper_->currentIndex() == static_cast<int>(Paper::kGenkou);
  for (QWidget* control : {static_cast<QWidget*>(paper_), static_cast<QWidget*>(margin_),
                           static_cast<QWidget*>(pageNumbers_), static_cast<QWidget*>(kinsoku_),
                           static_cast<QWidget*>(face_)}) {
    control->setEnabled(pages);
  }
  for (QWidget* control :
       {static_cast<QWidget*>(landscape_), static_cast<QWidget*>(characterPoints_),
        static_cast<QWidget*>(columnLength_), static_cast<QWidget*>(columns_)}) {
    control->setEnabled(pages && !genkou);
  }
}

PictureStyle PageSetupDialog::style() const {
  PictureStyle style = style_;
  style.cellSize = cellSize_->value();
  style.verticalGlyphs = verticalGlyphs_->isChecked();
  style.ruby.reset();
  if (ruby_->currentIndex() != 0) style.ruby = ruby_->currentIndex() == 1;
  style.columnSpacing = columnSpacing_->value();
  return style;
}

PageSetup PageSetupDialog::page() const {
  PageSetup page = page_;
  page.enabled = pages_->isChecked();
  page.paper = static_cast<Paper>(paper_->currentIndex());
  page.landscape = landscape_->isChecked();
  page.face = static_cast<Typeface>(face_->currentIndex());
  page.marginMm = margin_->value();
  page.characterPoints = characterPoints_->value();
  page.columnLength = static_cast<std::size_t>(columnLength_->value());
  page.columns = static_cast<std::size_t>(columns_->value());
  page.pageNumbers = pageNumbers_->isChecked();
  page.kinsoku = pageKinsoku_;
  if (kinsoku_->currentIndex() != shownKinsoku_ || pageKinsoku_) {
    page.kinsoku = static_cast<Kinsoku>(kinsoku_->currentIndex());
  }
  return page;
}

}  // namespace mirotabe
