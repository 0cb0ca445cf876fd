// File names as the system knows them (bytes, not necessarily UTF-8) and as
// the user is shown them. A name is opened by its bytes; only messages use
// the text form, which may have lost some bytes.
#pragma once

#include <QString>
#include <string>

class QMimeData;

namespace mirotabe {

// The bytes of a name that a dialog gave.
std::string LocalPath(const QString& path);

// `path` for a message: bytes that are not UTF-8 become U+FFFD.
QString ShownPath(const std::string& path);

// The bytes of the first local file that a drag carries, or "" when it
// carries none. They come from the URL's percent-encoding itself, since
// decoding the URL to text loses the bytes that are not UTF-8.
std::string FirstDroppedFile(const QMimeData* data);

}  // namespace mirotabe
