#pragma once

#include <cstddef>
#include <span>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "report/layout.h"
#include "text/text_writer.h"

// The block of an area in a report: its title line and rule, one entry per
// file, and its rule and total line.
namespace movrek {

// Writes the block of an area with files.
void write_area_block(const Area& area, const Settings& settings, TextWriter& out);

// An area block in parts, for one written in pieces. The entries of some of
// the area's files, in list order, give the sum of their size values; the
// tail takes the sum and count of all of them.
void write_area_head(const Area& area, const Settings& settings, TextWriter& out);
layout::ByteTotal write_file_entries(std::span<const FileEntry> files, const Settings& settings,
                                     TextWriter& out);
void write_area_tail(layout::ByteTotal byte_total, std::size_t file_count, const Settings& settings,
                     TextWriter& out);

}  // namespace movrek
