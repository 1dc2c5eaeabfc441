#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

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

// A file that the run reads, which no report may replace.
struct InputFile {
  std::string path;
  Identity id;
};

// The headers and footers that the reports of groups with files copy, each
// once: files the run reads as well. One that is not there is none.
std::vector<InputFile> frame_files(const Catalog& catalog, FileSystem& files);

// The input that a report created at `report` would replace, or nullptr.
// `unknown` is set when the system could not tell which file `report` names,
// and so whether it is one of them.
const InputFile* replaced_input(FileSystem& files, const std::string& report,
                                std::span<const InputFile> inputs, bool& unknown);

struct ReportResult {
  enum class Status {
    kOk,
    kCannotCreate,  // `file` is the report that could not be created
    kWouldReplace,  // `file` is a report that would replace a file the run reads
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
//
// No report replaces a file that the run reads: one of `inputs` (the list,
// the configuration, the template), or a header or footer of a report it
// writes. Such a report is not created; the walk stops there as for a
// report that cannot be created.
ReportResult write_reports(const Catalog& catalog, const Settings& settings, FileSystem& files,
                           std::span<const InputFile> inputs, const ReportProgress& progress);

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
