// The settings dialog 「Mirotabe - 設定」: the replacement table, the tab
// width and the conversion trigger. It edits a copy; only OK stores the
// copy into the settings (the caller then writes the settings file).
// Cancel and the close box drop every edit.
#pragma once

#include <windows.h>

#include "core/settings.h"

namespace mirotabe::win32 {

// Modal to `owner`, centred over it. True when OK stored the edits.
bool RunSettingsDialog(HWND owner, AppSettings& settings);

}  // namespace mirotabe::win32
