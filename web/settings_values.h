// The settings as they cross into JavaScript and back: what the page's
// settings dialog, picture dialog and page setup show, and what they hand
// back as chosen, each number within its range as the settings file would
// read it.
#pragma once

#include <emscripten/val.h>

#include <string>
#include <utility>

#include "core/page_setup.h"
#include "core/picture_style.h"
#include "core/settings.h"
#include "platform/charset.h"

namespace mirotabe::web {

// The encodings the save command writes, by the names that the page and
// the module's `encoding` option give them.
inline constexpr std::pair<Charset, const char*> kSaveEncodings[] = {{Charset::Cp932, "cp932"},
                                                                     {Charset::Utf8, "utf-8"}};
const char* SaveEncodingName(Charset charset);
// The first of kSaveEncodings for a name it does not have.
Charset SaveEncodingNamed(const std::string& name);

// An entry as the page holds it: its From, To and stored kind; and where it
// keeps the settings file's own text of a value (see KeptFileText), that
// text, the mark its row shows and what the mark says.
emscripten::val EntryToJs(const SwapEntry& entry);
// The entry of an object made by EntryToJs, or by the page for a new entry
// (From, To and kind only).
SwapEntry EntryFromJs(const emscripten::val& entry);

emscripten::val PictureStyleToJs(const PictureStyle& style);
// The picture style the page chose over `style`, the one it was shown:
// what the page does not give stays as it was.
PictureStyle PictureStyleFromJs(const emscripten::val& chosen, PictureStyle style);

emscripten::val PageSetupToJs(const PageSetup& page);
// The page setup the dialog chose over `page`, the one it was shown; what
// the dialog does not give (a spacing, the line-breaking rule of pages)
// stays as it was; a rule of null is no rule of the pages' own.
PageSetup PageSetupFromJs(const emscripten::val& chosen, PageSetup page);

// The settings as the page reads them (Page.settings(), readSettingsFile()).
emscripten::val SettingsToJs(const AppSettings& settings);

}  // namespace mirotabe::web
