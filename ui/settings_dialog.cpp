#include "ui/settings_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>
#include <string>

#include "core/entry_text.h"
#include "core/vertical_presets.h"
#include "core/window_words.h"
#include "ui/io_messages.h"
#include "ui/layout_box.h"
#include "ui/pane_font.h"
#include "ui/pane_text.h"
#include "ui/twips.h"
#include "ui/ui_services.h"

namespace mirotabe {
namespace {

// The dialog's first controls take 4515 twips; the layout box stands to their right.
constexpr float kClientWidthTwips = LayoutBox::kLeft + LayoutBox::kWidth + 60;
constexpr float kClientHeightTwips = 3915;
// The spinner runs from 0 at the top to kMaxTabSpace; the width is
// kMaxTabSpace − its value.
constexpr int kWidestTab = kMaxTabSpace;

const QString kTitle = QStringLiteral("Mirotabe");

QString RowText(const SwapEntry& entry) {
  return ToQString(EntryRowText(entry));
}

// Puts `normal` into `box` when it differs from the `typed` text, keeping
// the caret where it was as far as the text allows.
void ReplaceText(QLineEdit& box, const std::u16string& typed, const std::u16string& normal) {
  if (normal == typed) return;
  const int caret = box.cursorPosition();
  // Raises the box's change handler once more, which finds nothing left to
  // change.
  box.setText(ToQString(normal));
  box.setCursorPosition(std::min(caret, static_cast<int>(box.text().size())));
}

void Place(QWidget* widget, float left, float top, float width, float height) {
  widget->setGeometry(TwipsToPixels(TwipsRect{left, top, width, height}, LogicalDpi(widget)));
}

template <typename Widget>
Widget* Make(QWidget* container, const QString& name) {
  auto* widget = new Widget(container);
  widget->setObjectName(name);
  return widget;
}

QString Indexed(const char* name, int index) {
  return QString::fromLatin1(name) + QChar(u'_') + QString::number(index);
}

QLabel* MakeLabel(QWidget* container, const QString& name, const QString& text) {
  auto* label = Make<QLabel>(container, name);
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  return label;
}

QPushButton* MakeButton(QWidget* container, const QString& name, const QString& text) {
  auto* button = Make<QPushButton>(container, name);
  button->setText(text);
  // No button answers Enter: a stray Enter in a box must neither add an
  // entry nor close the dialog.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

// One pixel of an etched line, from x1 to x2 at y (twips), in a colour of
// the palette.
QWidget* MakeLine(QWidget* container, const QString& name, QPalette::ColorRole colour, float x1,
                  float x2, int top) {
  auto* line = Make<QWidget>(container, name);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, palette.color(colour));
  line->setPalette(palette);
  line->setAutoFillBackground(true);
  const double dpi = LogicalDpi(line);
  const int left = TwipsToPixels(x1, dpi);
  line->setGeometry(left, top, TwipsToPixels(x2, dpi) - left, 1);
  return line;
}

// An option button whose caption wraps onto more lines within the button,
// as the triggers' captions need two lines in their narrow frame. Qt breaks
// Japanese between any two characters, in the middle of a word
// (「F1キーを押し／た時」), so the button breaks where it is told to, after a
// word, and leaves the rest to Qt only when a line is still too wide.
class WrappingRadioButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

  // The caption breaks after its first `firstLineLength` characters when it
  // does not fit on one line.
  void SetLineBreak(qsizetype firstLineLength) {
    firstLineLength_ = firstLineLength;
    update();
  }

 protected:
  // The whole button takes the click, every line of its caption included.
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    QStyleOptionButton indicator = option;
    indicator.rect = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
    painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, indicator);

    const QRect room = style()->subElementRect(QStyle::SE_RadioButtonContents, &option, this);
    constexpr int kFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    const QString shown = ShownCaption(room.width());
    painter.drawItemText(room, kFlags, option.palette, isEnabled(), shown, QPalette::WindowText);
    if (hasFocus()) {
      QStyleOptionFocusRect focus;
      focus.initFrom(this);
      focus.rect = painter.boundingRect(room, kFlags, shown).intersected(room);
      painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
  }

 private:
  QString ShownCaption(int width) const {
    QString caption = text();
    if (firstLineLength_ > 0 && firstLineLength_ < caption.size() &&
        fontMetrics().horizontalAdvance(caption) > width) {
      caption.insert(firstLineLength_, QChar(u'\n'));
    }
    return caption;
  }

  qsizetype firstLineLength_ = 0;
};

// Draws the platform's focus mark on `painter` when `widget` has the focus,
// however it got it.
void DrawFocusMark(QWidget& widget, QPainter& painter, const QRect& rect) {
  if (!widget.hasFocus()) return;
  QStyleOptionFocusRect focus;
  focus.initFrom(&widget);
  focus.state |= QStyle::State_KeyboardFocusChange;
  focus.rect = rect;
  widget.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, &widget);
}

// The spinner: a scroll bar that shows when it has the focus and so takes
// the arrow keys.
class FocusMarkedScrollBar : public QScrollBar {
 public:
  using QScrollBar::QScrollBar;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QScrollBar::paintEvent(event);
    QPainter painter(this);
    DrawFocusMark(*this, painter, rect().adjusted(1, 1, -1, -1));
  }
  void focusInEvent(QFocusEvent* event) override {
    QScrollBar::focusInEvent(event);
    update();
  }
  void focusOutEvent(QFocusEvent* event) override {
    QScrollBar::focusOutEvent(event);
    update();
  }
};

// The list marks its current row when it has the focus, or its whole area
// while no row is current, as at the dialog's opening.
class FocusMarkedList : public QListWidget {
 public:
  using QListWidget::QListWidget;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QListWidget::paintEvent(event);
    QPainter painter(viewport());
    const QModelIndex current = currentIndex();
    DrawFocusMark(
        *this, painter,
        current.isValid() ? visualRect(current) : viewport()->rect().adjusted(1, 1, -1, -1));
  }
  void focusInEvent(QFocusEvent* event) override {
    QListWidget::focusInEvent(event);
    viewport()->update();
  }
  void focusOutEvent(QFocusEvent* event) override {
    QListWidget::focusOutEvent(event);
    viewport()->update();
  }
};

}  // namespace

SettingsDialog::SettingsDialog(AppSettings& settings, UiServices& services, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings),
      services_(services) {
  setWindowTitle(QStringLiteral("Mirotabe - 設定"));
  const double dpi = LogicalDpi(this);
  setFixedSize(TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi));
  BuildControls();
  ShowSettings();
}

void SettingsDialog::BuildControls() {
  BuildTableFrame();
  BuildTriggerFrame();
  okButton_ = MakeButton(this, Indexed("Command2", 0), QStringLiteral("OK"));
  Place(okButton_, 2400, 3480, 1035, 375);
  cancelButton_ = MakeButton(this, Indexed("Command2", 1), QStringLiteral("キャンセル"));
  Place(cancelButton_, 3420, 3480, 1035, 375);
  SetTabOrder();
  entryList_->setFocus();

  connect(addButton_, &QPushButton::clicked, this, &SettingsDialog::AddEntry);
  connect(deleteButton_, &QPushButton::clicked, this, &SettingsDialog::DeleteSelectedEntry);
  connect(okButton_, &QPushButton::clicked, this, &SettingsDialog::SaveAndClose);
  connect(cancelButton_, &QPushButton::clicked, this, &SettingsDialog::CancelAndClose);
  connect(fromBox_, &QLineEdit::textChanged, this, &SettingsDialog::OnFromEdited);
  connect(toBox_, &QLineEdit::textChanged, this, &SettingsDialog::OnToEdited);
  // A change of the selected row, by mouse or keyboard; moving the focus
  // frame alone picks nothing.
  connect(entryList_, &QListWidget::itemSelectionChanged, this, &SettingsDialog::PickEntry);
  connect(tabWidthSpinner_, &QScrollBar::valueChanged, this, &SettingsDialog::OnTabWidthSpun);

  BuildLayoutBox();
}

void SettingsDialog::BuildTableFrame() {
  auto* tableFrame = Make<QGroupBox>(this, QStringLiteral("Frame1"));
  tableFrame->setTitle(ToQString(kEntryListName));
  Place(tableFrame, 60, 120, 2595, 3255);

  // A caption's buddy is labelled by it for assistive technology. The
  // captions are made before their controls, which are drawn over them.
  QLabel* tabCaption =
      MakeLabel(tableFrame, Indexed("Label2", 0), QStringLiteral("タブ文字はスペース"));
  Place(tabCaption, 60, 240, 1635, 195);
  tabWidthBox_ = Make<QLineEdit>(tableFrame, QStringLiteral("Text2"));
  tabCaption->setBuddy(tabWidthBox_);
  tabWidthBox_->setReadOnly(true);
  Place(tabWidthBox_, 900, 480, 375, 270);
  tabWidthSpinner_ = Make<FocusMarkedScrollBar>(tableFrame, QStringLiteral("VScroll1"));
  tabWidthSpinner_->setOrientation(Qt::Vertical);
  tabWidthSpinner_->setRange(0, kWidestTab);
  tabWidthSpinner_->setSingleStep(1);
  tabWidthSpinner_->setPageStep(1);
  // A spinner is a control of its own: it takes the focus and the arrow keys.
  tabWidthSpinner_->setFocusPolicy(Qt::StrongFocus);
  Place(tabWidthSpinner_, 1260, 480, 255, 255);
  Place(MakeLabel(tableFrame, Indexed("Label2", 1), QStringLiteral("個に変換")), 1560, 540, 795,
        195);
  // The number box and its spinner stand between two captions: both are
  // named by the one before them and described by the one after.
  tabWidthSpinner_->setAccessibleName(ToQString(kTabWidthName));
  for (QWidget* width :
       {static_cast<QWidget*>(tabWidthBox_), static_cast<QWidget*>(tabWidthSpinner_)}) {
    width->setAccessibleDescription(QStringLiteral("個に変換"));
  }

  // The light line sits right under the dark one at any DPI, so that the
  // pair reads as one etched groove.
  const int grooveTop = TwipsToPixels(765, LogicalDpi(tableFrame));
  MakeLine(tableFrame, Indexed("Line1", 1), QPalette::Dark, 60, 2460, grooveTop);
  MakeLine(tableFrame, Indexed("Line1", 0), QPalette::Base, 60, 2460, grooveTop + 1);

  entryList_ = Make<FocusMarkedList>(tableFrame, QStringLiteral("List1"));
  entryList_->setAccessibleName(tableFrame->title());
  entryList_->setFont(PaneFont());
  entryList_->setSortingEnabled(false);
  entryList_->setSelectionMode(QAbstractItemView::SingleSelection);
  Place(entryList_, 120, 900, 2355, 960);

  fromBox_ = Make<QLineEdit>(tableFrame, Indexed("Text1", 0));
  toBox_ = Make<QLineEdit>(tableFrame, Indexed("Text1", 1));
  Place(fromBox_, 120, 1920, 615, 270);
  Place(MakeLabel(tableFrame, Indexed("Label2", 4), QStringLiteral(">>")), 840, 1980, 255, 255);
  Place(toBox_, 1140, 1920, 1335, 270);
  // Only ">>" stands between these two: they are named for what they hold.
  fromBox_->setAccessibleName(ToQString(kFromBoxName));
  toBox_->setAccessibleName(ToQString(kToBoxName));

  QLabel* kindCaption = MakeLabel(tableFrame, Indexed("Label2", 5), QStringLiteral("縦書き変換"));
  Place(kindCaption, 60, 2340, 975, 195);
  kindBox_ = Make<QComboBox>(tableFrame, QStringLiteral("Combo1"));
  kindCaption->setBuddy(kindBox_);
  kindBox_->setAccessibleDescription(QStringLiteral("に置き換えます。"));
  kindBox_->setEditable(false);
  Place(kindBox_, 1020, 2280, 1035, 300);
  Place(MakeLabel(tableFrame, QStringLiteral("Label1"), QStringLiteral("に置き換えます。")), 1200,
        2640, 1335, 255);

  addButton_ = MakeButton(tableFrame, Indexed("Command1", 0), QStringLiteral("追加"));
  Place(addButton_, 1020, 2880, 735, 255);
  deleteButton_ = MakeButton(tableFrame, Indexed("Command1", 1), QStringLiteral("削除"));
  Place(deleteButton_, 1740, 2880, 735, 255);
}

void SettingsDialog::BuildTriggerFrame() {
  auto* triggerFrame = Make<QGroupBox>(this, QStringLiteral("Frame2"));
  triggerFrame->setTitle(QStringLiteral("縦書き変換"));
  Place(triggerFrame, 2760, 120, 1695, 3255);
  Place(MakeLabel(triggerFrame, Indexed("Label2", 2), QStringLiteral("横書き画面で")), 120, 240,
        1455, 255);
  // In the order of ConvertTrigger's values, each as the words of its two
  // lines.
  const struct {
    QString firstLine;
    QString secondLine;
  } triggers[] = {{QStringLiteral("Enterキーを"), QStringLiteral("押した時")},
                  {QStringLiteral("F1キーを"), QStringLiteral("押した時")},
                  {QStringLiteral("変化がある"), QStringLiteral("たびに")}};
  // Exclusive, yet none checked is allowed: a stored trigger beyond the
  // three shows no choice.
  triggerButtons_ = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    auto* button = Make<WrappingRadioButton>(triggerFrame, Indexed("Option1", i));
    button->setText(triggers[i].firstLine + triggers[i].secondLine);
    button->SetLineBreak(triggers[i].firstLine.size());
    Place(button, 120, 480 + 480 * static_cast<float>(i), 1455, 495);
    triggerButtons_->addButton(button, i);
  }
  Place(MakeLabel(triggerFrame, Indexed("Label2", 3), QStringLiteral("変換を行います。")), 240,
        2040, 1335, 255);
}

void SettingsDialog::SetTabOrder() {
  QWidget* const tabOrder[] = {entryList_,
                               fromBox_,
                               toBox_,
                               addButton_,
                               deleteButton_,
                               tabWidthBox_,
                               tabWidthSpinner_,
                               okButton_,
                               cancelButton_,
                               triggerButtons_->button(0),
                               triggerButtons_->button(1),
                               triggerButtons_->button(2),
                               kindBox_};
  for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void SettingsDialog::BuildLayoutBox() {
  layoutBox_ = new LayoutBox(this);
  QWidget* previous = kindBox_;
  for (QWidget* control : layoutBox_->TabOrder()) {
    setTabOrder(previous, control);
    previous = control;
  }
  connect(layoutBox_, &LayoutBox::PresetAdded, this, &SettingsDialog::AddPreset);
}

void SettingsDialog::ShowSettings() {
  if (parentWidget() != nullptr) setWindowIcon(parentWidget()->windowIcon());
  workingTable_ = settings_.rules.table;

  // In the order of SwapKind's values.
  kindBox_->addItem(QStringLiteral("する時"));
  kindBox_->addItem(QStringLiteral("の前"));
  kindBox_->setCurrentIndex(static_cast<int>(SwapKind::kCell));

  for (const SwapEntry& entry : workingTable_) AppendRow(entry);
  // No current row either, so that the first Down picks the first row.
  entryList_->setCurrentIndex(QModelIndex());

  tabWidthSpinner_->setValue(kWidestTab - std::min<int>(settings_.rules.tabSpace, kWidestTab));
  tabSpace_ = settings_.rules.tabSpace;
  tabWidthBox_->setText(QString::number(tabSpace_));

  if (QAbstractButton* trigger =
          triggerButtons_->button(static_cast<int>(settings_.convertTrigger))) {
    trigger->setChecked(true);
  }
  layoutBox_->Show(settings_.rules.columns);
  UpdateAddButton();
}

void SettingsDialog::AddEntry() {
  if (fromBox_->text().isEmpty()) return;
  const SwapEntry entry{ToU16(fromBox_->text()), ToU16(toBox_->text()), ChosenKind()};
  if (!workingTable_.Append(entry)) return;
  AppendRow(entry);
  ClearEntryBoxes();
  UpdateAddButton();
}

void SettingsDialog::DeleteSelectedEntry() {
  const int row = SelectedRow();
  if (row < 0) return;
  RemoveEntry(row);
  ClearEntryBoxes();
  entryList_->setCurrentIndex(QModelIndex());
  UpdateAddButton();
}

void SettingsDialog::SaveAndClose() {
  settings_.rules.table = workingTable_;
  settings_.rules.tabSpace = tabSpace_;
  // 縦中横 and the Latin of pictures and pages are the file's and the
  // converter's to choose: the dialog, which does not show them, keeps them.
  const LayoutSettings shown = settings_.rules.columns;
  settings_.rules.columns = layoutBox_->Chosen();
  settings_.rules.columns.tcy = shown.tcy;
  settings_.rules.columns.latin = shown.latin;
  if (const int trigger = triggerButtons_->checkedId(); trigger >= 0) {
    settings_.convertTrigger = static_cast<ConvertTrigger>(trigger);
  }
  if (const IoStatus status = SaveSettings(settings_, SettingsFile(settings_)); status.failed()) {
    services_.ShowMessage(this, MessageIcon::Error, kTitle, SettingsNotSavedText(status.error()));
  }
  accept();
}

void SettingsDialog::CancelAndClose() {
  reject();
}

void SettingsDialog::PickEntry() {
  const int row = SelectedRow();
  if (row < 0) return;
  const SwapEntry entry = workingTable_[static_cast<std::size_t>(row)];
  // The kind goes first, so that the To box is cut for the entry's own kind.
  // A kind the list cannot show leaves the choice as it was.
  if (entry.kind == SwapKind::kCell || entry.kind == SwapKind::kWholeText) {
    kindBox_->setCurrentIndex(static_cast<int>(entry.kind));
  }
  fromBox_->setText(ToQString(entry.from));
  toBox_->setText(ToQString(entry.to));
}

void SettingsDialog::OnFromEdited() {
  const std::u16string text = ToU16(fromBox_->text());
  ReplaceText(*fromBox_, text, EntryFromText(text));
}

void SettingsDialog::OnToEdited() {
  const std::u16string text = ToU16(toBox_->text());
  ReplaceText(*toBox_, text, EntryToText(text, ChosenKind()));
}

void SettingsDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      // No button cancels: a stray Esc must not drop the edits.
      event->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // The focused button takes Enter as it takes Space; anywhere else
      // Enter does nothing, so that it never adds an entry or closes the
      // dialog by accident.
      if (auto* button = qobject_cast<QPushButton*>(focusWidget());
          button != nullptr && button->isEnabled() && !event->isAutoRepeat()) {
        button->click();
      }
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void SettingsDialog::OnTabWidthSpun() {
  tabSpace_ = static_cast<std::uint8_t>(kWidestTab - tabWidthSpinner_->value());
  tabWidthBox_->setText(QString::number(tabSpace_));
}

void SettingsDialog::RemoveEntry(int row) {
  workingTable_.Remove(static_cast<std::size_t>(row));
  // Between the two removals the rows and the entries are out of step, so
  // the selection that moves with the row must not be picked.
  const QSignalBlocker quiet(entryList_);
  delete entryList_->takeItem(row);
}

void SettingsDialog::ClearEntryBoxes() {
  fromBox_->clear();
  toBox_->clear();
}

void SettingsDialog::AddPreset(int index) {
  const std::vector<VerticalPreset>& presets = VerticalPresets();
  if (index < 0 || static_cast<std::size_t>(index) >= presets.size()) return;
  const std::size_t before = workingTable_.Count();
  AddPresetEntries(workingTable_, presets[static_cast<std::size_t>(index)]);
  for (std::size_t i = before; i < workingTable_.Count(); ++i) {
    AppendRow(workingTable_[i]);
  }
  UpdateAddButton();
}

SwapKind SettingsDialog::ChosenKind() const {
  return static_cast<SwapKind>(kindBox_->currentIndex());
}

int SettingsDialog::SelectedRow() const {
  const QList<QListWidgetItem*> selected = entryList_->selectedItems();
  return selected.isEmpty() ? -1 : entryList_->row(selected.front());
}

void SettingsDialog::AppendRow(const SwapEntry& entry) {
  auto* row = new QListWidgetItem(RowText(entry), entryList_);
  if (const QString note = ToQString(KeptEntryNote(entry)); !note.isEmpty()) {
    row->setToolTip(note);
    row->setData(Qt::AccessibleDescriptionRole, note);
  }
}

void SettingsDialog::UpdateAddButton() {
  addButton_->setEnabled(!workingTable_.Full());
}

}  // namespace mirotabe
