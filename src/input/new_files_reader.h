#pragma once

#include "catalog/catalog.h"
#include "config/settings.h"
#include "input/template_reader.h"
#include "text/byte_io.h"

namespace movrek {

// Reads the new-files list record by record, one whole line per template
// entry, and hands every complete record whose area is not excluded to the
// catalog. Returns true to go on to the reports; false when a record lacks an
// area name or a file name while the file goes on (an empty template list, a
// template without A or F, or a read error), in which case nothing more is read.
bool read_new_files(ByteSource& list, const TemplateList& tags, const ExcludedAreas& excluded,
                    Catalog& catalog);

}  // namespace movrek
