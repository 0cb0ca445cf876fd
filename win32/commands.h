// The main window's menus and their shortcuts, from one table: the menu bar
// and the accelerator table are both built from it, so that the shortcut a
// menu shows is the one that works.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/charset.h"

namespace mirotabe::win32 {

// The WM_COMMAND ids of the window's commands.
enum class Command : WORD {
  kNone = 0,  // a separator
  kOpen = 100,
  kSaveOutput,
  kSaveInput,
  kExit,
  kUndo,
  kCut,
  kCopy,
  kPaste,
  kSelectAll,
  kCopyVertical,
  kSaveImage,
  kSaveEbook,
  kPageSetup,
  kImageGrid,
  kVerticalGlyphs,
  kZoomIn,
  kZoomOut,
  kZoomReset,
  kSettings,
  kVersion,
  kClearRecent,
  // The reopen submenu's encodings, in kReopenEncodings' order, from here.
  kReopen = 200,
  // The recent files, newest first, from here (kMaxRecentFiles of them).
  kRecent = 300,
  // The pictures' cell size of that many pixels, at this plus the size.
  kCellSize = 400,
};

// A submenu an item opens, whose items the window knows.
enum class Submenu {
  kNone,
  kReopen,     // the encodings to read the file again in
  kRecent,     // the recent files, filled each time it opens
  kCellSizes,  // the pictures' cell sizes, filled each time it opens
};

// A shortcut: a virtual key with Ctrl and perhaps Shift; key 0 for none.
struct Shortcut {
  WORD key = 0;
  bool shift = false;
};

struct MenuItem {
  std::u16string_view caption;  // with its access key: "開く(&O)"
  Command command = Command::kNone;
  Shortcut shortcut = {};
  Submenu submenu = Submenu::kNone;
};

// A menu of the bar; one without items is a command of its own (設定(&S)).
struct MenuColumn {
  std::u16string_view caption;
  std::span<const MenuItem> items;
  Command command = Command::kNone;
};

// The menu bar, left to right.
std::span<const MenuColumn> MenuTable();

// The caption with its shortcut as the menu shows it: "開く(&O)\tCtrl+O".
std::u16string MenuCaption(const MenuItem& item);

// The menu bar of the table; the window owns it.
HMENU BuildMenuBar();

// Where the table puts `submenu` in the menu bar `bar`.
struct SubmenuPlace {
  HMENU parent = nullptr;  // the menu that holds the item
  UINT position = 0;       // the item's place in it
  HMENU menu = nullptr;    // the submenu itself
};
SubmenuPlace FindSubmenu(HMENU bar, Submenu submenu);

// The command that reads the file again in `encoding`, and back.
Command ReopenCommand(TextEncoding encoding);
std::optional<TextEncoding> ReopenedEncoding(Command command);

// The command that opens the `index`th recent file (from 0), and back.
Command RecentCommand(std::size_t index);
std::optional<std::size_t> RecentIndex(Command command);
// The command that sets the pictures' cell size to `size` pixels, and back.
Command CellSizeCommand(int size);
std::optional<int> CellSizeOf(Command command);
// The accelerators of the table's shortcuts; the caller destroys it.
HACCEL BuildAccelerators();

}  // namespace mirotabe::win32
