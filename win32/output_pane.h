// The output pane: the vertical layout drawn by the program, columns from
// the right edge, each cell set as the glyph form rule says (縦組み表示), or
// a message where there is no layout to show. To other programs and to
// assistive technology it is a read-only text: WM_GETTEXT gives the
// layout's text as it is saved, rows joined by CR LF.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/vertical_layout.h"

namespace mirotabe::win32 {

class OutputPane {
 public:
  // The window class's name, and what registers it (once per process).
  static constexpr wchar_t kClassName[] = L"MirotabeOutputPane";
  static void Register(HINSTANCE instance);

  // A child of `parent` with control id `id`.
  static OutputPane* Create(HWND parent, int id);

  HWND window() const { return window_; }

  void SetLayout(VerticalLayout layout);
  // The layout, for the next to be made in its memory; the pane shows
  // nothing until SetLayout.
  VerticalLayout TakeLayout() { return std::move(layout_); }
  const VerticalLayout& layout() const { return layout_; }
  // Shown instead of the layout while not empty.
  void SetMessage(std::u16string message);
  // The layout is older than the input: drawn dimmed.
  void SetStale(bool stale);
  bool stale() const { return stale_; }
  void SetVerticalGlyphs(bool on);
  // The font of the cells; the pane does not own it.
  void SetFont(HFONT font);

  // Scrolls the least that brings `cell` of the layout into view, as the
  // pane follows the input caret's cell; a cell outside it is left.
  void ShowCell(const CellPosition& cell);
  // The columns scrolled past on the right and the rows past at the top.
  int firstColumn() const { return firstColumn_; }
  int firstRow() const { return firstRow_; }
  // How many whole columns and rows the pane shows at once.
  int FitColumns() const;
  int FitRows() const;

  // What WM_GETTEXT gives: the message, or the layout's text.
  const std::u16string& Text();

 private:
  explicit OutputPane(HWND window) : window_(window) {}
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void Paint(HDC dc, const RECT& area);
  void PaintCell(HDC dc, std::u16string_view cell, bool fromEntry, const RECT& box);
  // The cell's side and the pitch of columns and rows, in pixels.
  int CellSide() const;
  int ColumnPitch() const;
  void UpdateScrollBars();
  void Scroll(int bar, WORD request);
  void Changed();

  HWND window_;
  HFONT font_ = nullptr;
  mutable int cellSide_ = 0;  // of font_, once measured
  VerticalLayout layout_;
  std::u16string message_;
  std::u16string text_;
  bool textValid_ = false;
  bool stale_ = false;
  bool verticalGlyphs_ = true;
  // The columns scrolled past on the right, and the rows past at the top.
  int firstColumn_ = 0;
  int firstRow_ = 0;
};

}  // namespace mirotabe::win32
