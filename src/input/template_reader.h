#pragma once

#include <optional>
#include <string>
#include <vector>

#include "text/byte_io.h"

namespace movrek {

// One tag byte per template entry, in file order. A, E, L, F, S, D and O name
// the field that the entry's line of every record fills; any other byte makes
// the reader drop that line.
using TemplateList = std::vector<char>;

struct TemplateResult {
  enum class Status {
    kRead,        // read to its end
    kCannotOpen,  // `open_error` says why; the list is unchanged
    kNulPiece,    // the piece numbered `piece` starts with a NUL byte
    kReadFailed,  // a read failed while piece number `piece` was read
  };
  Status status = Status::kRead;
  int piece = 0;
  int line = 0;  // the line of the file that holds piece number `piece`
  FileError open_error = FileError::kNone;
  std::optional<FileId> identity;  // of the file read, when the system told it

  bool ok() const { return status == Status::kRead; }
};

// Reads the record template in pieces of at most 7 bytes, appending one tag
// per piece: the piece's second byte (NUL for a one-byte piece). Where the
// reading stops early, the tags of the pieces before it stay. Throws
// std::bad_alloc when memory runs out, the file system's included.
TemplateResult read_template(FileSystem& files, const std::string& path, TemplateList& tags);
TemplateResult read_template(ByteSource& source, TemplateList& tags);

// What keeps a template from giving records that the catalog takes.
enum class TemplateFault {
  kNone,
  kEmpty,   // no entry: no line of the list is ever read
  kNoArea,  // no A entry: no record has an area name
  kNoFile,  // no F entry: no record has a file name
  kNoAreaNorFile,
};
TemplateFault template_fault(const TemplateList& tags);

}  // namespace movrek
