#include "win32/page_setup_dialog.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/decimal_text.h"
#include "core/page_setup.h"
#include "core/window_words.h"
#include "platform/windows_text.h"
#include "win32/dialog_look.h"
#include "win32/resource_ids.h"
#include "win32/window_text.h"

namespace mirotabe::win32 {
namespace {

struct PageEdit {
  AppSettings& settings;
  // The rule the pages show at first: one left as shown stays unchosen.
  int shownKinsoku = 0;
  HFONT font = nullptr;
};

HWND Control(HWND dialog, int id) {
  return GetDlgItem(dialog, id);
}

void Fill(HWND dialog, int id, auto captions, int selected) {
  for (const std::u16string_view caption : captions) {
    SendMessageW(Control(dialog, id), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Wide(caption).c_str()));
  }
  SendMessageW(Control(dialog, id), CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int Selected(HWND dialog, int id) {
  return static_cast<int>(SendMessageW(Control(dialog, id), CB_GETCURSEL, 0, 0));
}

void SetText(HWND dialog, int id, const std::u16string& text) {
  SetWindowTextW(Control(dialog, id), Wide(text).c_str());
}

void Check(HWND dialog, int id, bool on) {
  CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool Checked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// A count that shows "入るだけ" for 0.
std::u16string CountText(std::size_t count) {
  return count == 0 ? std::u16string(kAsManyAsFitCaption) : Utf16(std::to_wstring(count));
}

// The number a box holds, within min..max; none where it holds none.
std::optional<double> Number(HWND dialog, int id, double min, double max) {
  const std::optional<double> read = ParseDecimal(WindowText(Control(dialog, id)));
  if (!read) return std::nullopt;
  return std::clamp(*read, min, max);
}

std::size_t Count(HWND dialog, int id, std::size_t max, std::size_t old) {
  if (WindowText(Control(dialog, id)) == kAsManyAsFitCaption) return 0;
  const std::optional<double> read = Number(dialog, id, 0, static_cast<double>(max));
  return read ? static_cast<std::size_t>(*read) : old;
}

void UpdateEnabled(HWND dialog) {
  const bool pages = Checked(dialog, MIROTABE_PAGE_ENABLED);
  const bool genkou = Selected(dialog, MIROTABE_PAGE_PAPER) == static_cast<int>(Paper::kGenkou);
  for (const int id : {MIROTABE_PAGE_PAPER, MIROTABE_PAGE_MARGIN, MIROTABE_PAGE_NUMBERS,
                       MIROTABE_PAGE_KINSOKU, MIROTABE_PAGE_FACE}) {
    EnableWindow(Control(dialog, id), pages);
  }
  for (const int id : {MIROTABE_PAGE_LANDSCAPE, MIROTABE_PAGE_POINTS, MIROTABE_PAGE_LENGTH,
                       MIROTABE_PAGE_COLUMNS}) {
    EnableWindow(Control(dialog, id), pages && !genkou);
  }
}

void Load(HWND dialog, PageEdit& edit) {
  const PictureStyle& style = edit.settings.picture;
  const PageSetup& page = edit.settings.page;
  SetText(dialog, MIROTABE_PAGE_CELL_SIZE, Utf16(std::to_wstring(style.cellSize)));
  Check(dialog, MIROTABE_PAGE_VERTICAL_GLYPHS, style.verticalGlyphs);
  Fill(dialog, MIROTABE_PAGE_RUBY, kRubyCaptions, !style.ruby ? 0 : *style.ruby ? 1 : 2);
  SetText(dialog, MIROTABE_PAGE_SPACING, DecimalText(style.columnSpacing));
  Check(dialog, MIROTABE_PAGE_ENABLED, page.enabled);
  for (int paper = 0; paper <= kMaxPaper; ++paper) {
    const std::string_view label = PaperLabel(static_cast<Paper>(paper));
    SendMessageW(Control(dialog, MIROTABE_PAGE_PAPER), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(WideOf(label).c_str()));
  }
  SendMessageW(Control(dialog, MIROTABE_PAGE_PAPER), CB_SETCURSEL, static_cast<WPARAM>(page.paper),
               0);
  Check(dialog, MIROTABE_PAGE_LANDSCAPE, page.landscape);
  Fill(dialog, MIROTABE_PAGE_FACE, kTypefaceCaptions, static_cast<int>(page.face));
  SetText(dialog, MIROTABE_PAGE_MARGIN, Utf16(std::to_wstring(page.marginMm)));
  SetText(dialog, MIROTABE_PAGE_POINTS, DecimalText(page.characterPoints));
  SetText(dialog, MIROTABE_PAGE_LENGTH, CountText(page.columnLength));
  SetText(dialog, MIROTABE_PAGE_COLUMNS, CountText(page.columns));
  Check(dialog, MIROTABE_PAGE_NUMBERS, page.pageNumbers);
  edit.shownKinsoku = static_cast<int>(PageKinsoku(page, edit.settings.rules.columns.kinsoku));
  Fill(dialog, MIROTABE_PAGE_KINSOKU, kKinsokuCaptions, edit.shownKinsoku);
  UpdateEnabled(dialog);
}

void Store(HWND dialog, PageEdit& edit) {
  PictureStyle& style = edit.settings.picture;
  PageSetup& page = edit.settings.page;
  if (const auto size = Number(dialog, MIROTABE_PAGE_CELL_SIZE, kMinCellSize, kMaxCellSize)) {
    style.cellSize = static_cast<int>(*size);
  }
  style.verticalGlyphs = Checked(dialog, MIROTABE_PAGE_VERTICAL_GLYPHS);
  const int ruby = Selected(dialog, MIROTABE_PAGE_RUBY);
  style.ruby.reset();
  if (ruby > 0) style.ruby = ruby == 1;
  style.columnSpacing = Number(dialog, MIROTABE_PAGE_SPACING, kMinColumnSpacing, kMaxColumnSpacing)
                            .value_or(style.columnSpacing);
  page.enabled = Checked(dialog, MIROTABE_PAGE_ENABLED);
  page.paper = static_cast<Paper>(std::max(0, Selected(dialog, MIROTABE_PAGE_PAPER)));
  page.landscape = Checked(dialog, MIROTABE_PAGE_LANDSCAPE);
  page.face = static_cast<Typeface>(std::max(0, Selected(dialog, MIROTABE_PAGE_FACE)));
  if (const auto margin = Number(dialog, MIROTABE_PAGE_MARGIN, 0, kMaxMarginMm)) {
    page.marginMm = static_cast<int>(*margin);
  }
  page.characterPoints =
      Number(dialog, MIROTABE_PAGE_POINTS, kMinCharacterPoints, kMaxCharacterPoints)
          .value_or(page.characterPoints);
  page.columnLength = Count(dialog, MIROTABE_PAGE_LENGTH, kMaxColumnLength, page.columnLength);
  page.columns = Count(dialog, MIROTABE_PAGE_COLUMNS, kMaxPageColumns, page.columns);
  page.pageNumbers = Checked(dialog, MIROTABE_PAGE_NUMBERS);
  if (const int kinsoku = Selected(dialog, MIROTABE_PAGE_KINSOKU);
      kinsoku >= 0 && (kinsoku != edit.shownKinsoku || page.kinsoku)) {
    page.kinsoku = static_cast<Kinsoku>(kinsoku);
  }
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* edit = reinterpret_cast<PageEdit*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      edit = reinterpret_cast<PageEdit*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      CentreOverOwner(dialog);
      edit->font = JapaneseTextFont(dialog);
      SetFontOfAll(dialog, edit->font);
      Load(dialog, *edit);
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case MIROTABE_PAGE_ENABLED:
          UpdateEnabled(dialog);
          return TRUE;
        case MIROTABE_PAGE_PAPER:
          if (HIWORD(wParam) == CBN_SELCHANGE) UpdateEnabled(dialog);
          return TRUE;
        case MIROTABE_PAGE_OK:
          Store(dialog, *edit);
          EndDialog(dialog, IDOK);
          return TRUE;
        case MIROTABE_PAGE_CANCEL:
        case IDCANCEL:  // Esc
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

bool RunPageSetupDialog(HWND owner, AppSettings& settings) {
  PageEdit edit{settings};
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  const INT_PTR answer = DialogBoxParamW(instance, MAKEINTRESOURCEW(MIROTABE_PAGE_DIALOG), owner,
                                         &Procedure, reinterpret_cast<LPARAM>(&edit));
  if (edit.font != nullptr) DeleteObject(edit.font);
  return answer == IDOK;
}

}  // namespace mirotabe::win32
