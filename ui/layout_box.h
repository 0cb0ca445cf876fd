// The settings dialog's group box "レイアウト": the column length (0 shows
// "なし"), the line-breaking rule, the gap between columns, and the picker
// of the vertical punctuation presets.
//
// It only shows and reports values: the dialog decides when they are
// stored, and adds a preset's entries to the table it edits.
#pragma once

#include <QGroupBox>

#include "core/layout_settings.h"

class QComboBox;
class QPushButton;
class QSpinBox;

namespace mirotabe {

class LayoutBox : public QGroupBox {
  Q_OBJECT

 public:
  // Its place in the dialog, in twips.
  static constexpr float kLeft = 4560;
  static constexpr float kWidth = 2835;

  explicit LayoutBox(QWidget* dialog);

  void Show(const LayoutSettings& settings);
  LayoutSettings Chosen() const;

  // The controls in the order Tab visits them.
  QList<QWidget*> TabOrder() const;

 signals:
  // "追加" was pressed with preset `index` (of VerticalPresets()) chosen.
  void PresetAdded(int index);

 private:
  QSpinBox* columnLength_ = nullptr;
  QComboBox* kinsoku_ = nullptr;
  QSpinBox* columnGap_ = nullptr;
  QComboBox* preset_ = nullptr;
  QPushButton* presetAdd_ = nullptr;
};

}  // namespace mirotabe
