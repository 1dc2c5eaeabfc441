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

FileEntry FileEntry::over(Arena& arena, const char* base, const std::size_t (&lengths)[4]) {
  FileEntry entry;
  entry.base_ = base;
  for (int i = 0; i < 4; ++i) {
    if (lengths[i] == kMissing) {
      entry.len_[i] = kNone;
    } else if (lengths[i] < kLong) {
      entry.len_[i] = static_cast<std::uint32_t>(lengths[i]);
    } else {
      // Kept unaligned, as arena bytes are: copied in and out.
      const LongTexts texts{base, {lengths[0], lengths[1], lengths[2], lengths[3]}};
      char* const at = arena.allocate(sizeof texts);
      std::memcpy(at, &texts, sizeof texts);
      entry.base_ = at;
      entry.len_[0] = kLong;
      entry.len_[1] = entry.len_[2] = entry.len_[3] = 0;
      break;
    }
  }
  return entry;
}

Text FileEntry::field(int i) const {
  if (len_[0] == kLong) return long_field(i);
  if (len_[i] == kNone) return std::nullopt;
  std::size_t offset = 0;
  for (int k = 0; k < i; ++k) {
    if (len_[k] != kNone) offset += len_[k];
  }
  return std::string_view(base_ + offset, len_[i]);
}

Text FileEntry::long_field(int i) const {
  LongTexts texts;
  std::memcpy(&texts, base_, sizeof texts);
  if (texts.lengths[i] == kMissing) return std::nullopt;
  std::size_t offset = 0;
  for (int k = 0; k < i; ++k) {
    if (texts.lengths[k] != kMissing) offset += texts.lengths[k];
  }
  return std::string_view(texts.base + offset, texts.lengths[i]);
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
  char* const base = total > 0 ? arena_.allocate(total) : nullptr;
  std::size_t lengths[4];
  char* p = base;
  for (int i = 0; i < 4; ++i) {
    lengths[i] = texts[i] ? texts[i]->size() : FileEntry::kMissing;
    if (texts[i] && !texts[i]->empty()) std::memcpy(p, texts[i]->data(), texts[i]->size());
    if (texts[i]) p += texts[i]->size();
  }
  FileEntry entry = FileEntry::over(arena_, base, lengths);
  entry.seq_ = next_seq_++;
  entry.key_ = sort_key(name);
  if (area.sorted_ && !area.files_.empty()) {
    const FileEntry& last = area.files_.back();
    // Arrivals in ascending order keep the list sorted without a sort.
    area.sorted_ =
        last.key_ < entry.key_ || (last.key_ == entry.key_ && compare_names(last.name(), name) < 0);
  }
  // Room for a few files at once: a hub's many small areas then grow with
  // fewer allocations.
  if (area.files_.capacity() == 0) area.files_.reserve(4);
  area.files_.push_back(entry);
}

void Catalog::add_input_record(const InputRecord& record) {
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
  insert_file(area, *record.file_name, record.size, record.file_description, record.origin);
  ++place.group->file_count_;
  last_ = place;
}

}  // namespace movrek
