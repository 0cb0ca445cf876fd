// The name under which the output is saved, as the system's bytes.
#pragma once

#include <string>

#include "textio/file_types.h"

namespace mirotabe {

// Where a save of the name chosen in the dialog goes: a character device
// that the name leads to is written into as it is named (/dev/null, a
// link to /dev/full), as the converter's -o does; any other name takes
// WithTextExtension.
std::string SaveTarget(const std::string& chosen);

// Whether `path` leads to a character device, which a save writes into.
// A FIFO is not one: opening it would wait for a reader and freeze the
// window. Nor is a block device: a disk is never a text's destination.
bool IsCharacterDevice(const std::string& path);

}  // namespace mirotabe
