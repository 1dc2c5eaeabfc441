#pragma once

#include <functional>
#include <optional>
#include <string>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "text/byte_io.h"
#include "text/text_writer.h"

namespace movrek {

// What the writer does with a group, told as it happens so that the caller
// can say so on the console in the order of the run.
enum class ReportStep {
  kNothingToWrite,  // the group holds no file; its report is not touched
  kWriting,         // the report has been created and is about to be written
};
using ReportProgress = std::function<void(ReportStep, const std::string& report)>;

struct ReportResult {
  enum class Status {
    kOk,
    kCannotCreate,  // `file` is the report that could not be created
    kWriteFailed,   // `file` is the report whose writing or closing failed
    kReadFailed,    // `file` is the header or footer that could not be read
  };
  Status status = Status::kOk;
  std::string file;
};

// Writes one report per group that holds files, walking the chain from the
// default group, and tells `progress` about every group it reaches. Stops at
// the first report that cannot be created or written, or whose header or
// footer cannot be read to its end; reports finished before it stay, and so
// does the part of the failing one that was written. Throws std::bad_alloc
// when memory runs out, the file system's included. REQUIRES: the catalog
// is arranged.
ReportResult write_reports(const Catalog& catalog, const Settings& settings, FileSystem& files,
                           const ReportProgress& progress);

enum class CopyResult {
  kCopied,
  kLeftOut,     // no name, or the file cannot be opened
  kReadFailed,  // a read failed before the end; what came before it was copied
};

// Copies a header or footer file into the report: read in the DOS text
// convention in pieces of at most 255 bytes, each written up to its first NUL.
CopyResult copy_text_file(FileSystem& files, const std::optional<std::string>& name,
                          TextWriter& report);

}  // namespace movrek
