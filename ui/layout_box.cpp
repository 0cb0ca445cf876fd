#include "ui/layout_box.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "core/vertical_presets.h"
#include "core/window_words.h"
#include "ui/pane_text.h"
#include "ui/twips.h"

namespace mirotabe {
namespace {

constexpr float kTop = 120;
constexpr float kHeight = 3255;
constexpr float kLabelLeft = 120;
constexpr float kLabelWidth = 1200;
constexpr float kBoxLeft = 1380;
constexpr float kBoxWidth = 1335;
constexpr float kRowHeight = 300;
constexpr float kWide = kBoxLeft + kBoxWidth - kLabelLeft;

template <typename Widget>
Widget* Make(QWidget* box, const char* name, TwipsRect place) {
  auto* widget = new Widget(box);
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(TwipsToPixels(place, LogicalDpi(box)));
  return widget;
}

void Label(QWidget* box, const char* name, const QString& text, float top, QWidget* buddy) {
  auto* label = Make<QLabel>(box, name, {kLabelLeft, top + 45, kLabelWidth, 255});
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  label->setBuddy(buddy);
}

}  // namespace

LayoutBox::LayoutBox(QWidget* dialog) : QGroupBox(dialog) {
  setObjectName(QStringLiteral("Frame3"));
  setTitle(QStringLiteral("レイアウト"));
  setGeometry(TwipsToPixels(TwipsRect{kLeft, kTop, kWidth, kHeight}, LogicalDpi(dialog)));

  columnLength_ = Make<QSpinBox>(this, "ColumnLength", {kBoxLeft, 240, kBoxWidth, kRowHeight});
  columnLength_->setRange(0, static_cast<int>(kMaxColumnLength));
  columnLength_->setSpecialValueText(ToQString(kWholeLinesCaption));
  Label(this, "Label3_0", QStringLiteral("1列の文字数"), 240, columnLength_);

  kinsoku_ = Make<QComboBox>(this, "Kinsoku", {kBoxLeft, 660, kBoxWidth, kRowHeight});
  for (const std::u16string_view caption : kKinsokuCaptions) kinsoku_->addItem(ToQString(caption));
  Label(this, "Label3_1", QStringLiteral("禁則処理"), 660, kinsoku_);

  columnGap_ = Make<QSpinBox>(this, "ColumnGap", {kBoxLeft, 1080, kBoxWidth, kRowHeight});
  columnGap_->setRange(0, kMaxColumnGap);
  Label(this, "Label3_2", QStringLiteral("列の間隔"), 1080, columnGap_);

  preset_ = Make<QComboBox>(this, "Preset", {kLabelLeft, 1860, kWide, kRowHeight});
  for (const VerticalPreset& preset : VerticalPresets()) preset_->addItem(ToQString(preset.name));
  Label(this, "Label3_3", QStringLiteral("プリセット"), 1560, preset_);

  presetAdd_ = Make<QPushButton>(this, "PresetAdd", {kBoxLeft, 2280, kBoxWidth, kRowHeight});
  presetAdd_->setText(QStringLiteral("追加"));
  // Like the dialog's other buttons, it does not answer a stray Enter.
  presetAdd_->setAutoDefault(false);
  connect(presetAdd_, &QPushButton::clicked, this,
          [this] { emit PresetAdded(preset_->currentIndex()); });
}

void LayoutBox::Show(const LayoutSettings& settings) {
  columnLength_->setValue(static_cast<int>(settings.columnLength));
  kinsoku_->setCurrentIndex(static_cast<int>(settings.kinsoku));
  columnGap_->setValue(settings.columnGap);
}

LayoutSettings LayoutBox::Chosen() const {
  return LayoutSettings{static_cast<std::size_t>(columnLength_->value()),
                        static_cast<Kinsoku>(kinsoku_->currentIndex()),
                        static_cast<std::uint8_t>(columnGap_->value())};
}

QList<QWidget*> LayoutBox::TabOrder() const {
  return {columnLength_, kinsoku_, columnGap_, preset_, presetAdd_};
}

}  // namespace mirotabe
