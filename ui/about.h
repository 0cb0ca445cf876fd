// The program's name, version and author, and its manual, as the help
// menu shows and opens them.
#pragma once

#include <QString>
#include <string>

namespace mirotabe {

// Where the author can be found. Either may be empty: a build names the
// real addresses or none (MIROTABE_HOMEPAGE, MIROTABE_EMAIL).
struct AuthorAddresses {
  QString homePage;
  QString email;
};

// The addresses this build was configured with.
AuthorAddresses ConfiguredAuthorAddresses();

// "Mirotabe Ver." and the version, "By Orubeni", then the home page and the
// e-mail address where `author` names them: lines joined by CR LF, with no
// break at the end.
QString VersionText(const AuthorAddresses& author);

// What the version box says below VersionText: the licence, and the
// libraries the program is built on with theirs (Qt's version as it runs).
QString AboutDetails();

// Where the manual (the user's manual as HTML) of a program in
// `programFolder` (ending in '/') is: installed or in a build tree, it
// keeps the same place relative to the program's folder, so that any copy
// opens its own.
std::string ManualPath(const std::string& programFolder);

}  // namespace mirotabe
