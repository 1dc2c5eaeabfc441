#include "input/new_files_reader.h"

#include <cstring>
#include <string>
#include <vector>

#include "text/text_reader.h"

namespace movrek {

namespace {

// Which InputRecord field a tag letter fills, or nullptr for a line that is dropped.
Text* field_for(char tag, InputRecord& record) {
  switch (tag) {
    case 'A':
      return &record.area_name;
    case 'E':
      return &record.area_description;
    case 'L':
      return &record.link;
    case 'F':
      return &record.file_name;
    case 'S':
      return &record.size;
    case 'D':
      return &record.file_description;
    case 'O':
      return &record.origin;
    default:
      return nullptr;
  }
}

std::string_view cut_at_nul(std::string_view text) {
  if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
    return text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
  }
  return text;
}

}  // namespace

ListResult read_new_files(ByteSource& list, const TemplateList& tags, const ExcludedAreas& excluded,
                          Catalog& catalog, ListObserver* observer) {
  if (tags.empty()) return ListResult::kEmptyTemplate;
  // The list is read into the catalog's bytes and stays there: the catalog
  // keeps each file's texts where they were read.
  TextReader reader(list, catalog.kept_bytes());
  std::vector<std::string_view> lines(tags.size());
  std::size_t first_line = 1;  // of the record being read
  while (true) {
    InputRecord record;
    // A line cut short by a failed read is not taken: its field stays missing.
    const std::size_t taken = reader.read_lines(tags.size(), lines.data());
    if (reader.failed()) return ListResult::kReadFailed;
    const bool cut = reader.lines_held_nul();
    for (std::size_t i = 0; i < taken; ++i) {
      if (Text* field = field_for(tags[i], record)) *field = cut ? cut_at_nul(lines[i]) : lines[i];
    }
    if (record.area_name && record.file_name) {
      if (observer) observer->record(record, first_line);
      if (excluded.empty() || !excluded.contains(*record.area_name)) {
        catalog.add_input_record(record);
      } else if (observer) {
        observer->excluded(record);
      }
    } else if (!reader.eof()) {
      return ListResult::kRecordWithoutNames;
    } else if (observer && taken > 0) {
      observer->left_over(std::span<const std::string_view>(lines.data(), taken));
    }
    if (reader.eof()) return ListResult::kRead;
    first_line += taken;
  }
}

}  // namespace movrek
