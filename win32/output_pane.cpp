#include "win32/output_pane.h"

#include <algorithm>
#include <utility>

#include "core/glyph_form.h"
#include "core/window_words.h"
#include "win32/pane_accessible.h"
#include "win32/window_text.h"

namespace mirotabe::win32 {
namespace {

constexpr int kMargin = 4;  // pixels at 96 dots per inch
constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kStaleInk = RGB(128, 128, 128);

char32_t FirstCharacter(std::u16string_view cell) {
  if (cell.empty()) return 0;
  const char32_t lead = cell[0];
  if (lead >= 0xD800 && lead < 0xDC00 && cell.size() > 1 && cell[1] >= 0xDC00 && cell[1] < 0xE000) {
    return 0x10000 + ((lead - 0xD800) << 10) + (cell[1] - 0xDC00);
  }
  return lead;
}

int Scaled(HWND window, int pixels) {
  return MulDiv(pixels, static_cast<int>(GetDpiForWindow(window)), 96);
}

// A quarter turn clockwise about (x, y), or a plain move by (dx, dy).
XFORM TurnAbout(float x, float y) {
  return XFORM{0, 1, -1, 0, x + y, y - x};
}
XFORM MoveBy(float dx, float dy) {
  return XFORM{1, 0, 0, 1, dx, dy};
}

}  // namespace

void OutputPane::Register(HINSTANCE instance) {
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.style = CS_HREDRAW | CS_VREDRAW;
  type.lpfnWndProc = &OutputPane::Procedure;
  type.hInstance = instance;
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  type.lpszClassName = kClassName;
  RegisterClassExW(&type);
}

OutputPane* OutputPane::Create(HWND parent, int id) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  HWND window =
      CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"",
                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL, 0, 0, 0, 0,
                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  return window == nullptr
             ? nullptr
             : reinterpret_cast<OutputPane*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK OutputPane::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* pane = reinterpret_cast<OutputPane*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    pane = new OutputPane(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pane));
  }
  if (pane == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  const LRESULT result = pane->Handle(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete pane;
  }
  return result;
}

LRESULT OutputPane::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(Text().size());
    case WM_GETTEXT:
      return CopyWindowText(Text(), wParam, lParam);
    case WM_SETTEXT:
      return FALSE;  // the pane shows the layout and nothing else
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      Paint(dc, paint.rcPaint);
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_SIZE:
      UpdateScrollBars();
      return 0;
    case WM_HSCROLL:
      Scroll(SB_HORZ, LOWORD(wParam));
      return 0;
    case WM_VSCROLL:
      Scroll(SB_VERT, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      Scroll(SB_VERT, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN);
      return 0;
    case WM_KEYDOWN:
      // Reading goes right to left: the left arrow leads on.
      if (wParam == VK_LEFT) Scroll(SB_HORZ, SB_LINEDOWN);
      if (wParam == VK_RIGHT) Scroll(SB_HORZ, SB_LINEUP);
      if (wParam == VK_UP) Scroll(SB_VERT, SB_LINEUP);
      if (wParam == VK_DOWN) Scroll(SB_VERT, SB_LINEDOWN);
      // Back to the window, which gives the focus to the input pane.
      if (wParam == VK_F6) SetFocus(GetParent(window_));
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(window_);
      return 0;
    case WM_GETOBJECT:
      if (const LRESULT answer = AnswerObjectRequest(window_, wParam, lParam,
                                                     [this] {
                                                       std::u16string name(kOutputPaneName);
                                                       if (stale_) name += kStaleNameMark;
                                                       return name;
                                                     });
          answer != 0) {
        return answer;
      }
      return DefWindowProcW(window_, message, wParam, lParam);
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void OutputPane::SetLayout(VerticalLayout layout) {
  layout_ = std::move(layout);
  firstColumn_ = 0;
  Changed();
}

void OutputPane::SetMessage(std::u16string message) {
  if (message == message_) return;
  message_ = std::move(message);
  Changed();
}

void OutputPane::SetStale(bool stale) {
  if (stale_ == stale) return;
  stale_ = stale;
  InvalidateRect(window_, nullptr, TRUE);
}

void OutputPane::SetVerticalGlyphs(bool on) {
  verticalGlyphs_ = on;
  InvalidateRect(window_, nullptr, TRUE);
}

void OutputPane::SetFont(HFONT font) {
  font_ = font;
  cellSide_ = 0;
  Changed();
}

const std::u16string& OutputPane::Text() {
  if (!textValid_) {
    text_ = message_.empty() ? layout_.Text() : message_;
    textValid_ = true;
  }
  return text_;
}

void OutputPane::Changed() {
  textValid_ = false;
  text_.clear();
  text_.shrink_to_fit();
  UpdateScrollBars();
  InvalidateRect(window_, nullptr, TRUE);
}

int OutputPane::CellSide() const {
  // Measured once a font: a keystroke asks for it several times over.
  if (cellSide_ != 0) return cellSide_;
  HDC dc = GetDC(window_);
  HGDIOBJ old = SelectObject(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window_, dc);
  cellSide_ = std::max(1, static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading));
  return cellSide_;
}

int OutputPane::ColumnPitch() const {
  return CellSide();
}

int OutputPane::FitColumns() const {
  RECT client;
  GetClientRect(window_, &client);
  const int margin = Scaled(window_, kMargin);
  return std::max(1, static_cast<int>(client.right - 2 * margin) / ColumnPitch());
}

int OutputPane::FitRows() const {
  RECT client;
  GetClientRect(window_, &client);
  const int margin = Scaled(window_, kMargin);
  return std::max(1, static_cast<int>(client.bottom - 2 * margin) / CellSide());
}

void OutputPane::ShowCell(const CellPosition& cell) {
  if (!message_.empty() || cell.row >= layout_.RowCount() || cell.column >= layout_.ColumnCount()) {
    return;
  }
  // Columns count from the right edge, where the first line stands.
  const int fromRight = static_cast<int>(layout_.ColumnCount() - 1 - cell.column);
  const int row = static_cast<int>(cell.row);
  const int oldColumn = firstColumn_;
  const int oldRow = firstRow_;
  const auto follow = [](int& first, int wanted, int fit) {
    if (wanted < first) {
      first = wanted;
    } else if (wanted >= first + fit) {
      first = wanted - fit + 1;
    }
  };
  follow(firstColumn_, fromRight, FitColumns());
  follow(firstRow_, row, FitRows());
  if (firstColumn_ == oldColumn && firstRow_ == oldRow) return;
  UpdateScrollBars();
  InvalidateRect(window_, nullptr, TRUE);
}

namespace {

bool SameScrollInfo(HWND window, int bar, const SCROLLINFO& wanted) {
  SCROLLINFO now{sizeof now, SIF_ALL, 0, 0, 0, 0, 0};
  return GetScrollInfo(window, bar, &now) && now.nMin == wanted.nMin && now.nMax == wanted.nMax &&
         now.nPage == wanted.nPage && now.nPos == wanted.nPos;
}

}  // namespace

void OutputPane::UpdateScrollBars() {
  const bool shown = message_.empty();
  const int columns = shown ? static_cast<int>(layout_.ColumnCount()) : 0;
  const int rows = shown ? static_cast<int>(layout_.RowCount()) : 0;
  const int fitColumns = FitColumns();
  const int fitRows = FitRows();
  firstColumn_ = std::clamp(firstColumn_, 0, std::max(0, columns - fitColumns));
  firstRow_ = std::clamp(firstRow_, 0, std::max(0, rows - fitRows));
  // The horizontal bar reads as the columns do: at its right end, the
  // first column.
  SCROLLINFO horizontal{sizeof horizontal,
                        SIF_ALL | SIF_DISABLENOSCROLL,
                        0,
                        std::max(0, columns - 1),
                        static_cast<UINT>(fitColumns),
                        std::max(0, columns - fitColumns) - firstColumn_,
                        0};
  // Set only when they change: each setting draws the bar again.
  if (!SameScrollInfo(window_, SB_HORZ, horizontal))
    SetScrollInfo(window_, SB_HORZ, &horizontal, TRUE);
  SCROLLINFO vertical{sizeof vertical,
                      SIF_ALL | SIF_DISABLENOSCROLL,
                      0,
                      std::max(0, rows - 1),
                      static_cast<UINT>(fitRows),
                      firstRow_,
                      0};
  if (!SameScrollInfo(window_, SB_VERT, vertical)) SetScrollInfo(window_, SB_VERT, &vertical, TRUE);
}

void OutputPane::Scroll(int bar, WORD request) {
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(window_, bar, &info);
  const int page = std::max(1, static_cast<int>(info.nPage));
  const int last = std::max(0, info.nMax - page + 1);
  int position = info.nPos;
  switch (request) {
    case SB_LINEUP:
      --position;
      break;
    case SB_LINEDOWN:
      ++position;
      break;
    case SB_PAGEUP:
      position -= page;
      break;
    case SB_PAGEDOWN:
      position += page;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      position = info.nTrackPos;
      break;
    case SB_TOP:
      position = 0;
      break;
    case SB_BOTTOM:
      position = last;
      break;
    default:
      return;
  }
  position = std::clamp(position, 0, last);
  if (bar == SB_HORZ) {
    firstColumn_ = last - position;
  } else {
    firstRow_ = position;
  }
  UpdateScrollBars();
  InvalidateRect(window_, nullptr, TRUE);
}

void OutputPane::Paint(HDC dc, const RECT& area) {
  RECT client;
  GetClientRect(window_, &client);
  HGDIOBJ oldFont = SelectObject(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, stale_ ? kStaleInk : kInk);
  const int margin = Scaled(window_, kMargin);
  if (!message_.empty()) {
    RECT box{client.left + margin, client.top + margin, client.right - margin,
             client.bottom - margin};
    const std::wstring shown = Wide(message_);
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &box, DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    return;
  }
  const int side = CellSide();
  const int pitch = ColumnPitch();
  const auto columns = static_cast<long long>(layout_.ColumnCount());
  const auto rows = static_cast<long long>(layout_.RowCount());
  // Column k from the right (0 = the first line) stands at
  // right − margin − (k − firstColumn + 1) × pitch.
  const long long right = client.right - margin;
  const long long fromRight = std::max(0LL, (right - area.right) / pitch + firstColumn_);
  const long long toRight = std::min(columns, (right - area.left) / pitch + firstColumn_ + 1);
  const long long rowFrom =
      std::max(0LL, static_cast<long long>((area.top - margin) / side + firstRow_));
  const long long rowTo =
      std::min(rows, static_cast<long long>((area.bottom - margin) / side + firstRow_ + 1));
  SetGraphicsMode(dc, GM_ADVANCED);
  for (long long k = fromRight; k < toRight; ++k) {
    const auto column = static_cast<std::size_t>(columns - 1 - k);
    const auto left = static_cast<LONG>(right - (k - firstColumn_ + 1) * pitch);
    for (long long row = rowFrom; row < rowTo; ++row) {
      const LayoutCell cell = layout_.CellAt(static_cast<std::size_t>(row), column);
      if (cell.text.empty() || cell.text == std::u16string_view(&kBlankCell, 1)) continue;
      const auto top = static_cast<LONG>(margin + (row - firstRow_) * side);
      PaintCell(dc, cell.text, cell.fromEntry, RECT{left, top, left + pitch, top + side});
    }
  }
  SelectObject(dc, oldFont);
}

void OutputPane::PaintCell(HDC dc, std::u16string_view cell, bool fromEntry, const RECT& box) {
  const CellOrientation orientation = OrientationOfCell(cell, verticalGlyphs_, fromEntry);
  const StandInForm form = verticalGlyphs_ && !fromEntry
                               ? StandInFormOf(orientation, FirstCharacter(cell))
                               : StandInForm::kUpright;
  const auto width = static_cast<float>(box.right - box.left);
  const auto height = static_cast<float>(box.bottom - box.top);
  XFORM place = MoveBy(0, 0);
  switch (form) {
    case StandInForm::kUpright:
      break;
    case StandInForm::kTurned:
      place = TurnAbout(static_cast<float>(box.left) + width / 2,
                        static_cast<float>(box.top) + height / 2);
      break;
    case StandInForm::kMirroredPlace:
      // 、 and 。 sit at the bottom left of a horizontal cell.
      place = MoveBy(width * 0.55F, -height * 0.55F);
      break;
    case StandInForm::kSmallKana:
      place = MoveBy(width * static_cast<float>(kSmallKanaShift),
                     -height * static_cast<float>(kSmallKanaShift));
      break;
  }
  SetWorldTransform(dc, &place);
  RECT target = box;
  const std::wstring text = Wide(cell);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &target,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
  ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
}

}  // namespace mirotabe::win32
