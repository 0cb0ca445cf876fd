#include "win32/settings_dialog.h"

// windows.h first: commctrl.h takes its types.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <string>
#include <vector>

#include "core/decimal_text.h"
#include "core/entry_text.h"
#include "core/layout_settings.h"
#include "core/vertical_presets.h"
#include "core/window_words.h"
#include "win32/dialog_look.h"
#include "win32/resource_ids.h"
#include "win32/window_text.h"

namespace mirotabe::win32 {
namespace {

// The dialog's copy of what it edits.
struct SettingsEdit {
  AppSettings& settings;
  SwapTable table;
  bool normalising = false;
  // The dialog's Japanese fonts, which it lets go when it closes.
  HFONT text = nullptr;
  HFONT list = nullptr;
};

void SetFonts(HWND dialog, SettingsEdit& edit) {
  edit.text = JapaneseTextFont(dialog);
  // The list's rows line up in a fixed-pitch face.
  edit.list = JapaneseFont(dialog, L"ＭＳ ゴシック", FIXED_PITCH | FF_MODERN);
  SetFontOfAll(dialog, edit.text);
  SendMessageW(GetDlgItem(dialog, MIROTABE_ENTRY_LIST), WM_SETFONT,
               reinterpret_cast<WPARAM>(edit.list), FALSE);
}

constexpr int kTriggers[] = {MIROTABE_TRIGGER_ENTER, MIROTABE_TRIGGER_F1, MIROTABE_TRIGGER_CHANGE};

HWND Control(HWND dialog, int id) {
  return GetDlgItem(dialog, id);
}

SwapKind ChosenKind(HWND dialog) {
  return SendMessageW(Control(dialog, MIROTABE_KIND_BOX), CB_GETCURSEL, 0, 0) == 1
             ? SwapKind::kWholeText
             : SwapKind::kCell;
}

int SelectedRow(HWND dialog) {
  return static_cast<int>(SendMessageW(Control(dialog, MIROTABE_ENTRY_LIST), LB_GETCURSEL, 0, 0));
}

void AppendRow(HWND dialog, const SwapEntry& entry) {
  SendMessageW(Control(dialog, MIROTABE_ENTRY_LIST), LB_ADDSTRING, 0,
               reinterpret_cast<LPARAM>(Wide(EntryRowText(entry)).c_str()));
}

// The spinner runs from 0 at the top to the widest tab; the width is the
// widest less its value, so that the upper arrow widens.
int TabWidth(HWND dialog) {
  return kMaxTabSpace - GetScrollPos(Control(dialog, MIROTABE_TAB_SPINNER), SB_CTL);
}

void ShowTabWidth(HWND dialog) {
  SetWindowTextW(Control(dialog, MIROTABE_TAB_WIDTH),
                 Wide(Utf16(std::to_wstring(TabWidth(dialog)))).c_str());
}

void SetText(HWND box, const std::u16string& text) {
  SetWindowTextW(box, Wide(text).c_str());
}

// Keeps in a box what it may hold, the caret where it was as far as the
// text allows; the write raises the change once more, which finds nothing.
void Normalise(HWND dialog, SettingsEdit& edit, int id) {
  if (edit.normalising) return;
  HWND box = Control(dialog, id);
  const std::u16string typed = WindowText(box);
  const std::u16string normal =
      id == MIROTABE_FROM_BOX ? EntryFromText(typed) : EntryToText(typed, ChosenKind(dialog));
  if (normal == typed) return;
  DWORD caret = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
  edit.normalising = true;
  SetText(box, normal);
  edit.normalising = false;
  const auto at = std::min<DWORD>(caret, static_cast<DWORD>(normal.size()));
  SendMessageW(box, EM_SETSEL, at, at);
}

// The レイアウト box's numbers: the column length shows "なし" for 0; any
// other text is read as the number it starts with, within the limits.
struct LayoutNumber {
  int box;
  int spinner;
  int max;
};
constexpr LayoutNumber kColumnLength{MIROTABE_COLUMN_LENGTH, MIROTABE_COLUMN_LENGTH_SPIN,
                                     static_cast<int>(kMaxColumnLength)};
constexpr LayoutNumber kColumnGap{MIROTABE_COLUMN_GAP, MIROTABE_COLUMN_GAP_SPIN, kMaxColumnGap};

int ReadNumber(HWND dialog, const LayoutNumber& number) {
  const std::u16string text = WindowText(Control(dialog, number.box));
  long long value = 0;
  for (const char16_t unit : text) {
    const char16_t digit =
        unit >= u'０' && unit <= u'９' ? static_cast<char16_t>(unit - u'０' + u'0') : unit;
    if (digit < u'0' || digit > u'9') break;
    value = std::min<long long>(value * 10 + (digit - u'0'), number.max);
  }
  return static_cast<int>(value);
}

void ShowNumber(HWND dialog, const LayoutNumber& number, int value) {
  value = std::clamp(value, 0, number.max);
  const std::u16string text = value == 0 && number.box == MIROTABE_COLUMN_LENGTH
                                  ? std::u16string(kWholeLinesCaption)
                                  : Utf16(std::to_wstring(value));
  SetText(Control(dialog, number.box), text);
}

// An arrow of a number's spinner: one step from what the box holds.
bool StepNumber(HWND dialog, const NMUPDOWN& step) {
  for (const LayoutNumber& number : {kColumnLength, kColumnGap}) {
    if (step.hdr.idFrom != static_cast<UINT_PTR>(number.spinner)) continue;
    ShowNumber(dialog, number, ReadNumber(dialog, number) + step.iDelta);
    return true;
  }
  return false;
}

void LoadLayout(HWND dialog, const LayoutSettings& layout) {
  // From 0 up, so that the upper arrow adds.
  for (const LayoutNumber& number : {kColumnLength, kColumnGap}) {
    SendMessageW(Control(dialog, number.spinner), UDM_SETRANGE32, 0, number.max);
  }
  ShowNumber(dialog, kColumnLength, static_cast<int>(layout.columnLength));
  ShowNumber(dialog, kColumnGap, layout.columnGap);
  HWND kinsoku = Control(dialog, MIROTABE_KINSOKU_BOX);
  for (const std::u16string_view caption : kKinsokuCaptions) {
    SendMessageW(kinsoku, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(caption).c_str()));
  }
  SendMessageW(kinsoku, CB_SETCURSEL, static_cast<WPARAM>(layout.kinsoku), 0);
  HWND presets = Control(dialog, MIROTABE_PRESET_BOX);
  for (const VerticalPreset& preset : VerticalPresets()) {
    SendMessageW(presets, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(preset.name).c_str()));
  }
  SendMessageW(presets, CB_SETCURSEL, 0, 0);
}

// The chosen preset's entries that the table lacks, at its end.
void AddPreset(HWND dialog, SettingsEdit& edit) {
  const auto index = SendMessageW(Control(dialog, MIROTABE_PRESET_BOX), CB_GETCURSEL, 0, 0);
  const std::vector<VerticalPreset>& presets = VerticalPresets();
  if (index < 0 || static_cast<std::size_t>(index) >= presets.size()) return;
  const std::size_t before = edit.table.Count();
  AddPresetEntries(edit.table, presets[static_cast<std::size_t>(index)]);
  for (std::size_t i = before; i < edit.table.Count(); ++i) AppendRow(dialog, edit.table[i]);
}

void Load(HWND dialog, SettingsEdit& edit) {
  HWND kinds = Control(dialog, MIROTABE_KIND_BOX);
  SendMessageW(kinds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"する時"));
  SendMessageW(kinds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"の前"));
  SendMessageW(kinds, CB_SETCURSEL, 0, 0);
  for (const SwapEntry& entry : edit.table) AppendRow(dialog, entry);
  HWND spinner = Control(dialog, MIROTABE_TAB_SPINNER);
  SetScrollRange(spinner, SB_CTL, 0, kMaxTabSpace, FALSE);
  // A wider tab than the spinner shows stands at its top.
  SetScrollPos(spinner, SB_CTL, kMaxTabSpace - std::min(edit.settings.rules.tabSpace, kMaxTabSpace),
               TRUE);
  ShowTabWidth(dialog);
  const auto trigger = static_cast<std::size_t>(edit.settings.convertTrigger);
  if (trigger < std::size(kTriggers)) CheckDlgButton(dialog, kTriggers[trigger], BST_CHECKED);
  LoadLayout(dialog, edit.settings.rules.columns);
  SetFocus(Control(dialog, MIROTABE_ENTRY_LIST));
}

void AddEntry(HWND dialog, SettingsEdit& edit) {
  const std::u16string from = WindowText(Control(dialog, MIROTABE_FROM_BOX));
  if (from.empty() || edit.table.Full()) return;
  SwapEntry entry{from, WindowText(Control(dialog, MIROTABE_TO_BOX)), ChosenKind(dialog)};
  AppendRow(dialog, entry);
  (void)edit.table.Append(std::move(entry));
  SetText(Control(dialog, MIROTABE_FROM_BOX), {});
  SetText(Control(dialog, MIROTABE_TO_BOX), {});
}

void DeleteEntry(HWND dialog, SettingsEdit& edit) {
  const int row = SelectedRow(dialog);
  if (row < 0) return;
  edit.table.Remove(static_cast<std::size_t>(row));
  SendMessageW(Control(dialog, MIROTABE_ENTRY_LIST), LB_DELETESTRING, static_cast<WPARAM>(row), 0);
  SetText(Control(dialog, MIROTABE_FROM_BOX), {});
  SetText(Control(dialog, MIROTABE_TO_BOX), {});
}

void PickEntry(HWND dialog, const SettingsEdit& edit) {
  const int row = SelectedRow(dialog);
  if (row < 0 || static_cast<std::size_t>(row) >= edit.table.Count()) return;
  const SwapEntry& entry = edit.table[static_cast<std::size_t>(row)];
  // The kind first, so that the To text is kept for the entry's own kind.
  SendMessageW(Control(dialog, MIROTABE_KIND_BOX), CB_SETCURSEL,
               entry.kind == SwapKind::kCell ? 0 : 1, 0);
  SetText(Control(dialog, MIROTABE_FROM_BOX), entry.from);
  SetText(Control(dialog, MIROTABE_TO_BOX), entry.to);
}

void Store(HWND dialog, SettingsEdit& edit) {
  edit.settings.rules.table = edit.table;
  edit.settings.rules.tabSpace = static_cast<std::uint8_t>(TabWidth(dialog));
  // What the box does not show (縦中横, Latin, ruby) stays as it was.
  LayoutSettings& layout = edit.settings.rules.columns;
  layout.columnLength = static_cast<std::size_t>(ReadNumber(dialog, kColumnLength));
  layout.columnGap = static_cast<std::uint8_t>(ReadNumber(dialog, kColumnGap));
  const auto kinsoku = SendMessageW(Control(dialog, MIROTABE_KINSOKU_BOX), CB_GETCURSEL, 0, 0);
  if (kinsoku >= 0 && static_cast<std::size_t>(kinsoku) < kKinsokuCaptions.size()) {
    layout.kinsoku = static_cast<Kinsoku>(kinsoku);
  }
  for (std::size_t i = 0; i < std::size(kTriggers); ++i) {
    if (IsDlgButtonChecked(dialog, kTriggers[i]) == BST_CHECKED) {
      edit.settings.convertTrigger = static_cast<ConvertTrigger>(i);
      break;
    }
  }
}

void Spin(HWND dialog, WORD request) {
  HWND spinner = Control(dialog, MIROTABE_TAB_SPINNER);
  int value = GetScrollPos(spinner, SB_CTL);
  if (request == SB_LINEUP || request == SB_PAGEUP) --value;
  if (request == SB_LINEDOWN || request == SB_PAGEDOWN) ++value;
  SetScrollPos(spinner, SB_CTL, std::clamp(value, 0, static_cast<int>(kMaxTabSpace)), TRUE);
  ShowTabWidth(dialog);
}

// The names screen readers give the controls no caption names: the hidden
// label before each, and the window text where a reader takes that (a
// list box and a scroll bar show none of their own).
void NameControls(HWND dialog) {
  const auto name = [dialog](int id, std::u16string_view text) {
    SetDlgItemTextW(dialog, id, Wide(text).c_str());
  };
  name(MIROTABE_ENTRY_LIST_NAME, kEntryListName);
  name(MIROTABE_ENTRY_LIST, kEntryListName);
  name(MIROTABE_FROM_NAME, kFromBoxName);
  name(MIROTABE_TO_NAME, kToBoxName);
  name(MIROTABE_TAB_SPINNER, kTabWidthName);
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* edit = reinterpret_cast<SettingsEdit*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      edit = reinterpret_cast<SettingsEdit*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SendMessageW(dialog, WM_SETICON, ICON_BIG,
                   GetClassLongPtrW(GetWindow(dialog, GW_OWNER), GCLP_HICON));
      CentreOverOwner(dialog);
      SetFonts(dialog, *edit);
      NameControls(dialog);
      Load(dialog, *edit);
      return FALSE;  // the focus is set
    case WM_VSCROLL:
      if (reinterpret_cast<HWND>(lParam) == Control(dialog, MIROTABE_TAB_SPINNER)) {
        Spin(dialog, LOWORD(wParam));
      }
      return TRUE;
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(lParam)->code == UDN_DELTAPOS &&
          StepNumber(dialog, *reinterpret_cast<const NMUPDOWN*>(lParam))) {
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);  // the box holds the value
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case MIROTABE_ADD_BUTTON:
          AddEntry(dialog, *edit);
          return TRUE;
        case MIROTABE_DELETE_BUTTON:
          DeleteEntry(dialog, *edit);
          return TRUE;
        case MIROTABE_PRESET_ADD:
          AddPreset(dialog, *edit);
          return TRUE;
        case MIROTABE_ENTRY_LIST:
          if (HIWORD(wParam) == LBN_SELCHANGE) PickEntry(dialog, *edit);
          return TRUE;
        case MIROTABE_FROM_BOX:
        case MIROTABE_TO_BOX:
          if (HIWORD(wParam) == EN_CHANGE) Normalise(dialog, *edit, LOWORD(wParam));
          return TRUE;
        case MIROTABE_OK_BUTTON:
          Store(dialog, *edit);
          EndDialog(dialog, IDOK);
          return TRUE;
        case MIROTABE_CANCEL_BUTTON:
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

bool RunSettingsDialog(HWND owner, AppSettings& settings) {
  SettingsEdit edit{settings, settings.rules.table};
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  const INT_PTR answer = DialogBoxParamW(instance, MAKEINTRESOURCEW(MIROTABE_SETTINGS_DIALOG),
                                         owner, &Procedure, reinterpret_cast<LPARAM>(&edit));
  for (HFONT font : {edit.text, edit.list}) {
    if (font != nullptr) DeleteObject(font);
  }
  return answer == IDOK;
}

}  // namespace mirotabe::win32
