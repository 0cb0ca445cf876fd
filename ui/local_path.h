// File names as the system knows them (bytes, not necessarily UTF-8) and as
// the user is shown them. A name is opened by its bytes; only messages use
// the text form, which may have lost some bytes.
#pragma once

#include <QString>
#include <string>

class QMimeData;

namespace mirotabe {

// The bytes of a path that a file dialog gave. Qt shows a name that is not
// UTF-8 with U+FFFD for each bad byte, so a part of `path` that holds
// U+FFFD and names nothing as it stands is taken for the one entry of its
// folder that Qt shows so: the file the user chose keeps its very bytes.
// Where no entry, or more than one, fits, the part stays as it is written.
std::string LocalPath(const QString& path);

// `path` for a message: bytes that are not UTF-8 become U+FFFD.
QString ShownPath(const std::string& path);

// The file: address of the absolute `path`, every byte of it kept.
QString LocalFileUrl(const std::string& path);

// The bytes of the first local file that a drag carries, or "" when it
// carries none. They come from the URL's percent-encoding itself, since
// decoding the URL to text loses the bytes that are not UTF-8.
std::string FirstDroppedFile(const QMimeData* data);

}  // namespace mirotabe
