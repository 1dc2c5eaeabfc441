#include "input/new_files_reader.h"

#include <cstring>
#include <string>

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

bool read_new_files(ByteSource& list, const TemplateList& tags, const ExcludedAreas& excluded,
                    Catalog& catalog) {
  TextReader reader(list);
  // The lines of one record must outlive the reader's buffer until the record
  // is placed: each template entry keeps its own reused copy.
  std::vector<std::string> copies(tags.size());
  std::string scratch;
  while (true) {
    InputRecord record;
    for (std::size_t i = 0; i < tags.size() && !reader.eof(); ++i) {
      std::string_view line;
      // A line cut short by a failed read stores nothing.
      if (!reader.read_line(line, scratch) || reader.failed()) continue;
      Text* field = field_for(tags[i], record);
      if (field == nullptr) continue;
      copies[i].assign(cut_at_nul(line));
      *field = copies[i];
    }
    if (record.area_name && record.file_name) {
      if (excluded.empty() || !excluded.contains(*record.area_name)) {
        catalog.add_input_record(record);
      }
    } else if (!reader.eof()) {
      return false;
    }
    if (reader.eof()) return true;
  }
}

}  // namespace movrek
