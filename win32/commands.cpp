#include "win32/commands.h"

#include <array>
#include <vector>

#include "core/picture_style.h"
#include "core/recent_files.h"
#include "core/window_words.h"
#include "textio/encoding_names.h"
#include "win32/window_text.h"

namespace mirotabe::win32 {
namespace {

constexpr std::array kFileItems{
    MenuItem{u"開く(&O)", Command::kOpen, {'O'}},
    MenuItem{kRecentMenuCaption, Command::kNone, {}, Submenu::kRecent},
    MenuItem{kReopenMenuCaption, Command::kNone, {}, Submenu::kReopen},
    MenuItem{u"縦書きを保存(&S)", Command::kSaveOutput, {'S'}},
    MenuItem{u"横書きを保存(&H)", Command::kSaveInput, {'S', true}},
    MenuItem{},
    MenuItem{u"終了(&X)", Command::kExit, {'Q'}},
};
// The edit control keeps its own keys for these; the menu only names them.
constexpr std::array kEditItems{
    MenuItem{u"元に戻す(&U)", Command::kUndo},        MenuItem{},
    MenuItem{u"切り取り(&T)", Command::kCut},         MenuItem{u"コピー(&C)", Command::kCopy},
    MenuItem{u"貼り付け(&P)", Command::kPaste},       MenuItem{},
    MenuItem{u"すべて選択(&A)", Command::kSelectAll},
};
constexpr std::array kConvertItems{
    MenuItem{u"縦書きをコピー(&C)", Command::kCopyVertical},
    MenuItem{u"画像として保存(&I)…", Command::kSaveImage},
    MenuItem{kEbookMenuCaption, Command::kSaveEbook},
    MenuItem{kCellSizeMenuCaption, Command::kNone, {}, Submenu::kCellSizes},
    MenuItem{kImageGridMenuCaption, Command::kImageGrid},
    MenuItem{kPageSetupMenuCaption, Command::kPageSetup},
};
constexpr std::array kViewItems{
    MenuItem{u"縦組み表示(&T)", Command::kVerticalGlyphs},
    MenuItem{},
    MenuItem{u"拡大(&I)", Command::kZoomIn, {VK_OEM_PLUS}},
    MenuItem{u"縮小(&O)", Command::kZoomOut, {VK_OEM_MINUS}},
    MenuItem{u"元の大きさ(&R)", Command::kZoomReset, {'0'}},
};
constexpr std::array kHelpItems{
    MenuItem{u"バージョン情報(&A)", Command::kVersion},
};
constexpr std::array kColumns{
    MenuColumn{u"ファイル(&F)", kFileItems},         MenuColumn{u"編集(&E)", kEditItems},
    MenuColumn{u"変換(&C)", kConvertItems},          MenuColumn{u"表示(&V)", kViewItems},
    MenuColumn{u"設定(&S)", {}, Command::kSettings}, MenuColumn{u"ヘルプ(&H)", kHelpItems},
};

std::u16string KeyName(WORD key) {
  switch (key) {
    case VK_OEM_PLUS:
      return u"+";
    case VK_OEM_MINUS:
      return u"-";
    default:
      return std::u16string(1, static_cast<char16_t>(key));
  }
}

UINT_PTR IdOf(Command command) {
  return static_cast<UINT_PTR>(command);
}

HMENU BuildSubmenu(Submenu submenu) {
  HMENU menu = CreatePopupMenu();
  if (submenu == Submenu::kReopen) {
    for (const OfferedEncoding& offered : kReopenEncodings) {
      AppendMenuW(menu, MF_STRING, IdOf(ReopenCommand(offered.encoding)),
                  Wide(OfferedEncodingCaption(offered)).c_str());
    }
  }
  return menu;
}

}  // namespace

std::span<const MenuColumn> MenuTable() {
  return kColumns;
}

std::u16string MenuCaption(const MenuItem& item) {
  std::u16string caption(item.caption);
  if (item.shortcut.key == 0) return caption;
  caption += item.shortcut.shift ? u"\tCtrl+Shift+" : u"\tCtrl+";
  return caption + KeyName(item.shortcut.key);
}

HMENU BuildMenuBar() {
  HMENU bar = CreateMenu();
  for (const MenuColumn& column : MenuTable()) {
    if (column.items.empty()) {
      AppendMenuW(bar, MF_STRING, IdOf(column.command), Wide(column.caption).c_str());
      continue;
    }
    HMENU menu = CreatePopupMenu();
    for (const MenuItem& item : column.items) {
      if (item.submenu != Submenu::kNone) {
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildSubmenu(item.submenu)),
                    Wide(item.caption).c_str());
      } else if (item.command == Command::kNone) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(menu, MF_STRING, IdOf(item.command), Wide(MenuCaption(item)).c_str());
      }
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), Wide(column.caption).c_str());
  }
  return bar;
}

SubmenuPlace FindSubmenu(HMENU bar, Submenu submenu) {
  const std::span<const MenuColumn> columns = MenuTable();
  for (std::size_t column = 0; column < columns.size(); ++column) {
    const std::span<const MenuItem> items = columns[column].items;
    for (std::size_t item = 0; item < items.size(); ++item) {
      if (items[item].submenu != submenu) continue;
      HMENU parent = GetSubMenu(bar, static_cast<int>(column));
      return {parent, static_cast<UINT>(item), GetSubMenu(parent, static_cast<int>(item))};
    }
  }
  return {};
}

Command ReopenCommand(TextEncoding encoding) {
  WORD offset = 0;
  while (offset < kReopenEncodings.size() && kReopenEncodings[offset].encoding != encoding) {
    ++offset;
  }
  return static_cast<Command>(static_cast<WORD>(Command::kReopen) + offset);
}

std::optional<TextEncoding> ReopenedEncoding(Command command) {
  const auto offset = static_cast<WORD>(command) - static_cast<WORD>(Command::kReopen);
  if (offset < 0 || static_cast<std::size_t>(offset) >= kReopenEncodings.size()) {
    return std::nullopt;
  }
  return kReopenEncodings[static_cast<std::size_t>(offset)].encoding;
}

Command RecentCommand(std::size_t index) {
  return static_cast<Command>(static_cast<std::size_t>(Command::kRecent) + index);
}

std::optional<std::size_t> RecentIndex(Command command) {
  const auto id = static_cast<std::size_t>(command);
  const auto first = static_cast<std::size_t>(Command::kRecent);
  if (id < first || id >= first + kMaxRecentFiles) return std::nullopt;
  return id - first;
}

Command CellSizeCommand(int size) {
  return static_cast<Command>(static_cast<int>(Command::kCellSize) + size);
}

std::optional<int> CellSizeOf(Command command) {
  const int size = static_cast<int>(command) - static_cast<int>(Command::kCellSize);
  if (!IsValidCellSize(size)) return std::nullopt;
  return size;
}

HACCEL BuildAccelerators() {
  std::vector<ACCEL> keys;
  for (const MenuColumn& column : MenuTable()) {
    for (const MenuItem& item : column.items) {
      if (item.shortcut.key == 0) continue;
      const BYTE modifiers = FVIRTKEY | FCONTROL | (item.shortcut.shift ? FSHIFT : 0);
      keys.push_back(ACCEL{modifiers, item.shortcut.key, static_cast<WORD>(item.command)});
    }
  }
  return CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

}  // namespace mirotabe::win32
