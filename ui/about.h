// The program's name, version and author, and its manual, as the help
// menu shows and opens them.
#pragma once

#include <QString>
#include <string>

namespace mirotabe {

// The author's home page and e-mail address (set when the program is
// configured: MIROTABE_HOMEPAGE, MIROTABE_EMAIL).
QString HomePageAddress();
QString EmailAddress();

// Four lines joined by CR LF, with no break at the end: "Mirotabe Ver."
// and the version, "By Orubeni", the home page, the e-mail address.
QString VersionText();

// Where the manual (the README as HTML) of a program in `programFolder`
// (ending in '/') is: installed or in a build tree, it keeps the same place
// relative to the program's folder, so that any copy opens its own.
std::string ManualPath(const std::string& programFolder);

}  // namespace mirotabe
