#include "ui/form2.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
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

#include "core/code_points.h"
#include "core/two_byte_cut.h"
#include "core/vertical_presets.h"
#include "platform/charset.h"
#include "platform/fullwidth.h"
#include "ui/layout_box.h"
#include "ui/pane_font.h"
#include "ui/pane_text.h"
#include "ui/twips.h"
#include "ui/ui_services.h"

namespace mirotabe {
namespace {

// The original controls take 4515 twips; the layout box stands to their right.
constexpr float kClientWidthTwips = LayoutBox::kLeft + LayoutBox::kWidth + 60;
constexpr float kClientHeightTwips = 3915;
// The spinner runs from 0 at the top to 8; the width is 8 − its value.
constexpr int kWidestTab = 8;

const QString kTitle = QStringLiteral("Mirotabe");
// Entries named one by one in the warning before OK saves.
constexpr std::size_t kShownUnencodableEntries = 5;

QString RowText(const SwapEntry& entry) {
  return ToQString(entry.from) + QStringLiteral(" >> ") + ToQString(entry.to) +
         (entry.kind == SwapKind::kCell ? QStringLiteral(" 変換時") : QStringLiteral(" 変換前"));
}

// Control characters (a pasted line break, TAB, ...) can do nothing useful
// in an entry, and a line break would split its line in the settings file.
std::u16string WithoutControlCharacters(std::u16string text) {
  std::erase_if(text, [](char16_t c) { return c < 0x20 || c == 0x7F; });
  return text;
}

// A From is one character, as the conversion sees it: full-width.
std::u16string FirstFullWidthCharacter(std::u16string_view text) {
  std::u16string full = ToFullWidth(text);
  if (full.empty()) return full;
  return full.substr(0, CodePointAt(full, 0).units);
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
// as the triggers' captions need two lines in their narrow frame.
class WrappingRadioButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

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
    painter.drawItemText(room, kFlags, option.palette, isEnabled(), text(), QPalette::WindowText);
    if (hasFocus()) {
      QStyleOptionFocusRect focus;
      focus.initFrom(this);
      focus.rect = painter.boundingRect(room, kFlags, text()).intersected(room);
      painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
  }
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

Form2::Form2(AppSettings& settings, UiServices& services, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings),
      services_(services) {
  setWindowTitle(QStringLiteral("Mirotabe - 設定"));
  const double dpi = LogicalDpi(this);
  setFixedSize(TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi));
  BuildControls();
  Form_Load();
}

void Form2::BuildControls() {
  frame1_ = Make<QGroupBox>(this, QStringLiteral("Frame1"));
  frame1_->setTitle(QStringLiteral("文字の置き換え"));
  Place(frame1_, 60, 120, 2595, 3255);

  label2_[0] = MakeLabel(frame1_, Indexed("Label2", 0), QStringLiteral("タブ文字はスペース"));
  Place(label2_[0], 60, 240, 1635, 195);
  text2_ = Make<QLineEdit>(frame1_, QStringLiteral("Text2"));
  text2_->setReadOnly(true);
  Place(text2_, 900, 480, 375, 270);
  vScroll1_ = Make<FocusMarkedScrollBar>(frame1_, QStringLiteral("VScroll1"));
  vScroll1_->setOrientation(Qt::Vertical);
  vScroll1_->setRange(0, kWidestTab);
  vScroll1_->setSingleStep(1);
  vScroll1_->setPageStep(1);
  // A spinner is a control of its own: it takes the focus and the arrow keys.
  vScroll1_->setFocusPolicy(Qt::StrongFocus);
  Place(vScroll1_, 1260, 480, 255, 255);
  label2_[1] = MakeLabel(frame1_, Indexed("Label2", 1), QStringLiteral("個に変換"));
  Place(label2_[1], 1560, 540, 795, 195);

  // The light line sits right under the dark one at any DPI, so that the
  // pair reads as one etched groove.
  const int grooveTop = TwipsToPixels(765, LogicalDpi(frame1_));
  line1_[1] = MakeLine(frame1_, Indexed("Line1", 1), QPalette::Dark, 60, 2460, grooveTop);
  line1_[0] = MakeLine(frame1_, Indexed("Line1", 0), QPalette::Base, 60, 2460, grooveTop + 1);

  list1_ = Make<FocusMarkedList>(frame1_, QStringLiteral("List1"));
  list1_->setFont(PaneFont());
  list1_->setSortingEnabled(false);
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  Place(list1_, 120, 900, 2355, 960);

  for (int i = 0; i < 2; ++i) text1_[i] = Make<QLineEdit>(frame1_, Indexed("Text1", i));
  Place(text1_[0], 120, 1920, 615, 270);
  label2_[4] = MakeLabel(frame1_, Indexed("Label2", 4), QStringLiteral(">>"));
  Place(label2_[4], 840, 1980, 255, 255);
  Place(text1_[1], 1140, 1920, 1335, 270);

  label2_[5] = MakeLabel(frame1_, Indexed("Label2", 5), QStringLiteral("縦書き変換"));
  Place(label2_[5], 60, 2340, 975, 195);
  combo1_ = Make<QComboBox>(frame1_, QStringLiteral("Combo1"));
  combo1_->setEditable(false);
  Place(combo1_, 1020, 2280, 1035, 300);
  label1_ = MakeLabel(frame1_, QStringLiteral("Label1"), QStringLiteral("に置き換えます。"));
  Place(label1_, 1200, 2640, 1335, 255);

  command1_[0] = MakeButton(frame1_, Indexed("Command1", 0), QStringLiteral("追加"));
  Place(command1_[0], 1020, 2880, 735, 255);
  command1_[1] = MakeButton(frame1_, Indexed("Command1", 1), QStringLiteral("削除"));
  Place(command1_[1], 1740, 2880, 735, 255);

  frame2_ = Make<QGroupBox>(this, QStringLiteral("Frame2"));
  frame2_->setTitle(QStringLiteral("縦書き変換"));
  Place(frame2_, 2760, 120, 1695, 3255);
  label2_[2] = MakeLabel(frame2_, Indexed("Label2", 2), QStringLiteral("横書き画面で"));
  Place(label2_[2], 120, 240, 1455, 255);
  const QString triggers[] = {QStringLiteral("Enterキーを押した時"),
                              QStringLiteral("F1キーを押した時"),
                              QStringLiteral("変化があるたびに")};
  // Exclusive, yet none checked is allowed: a stored trigger beyond the
  // three shows no choice.
  option1Group_ = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    option1_[i] = Make<WrappingRadioButton>(frame2_, Indexed("Option1", i));
    option1_[i]->setText(triggers[i]);
    Place(option1_[i], 120, 480 + 480 * static_cast<float>(i), 1455, 495);
    option1Group_->addButton(option1_[i], i);
  }
  label2_[3] = MakeLabel(frame2_, Indexed("Label2", 3), QStringLiteral("変換を行います。"));
  Place(label2_[3], 240, 2040, 1335, 255);

  command2_[0] = MakeButton(this, Indexed("Command2", 0), QStringLiteral("OK"));
  Place(command2_[0], 2400, 3480, 1035, 375);
  command2_[1] = MakeButton(this, Indexed("Command2", 1), QStringLiteral("キャンセル"));
  Place(command2_[1], 3420, 3480, 1035, 375);

  QWidget* const tabOrder[] = {list1_,      text1_[0],   text1_[1],    command1_[0], command1_[1],
                               text2_,      vScroll1_,   command2_[0], command2_[1], option1_[0],
                               option1_[1], option1_[2], combo1_};
  for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
  list1_->setFocus();

  for (int i = 0; i < 2; ++i) {
    connect(command1_[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    connect(command2_[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
    connect(text1_[i], &QLineEdit::textChanged, this, [this, i] { Text1_Change(i); });
  }
  // A change of the selected row, by mouse or keyboard; moving the focus
  // frame alone picks nothing.
  connect(list1_, &QListWidget::itemSelectionChanged, this, &Form2::List1_Click);
  connect(vScroll1_, &QScrollBar::valueChanged, this, &Form2::VScroll1_Change);

  BuildLayoutBox();
}

void Form2::BuildLayoutBox() {
  layoutBox_ = new LayoutBox(this);
  QWidget* previous = combo1_;
  for (QWidget* control : layoutBox_->TabOrder()) {
    setTabOrder(previous, control);
    previous = control;
  }
  connect(layoutBox_, &LayoutBox::PresetAdded, this, &Form2::AddPreset);
}

void Form2::Form_Load() {
  if (parentWidget() != nullptr) setWindowIcon(parentWidget()->windowIcon());
  workSwapTable_ = settings_.swapTable;

  combo1_->addItem(QStringLiteral("する時"));
  combo1_->addItem(QStringLiteral("の前"));
  combo1_->setCurrentIndex(static_cast<int>(SwapKind::kCell));

  for (const SwapEntry& entry : workSwapTable_) AppendRow(entry);
  // No current row either, so that the first Down picks the first row.
  list1_->setCurrentIndex(QModelIndex());

  vScroll1_->setValue(kWidestTab - std::min<int>(settings_.tabSpace, kWidestTab));
  tabSpace_ = settings_.tabSpace;
  text2_->setText(QString::number(tabSpace_));

  if (const auto trigger = static_cast<std::size_t>(settings_.convertTrigger);
      trigger < option1_.size()) {
    option1_[trigger]->setChecked(true);
  }
  layoutBox_->Show(settings_.layout);
  UpdateAddButton();
}

void Form2::Command1_Click(int index) {
  if (index == 0) {
    if (text1_[0]->text().isEmpty()) return;
    const SwapEntry entry{ToU16(text1_[0]->text()), ToU16(text1_[1]->text()), ChosenKind()};
    if (!workSwapTable_.Append(entry)) return;
    AppendRow(entry);
  } else {
    const int row = SelectedRow();
    if (row < 0) return;
    DeleteSwapEntry(row);
  }
  text1_[0]->clear();
  text1_[1]->clear();
  if (index != 0) list1_->setCurrentIndex(QModelIndex());
  UpdateAddButton();
}

void Form2::Command2_Click(int index) {
  if (index != 0) {
    reject();
    return;
  }
  if (!ConfirmUnencodableEntries()) return;
  settings_.swapTable = workSwapTable_;
  settings_.tabSpace = tabSpace_;
  settings_.layout = layoutBox_->Chosen();
  if (const int trigger = option1Group_->checkedId(); trigger >= 0) {
    settings_.convertTrigger = static_cast<ConvertTrigger>(trigger);
  }
  const std::string file = SettingsFile(settings_);
  if (const IoStatus failed = SaveSettings(settings_, file)) {
    services_.ShowMessage(this, MessageIcon::Error, kTitle,
                          QStringLiteral("設定を保存できませんでした。\r\n%1\r\n%2")
                              .arg(QFile::decodeName(QByteArray::fromStdString(failed->path)),
                                   QString::fromLocal8Bit(failed->Reason())));
  }
  accept();
}

bool Form2::ConfirmUnencodableEntries() {
  QStringList named;
  std::size_t count = 0;
  for (std::size_t i = 0; i < workSwapTable_.Count(); ++i) {
    const SwapEntry& entry = workSwapTable_[i];
    if (FindUnencodable(entry.from + entry.to, Charset::Cp932, 0).count == 0) continue;
    if (++count <= kShownUnencodableEntries) {
      named << QStringLiteral("%1: %2").arg(i + 1).arg(RowText(entry));
    }
  }
  if (count == 0) return true;
  if (count > kShownUnencodableEntries) {
    named << QStringLiteral("ほか %1 件").arg(count - kShownUnencodableEntries);
  }
  return services_.AskToProceed(
      this, kTitle,
      QStringLiteral("次の置き換えには Shift_JIS で保存できない文字があり、「?」になります。\r\n"
                     "%1\r\nこのまま保存しますか?")
          .arg(named.join(QStringLiteral("\r\n"))));
}

void Form2::List1_Click() {
  const int row = SelectedRow();
  if (row < 0) return;
  const SwapEntry entry = workSwapTable_[static_cast<std::size_t>(row)];
  // The kind goes first, so that the To box is cut for the entry's own kind.
  // A kind the list cannot show leaves the choice as it was.
  if (entry.kind == SwapKind::kCell || entry.kind == SwapKind::kWholeText) {
    combo1_->setCurrentIndex(static_cast<int>(entry.kind));
  }
  text1_[0]->setText(ToQString(entry.from));
  text1_[1]->setText(ToQString(entry.to));
}

void Form2::Text1_Change(int index) {
  QLineEdit& box = *text1_[index];
  const std::u16string text = ToU16(box.text());
  std::u16string normal = WithoutControlCharacters(text);
  if (index == 0) {
    normal = FirstFullWidthCharacter(normal);
  } else if (ChosenKind() == SwapKind::kCell) {
    normal = CutToTwoBytes(normal);
  }
  if (normal == text) return;
  const int caret = box.cursorPosition();
  // Raises this handler once more, which finds nothing left to change.
  box.setText(ToQString(normal));
  box.setCursorPosition(std::min(caret, static_cast<int>(box.text().size())));
}

void Form2::keyPressEvent(QKeyEvent* event) {
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

void Form2::VScroll1_Change() {
  tabSpace_ = static_cast<std::uint8_t>(kWidestTab - vScroll1_->value());
  text2_->setText(QString::number(tabSpace_));
}

void Form2::DeleteSwapEntry(int row) {
  workSwapTable_.Remove(static_cast<std::size_t>(row));
  // Between the two removals the rows and the entries are out of step, so
  // the selection that moves with the row must not be picked.
  const QSignalBlocker quiet(list1_);
  delete list1_->takeItem(row);
}

void Form2::AddPreset(int index) {
  const std::vector<VerticalPreset>& presets = VerticalPresets();
  if (index < 0 || static_cast<std::size_t>(index) >= presets.size()) return;
  const std::size_t before = workSwapTable_.Count();
  AddPresetEntries(workSwapTable_, presets[static_cast<std::size_t>(index)]);
  for (std::size_t i = before; i < workSwapTable_.Count(); ++i) {
    AppendRow(workSwapTable_[i]);
  }
  UpdateAddButton();
}

SwapKind Form2::ChosenKind() const {
  return static_cast<SwapKind>(combo1_->currentIndex());
}

int Form2::SelectedRow() const {
  const QList<QListWidgetItem*> selected = list1_->selectedItems();
  return selected.isEmpty() ? -1 : list1_->row(selected.front());
}

void Form2::AppendRow(const SwapEntry& entry) {
  list1_->addItem(RowText(entry));
}

void Form2::UpdateAddButton() {
  command1_[0]->setEnabled(!workSwapTable_.Full());
}

}  // namespace mirotabe
