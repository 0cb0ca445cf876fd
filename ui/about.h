// The program's name, version and author, as the help menu shows them.
#pragma once

#include <QString>

namespace mirotabe {

// The author's home page and e-mail address (set when the program is
// configured: MIROTABE_HOMEPAGE, MIROTABE_EMAIL).
QString HomePageAddress();
QString EmailAddress();

// Four lines joined by CR LF, with no break at the end: "Mirotabe Ver."
// and the version, "By Orubeni", the home page, the e-mail address.
QString VersionText();

}  // namespace mirotabe
