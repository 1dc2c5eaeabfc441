#pragma once

#include <string>
#include <vector>

#include "text/byte_io.h"

namespace movrek {

// One tag byte per template entry, in file order. A, E, L, F, S, D and O name
// the field that the entry's line of every record fills; any other byte makes
// the reader drop that line.
using TemplateList = std::vector<char>;

// Reads the record template in pieces of at most 7 bytes, appending one tag
// per piece: the piece's second byte (NUL for a one-byte piece). Returns 0
// when the file was read to its end, -1 when it cannot be opened (the list is
// unchanged), or the number N of the piece that starts with a NUL byte, or at
// which a read failed; the tags of the pieces before it stay. Throws
// std::bad_alloc when memory runs out, the file system's included.
int read_template(FileSystem& files, const std::string& path, TemplateList& tags);
int read_template(ByteSource& source, TemplateList& tags);

}  // namespace movrek
