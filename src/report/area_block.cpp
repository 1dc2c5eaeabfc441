#include "report/area_block.h"

#include <cstdint>
#include <cstring>

#include "text/format.h"

namespace movrek {

namespace {

using layout::kNameColumns;
using layout::kNameField;
using layout::kRuleByte;
using layout::kSizeColumns;
using layout::kSizeField;

// Entries whose texts are fetched ahead of the one being written.
constexpr std::size_t kPrefetchAhead = 16;

void write_file_entry(const FileEntry& file, const Settings& settings, TextWriter& out,
                      layout::ByteTotal& byte_total) {
  // The name column and, for an entry with a size, the size column, in one
  // piece when they hold what they show; a longer name or size is written
  // whole.
  const std::string_view name = file.name();
  const Text size = file.size();
  if (name.size() <= kNameField && (!size || size->size() <= kSizeField)) {
    char head[kNameColumns + kSizeColumns];
    std::memset(head, ' ', sizeof head);
    if (!name.empty()) std::memcpy(head, name.data(), name.size());
    if (size && !size->empty()) {
      std::memcpy(head + kNameColumns + kSizeField - size->size(), size->data(), size->size());
    }
    out.write_plain(std::string_view(head, size ? sizeof head : kNameColumns));
  } else {
    out.write_plain(name);
    out.fill(' ', static_cast<long>(name.size() < kNameField ? kNameColumns - name.size() : 1));
    if (size) {
      if (size->size() < kSizeField) out.fill(' ', static_cast<long>(kSizeField - size->size()));
      out.write_plain(*size);
      out.put(' ');
    }
  }
  if (size) byte_total += layout::size_value(*size);
  const long width = settings.report_width;
  const long available = layout::description_width(width, size.has_value());
  const long indent = width - available;  // 13, or 22 with a size column
  const std::size_t excess = layout::entry_excess(name.size(), size ? size->size() : 0);
  const Text description = file.description();
  if (description) {
    layout::wrap_words(
        description->empty() ? std::string_view(settings.no_description) : *description, available,
        indent, excess, out);
  }
  if (const Text origin = file.origin(); origin && !origin->empty()) {
    if (description) out.new_line(indent);
    out.write_plain(" Origin: ");
    out.write_plain(*origin);
  }
  out.put('\n');
}

}  // namespace

void write_area_head(const Area& area, const Settings& settings, TextWriter& out) {
  out.write("\n Area ");
  out.write_plain(area.name());
  if (const Text d = area.description(); d && !d->empty()) {
    out.write_plain(" (");
    out.write_plain(*d);
    out.put(')');
  }
  if (const Text l = area.link(); l && !l->empty()) {
    out.write_plain(" from ");
    out.write_plain(*l);
  }
  out.put('\n');
  out.fill(kRuleByte, settings.report_width);
  out.put('\n');
}

layout::ByteTotal write_file_entries(std::span<const FileEntry> files, const Settings& settings,
                                     TextWriter& out) {
  layout::ByteTotal byte_total = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i + kPrefetchAhead < files.size()) files[i + kPrefetchAhead].prefetch();
    write_file_entry(files[i], settings, out, byte_total);
  }
  return byte_total;
}

void write_area_tail(layout::ByteTotal byte_total, std::size_t file_count, const Settings& settings,
                     TextWriter& out) {
  // Counted as the 32-bit signed counter of the report format.
  const auto file_counter = static_cast<std::int32_t>(file_count);
  out.fill(kRuleByte, settings.report_width);
  out.write("\n Total ");
  if (byte_total != 0) {
    out.write_plain("of ");
    out.write_plain(unsigned_decimal_text(byte_total));
    out.write_plain(" bytes in ");
  }
  out.write_plain(decimal_text(file_counter));
  const bool singular = file_counter % 100 != 11 && file_counter % 10 == 1;
  out.write(singular ? " file\n" : " files\n");
}

void write_area_block(const Area& area, const Settings& settings, TextWriter& out) {
  write_area_head(area, settings, out);
  const std::span<const FileEntry> files = area.files();
  write_area_tail(write_file_entries(files, settings, out), files.size(), settings, out);
}

}  // namespace movrek
