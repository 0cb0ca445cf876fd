// ページ設定…: the pictures' cell size (any size from 8 to 256 pixels),
// vertical forms and the space between their columns, and the pages of a
// PDF: whether a PDF is made of pages for print, the paper and its
// orientation, the face (明朝 or ゴシック), the margins, the character
// size, the characters per column and columns per page (0: as many as
// fit), the page numbers and the line-breaking rule of pages (追い出し
// unless chosen otherwise). OK takes the edits into the settings; Cancel
// drops them.
#pragma once

#include <QDialog>
#include <optional>

#include "core/page_setup.h"
#include "core/picture_style.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QSpinBox;

namespace mirotabe {

class PageSetupDialog : public QDialog {
  Q_OBJECT

 public:
  // `layoutKinsoku` is the layout's own rule, which pages follow while
  // theirs is not chosen.
  PageSetupDialog(const PictureStyle& style, const PageSetup& page, Kinsoku layoutKinsoku,
                  QWidget* parent = nullptr);

  PictureStyle style() const;
  PageSetup page() const;

 private:
  QGroupBox* PicturesGroup(const PictureStyle& style);
  void UpdateEnabled();

  PictureStyle style_;
  // What the dialog does not show stays as it came.
  PageSetup page_;
  QSpinBox* cellSize_ = nullptr;
  QCheckBox* verticalGlyphs_ = nullptr;
  QComboBox* ruby_ = nullptr;
  QDoubleSpinBox* columnSpacing_ = nullptr;
  QCheckBox* pages_ = nullptr;
  QComboBox* paper_ = nullptr;
  QCheckBox* landscape_ = nullptr;
  QComboBox* face_ = nullptr;
  QSpinBox* margin_ = nullptr;
  QDoubleSpinBox* characterPoints_ = nullptr;
  QSpinBox* columnLength_ = nullptr;
  QSpinBox* columns_ = nullptr;
  QCheckBox* pageNumbers_ = nullptr;
  QComboBox* kinsoku_ = nullptr;
  // The page's own rule as it came, and the rule shown at first: a rule
  // left as shown stays unchosen.
  std::optional<Kinsoku> pageKinsoku_;
  int shownKinsoku_ = 0;
};

}  // namespace mirotabe
