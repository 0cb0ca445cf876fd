// ページ設定…: the pictures' cell size (any size from 8 to 256 pixels) and
// vertical forms, and the pages of a PDF: whether a PDF is made of pages
// for print, the paper and its orientation, the margins, the character
// size, the characters per column and columns per page (0: as many as
// fit) and the page numbers. OK takes the edits into the settings;
// Cancel drops them.
#pragma once

#include <QDialog>

#include "core/page_setup.h"
#include "core/picture_style.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace mirotabe {

class PageSetupDialog : public QDialog {
  Q_OBJECT

 public:
  PageSetupDialog(const PictureStyle& style, const PageSetup& page, QWidget* parent = nullptr);

  PictureStyle style() const;
  PageSetup page() const;

 private:
  void UpdateEnabled();

  PictureStyle style_;
  QSpinBox* cellSize_ = nullptr;
  QCheckBox* verticalGlyphs_ = nullptr;
  QCheckBox* pages_ = nullptr;
  QComboBox* paper_ = nullptr;
  QCheckBox* landscape_ = nullptr;
  QSpinBox* margin_ = nullptr;
  QDoubleSpinBox* characterPoints_ = nullptr;
  QSpinBox* columnLength_ = nullptr;
  QSpinBox* columns_ = nullptr;
  QCheckBox* pageNumbers_ = nullptr;
};

}  // namespace mirotabe
