#include "catalog/catalog.h"

#include <algorithm>
#include <cstring>

#include "text/char_class.h"

namespace movrek {

namespace {

// The first eight folded bytes as a big-endian number. Names hold no NUL, so
// two keys that differ order their names exactly as compare_names does.
std::uint64_t sort_key(std::string_view name) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    key <<= 8;
    if (i < name.size()) key |= fold_case(static_cast<unsigned char>(name[i]));
  }
  return key;
}

}  // namespace

FileEntry FileEntry::over(Arena& arena, const char* const (&data)[4],
                          const std::size_t (&lengths)[4]) {
  // The texts as offsets from the first byte of any of them, compared as
  // numbers: the texts of a list record lie together, but nothing says so.
  std::uintptr_t base = UINTPTR_MAX;
  FileEntry entry;
  for (int i = 0; i < 4; ++i) {
    const auto at = reinterpret_cast<std::uintptr_t>(data[i]);
    if (lengths[i] != kMissing && lengths[i] != 0 && at < base) {
      base = at;
      entry.base_ = data[i];
    }
  }
  bool fits = true;
  for (int i = 0; i < 4; ++i) {
    if (lengths[i] == kMissing) {
      entry.len_[i] = kNone;
      continue;
    }
    // An empty text lies anywhere.
    const std::uintptr_t offset =
        lengths[i] == 0 ? 0 : reinterpret_cast<std::uintptr_t>(data[i]) - base;
    if (lengths[i] >= kLong || offset > UINT16_MAX) {
      fits = false;
      break;
    }
    entry.offset_[i] = static_cast<std::uint16_t>(offset);
    entry.len_[i] = static_cast<std::uint16_t>(lengths[i]);
  }
  if (fits) return entry;
  // Kept unaligned, as arena bytes are: copied in and out.
  const LongTexts texts{{data[0], data[1], data[2], data[3]},
                        {lengths[0], lengths[1], lengths[2], lengths[3]}};
  char* const at = arena.allocate(sizeof texts);
  std::memcpy(at, &texts, sizeof texts);
  FileEntry long_entry;
  long_entry.base_ = at;
  long_entry.len_[0] = kLong;
  return long_entry;
}

Text FileEntry::long_field(int i) const {
  LongTexts texts;
  std::memcpy(&texts, base_, sizeof texts);
  if (texts.lengths[i] == kMissing) return std::nullopt;
  return std::string_view(texts.data[i], texts.lengths[i]);
}

const std::vector<FileEntry>& Area::files() const {
  if (!sorted_) {
    std::sort(files_.begin(), files_.end(), [](const FileEntry& a, const FileEntry& b) {
      if (a.key_ != b.key_) return a.key_ < b.key_;
      const int c = compare_names(a.name(), b.name());
      if (c != 0) return c < 0;
      return a.seq_ > b.seq_;
    });
    sorted_ = true;
  }
  return files_;
}

Group::Group(std::optional<std::string> report_name, std::optional<std::string> header_name,
             std::optional<std::string> footer_name)
    : report(std::move(report_name)),
      header(std::move(header_name)),
      footer(std::move(footer_name)) {}

Area* Group::find_area(std::string_view name) const {
  const auto it = areas_.find(name);
  return it == areas_.end() ? nullptr : it->second.get();
}

std::unique_ptr<Group> make_configured_group() {
  return std::make_unique<Group>(std::nullopt, std::string(kDefaultHeaderName),
                                 std::string(kDefaultFooterName));
}

Catalog::Catalog() {
  chain_.push_back(make_configured_group());
  chain_.front()->chain_position_ = 0;
}

void Catalog::index_area(Group& group, Area& area) {
  index_.add(group, area);
  last_.reset();
}

Group& Catalog::append_group(std::unique_ptr<Group> group) {
  group->chain_position_ = static_cast<long>(chain_.size());
  chain_.push_back(std::move(group));
  Group& g = *chain_.back();
  for (auto& [key, area] : g.areas_)
    index_area(g, *area);
  return g;
}

void Catalog::insert_area(Group& group, std::string_view name, Text description, Text link) {
  place_area(group, name, description, link);
}

Area& Catalog::place_area(Group& group, std::string_view name, Text description, Text link) {
  const auto at = group.areas_.lower_bound(name);
  if (at != group.areas_.end() && names_equal(at->first, name)) return *at->second;
  auto area = std::make_unique<Area>(area_names_.copy(name), keep(description), keep(link));
  Area& a = *area;
  group.areas_.emplace_hint(at, a.name(), std::move(area));
  if (group.chain_position_ >= 0) index_area(group, a);
  return a;
}

void Catalog::insert_file(Area& area, std::string_view name, Text size, Text description,
                          Text origin) {
  const Text texts[4] = {name, size, description, origin};
  std::size_t total = 0;
  for (const Text& t : texts) {
    if (t) total += t->size();
  }
  char* p = total > 0 ? arena_.allocate(total) : nullptr;
  const char* data[4];
  std::size_t lengths[4];
  for (int i = 0; i < 4; ++i) {
    data[i] = p;
    lengths[i] = texts[i] ? texts[i]->size() : FileEntry::kMissing;
    if (texts[i] && !texts[i]->empty()) {
      std::memcpy(p, texts[i]->data(), texts[i]->size());
      p += texts[i]->size();
    }
  }
  add_file(area, FileEntry::over(arena_, data, lengths));
}

void Catalog::add_file(Area& area, const FileEntry& file) {
  // Room for a few files at once: a hub's many small areas then grow with
  // fewer allocations.
  if (area.files_.capacity() == 0) area.files_.reserve(4);
  FileEntry& entry = area.files_.emplace_back(file);
  entry.seq_ = next_seq_++;
  entry.key_ = sort_key(entry.name());
  const std::size_t n = area.files_.size();
  if (area.sorted_ && n > 1) {
    const FileEntry& last = area.files_[n - 2];
    // Arrivals in ascending order keep the list sorted without a sort.
    area.sorted_ = last.key_ < entry.key_ ||
                   (last.key_ == entry.key_ && compare_names(last.name(), entry.name()) < 0);
  }
}

void Catalog::add_input_record(const InputRecord& record, Texts texts) {
  const std::string_view area_name = *record.area_name;
  Placement place{};
  if (last_ && names_equal(last_->area->name(), area_name)) {
    place = *last_;
  } else if (const Placement found = index_.find(area_name); found.area != nullptr) {
    place = found;
  } else {
    Group& home = default_group();
    place = Placement{&home, &place_area(home, area_name, record.area_description, record.link)};
  }
  Area& area = *place.area;
  if (!area.description_ && record.area_description) {
    area.description_ = keep(record.area_description);
  }
  if (!area.link_ && record.link) area.link_ = keep(record.link);
  if (texts == Texts::kCopy) {
    insert_file(area, *record.file_name, record.size, record.file_description, record.origin);
  } else {
    const Text fields[4] = {record.file_name, record.size, record.file_description, record.origin};
    const char* data[4];
    std::size_t lengths[4];
    for (int i = 0; i < 4; ++i) {
      data[i] = fields[i] ? fields[i]->data() : nullptr;
      lengths[i] = fields[i] ? fields[i]->size() : FileEntry::kMissing;
    }
    add_file(area, FileEntry::over(arena_, data, lengths));
  }
  ++place.group->file_count_;
  last_ = place;
}

}  // namespace movrek
