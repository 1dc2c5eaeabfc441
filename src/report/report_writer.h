#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "text/text_writer.h"

namespace movrek {

// Where the writer's console lines go (standard output in a run).
using ConsoleOut = std::function<void(std::string_view)>;

// Opens report files; a test may hand out memory sinks instead.
using SinkFactory = std::function<std::unique_ptr<ByteSink>(const std::string& path)>;

struct ReportResult {
  enum class Status { kOk, kCannotCreate, kWriteFailed };
  Status status = Status::kOk;
  std::string report;  // the report that could not be created or written
};

// Writes one report per group that holds files, walking the chain from the
// default group, and prints one console line per group. Stops at the first
// report that cannot be created, or whose writing or closing fails; reports
// finished before it stay.
ReportResult write_reports(const Catalog& catalog, const Settings& settings,
                           const ConsoleOut& console, const SinkFactory& open_sink);

// Copies a header or footer file into the report: read in the DOS text
// convention in pieces of at most 255 bytes, each written up to its first NUL.
// Returns false when the name is missing or the file cannot be opened.
bool copy_text_file(const std::optional<std::string>& name, TextWriter& report);

// The file entry and area block formatting, for tests.
void write_area_block(const Area& area, const Settings& settings, TextWriter& out);

}  // namespace movrek
