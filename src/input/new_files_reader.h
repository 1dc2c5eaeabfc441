#pragma once

#include <span>
#include <string_view>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "input/template_reader.h"
#include "text/byte_io.h"

namespace movrek {

enum class ListResult {
  kRead,                // every record read; go on to the reports
  kEmptyTemplate,       // no template entry, so no record can be read
  kRecordWithoutNames,  // a record lacks an area or a file name while the list goes on
  kReadFailed,          // a read failed: a record was cut short
};

// Told what the reading leaves out, for a caller that explains a list rather
// than announces it. The views live for the call only.
class ListObserver {
 public:
  virtual ~ListObserver() = default;
  // A record with an area and a file name, which starts at list line `line`
  // (from 1), before it is placed or left out.
  virtual void record(const InputRecord& record, std::size_t line) = 0;
  // A record of an excluded area.
  virtual void excluded(const InputRecord& record) = 0;
  // The lines after the last whole record, as read (a NUL byte included),
  // when they make no record with an area and a file name: the list ends
  // inside a record.
  virtual void left_over(std::span<const std::string_view> lines) = 0;
};

// Reads the new-files list record by record, one whole line per template
// entry, and hands every complete record whose area is not excluded to the
// catalog. A record lacking an area name or a file name stops the reading
// with kRecordWithoutNames unless the list ends there; a read that fails stops
// it with kReadFailed. What was placed before stays in the catalog.
ListResult read_new_files(ByteSource& list, const TemplateList& tags, const ExcludedAreas& excluded,
                          Catalog& catalog, ListObserver* observer = nullptr);

}  // namespace movrek
