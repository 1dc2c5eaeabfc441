#include "catalog/catalog.h"

#include <algorithm>
#include <cstring>
#include <new>

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

std::span<const FileEntry> Area::files() const {
  catalog_->arrange_files();
  FileEntry* const first = catalog_->files_.data() + first_;
  if (!sorted_) {
    std::sort(first, first + count_, [](const FileEntry& a, const FileEntry& b) {
      if (a.key_ != b.key_) return a.key_ < b.key_;
      const int c = compare_names(a.name(), b.name());
      if (c != 0) return c < 0;
      return a.seq_ > b.seq_;
    });
    sorted_ = true;
  }
  return std::span<const FileEntry>(first, count_);
}

Group::Group(std::optional<std::string> report_name, std::optional<std::string> header_name,
             std::optional<std::string> footer_name)
    : report(std::move(report_name)),
      header(std::move(header_name)),
      footer(std::move(footer_name)) {}

void Group::sort_areas() const {
  if (sorted_) return;
  std::sort(areas_.begin(), areas_.end(),
            [](const Area* a, const Area* b) { return compare_names(a->name(), b->name()) < 0; });
  sorted_ = true;
}

std::unique_ptr<Group> make_configured_group() {
  return std::make_unique<Group>(std::nullopt, std::string(kDefaultHeaderName),
                                 std::string(kDefaultFooterName));
}

Catalog::Catalog() {
  chain_.push_back(make_configured_group());
  chain_.front()->chain_position_ = 0;
}

Group& Catalog::append_group(std::unique_ptr<Group> group) {
  group->chain_position_ = static_cast<long>(chain_.size());
  chain_.push_back(std::move(group));
  Group& g = *chain_.back();
  for (Area* area : g.areas_)
    index_.add(*area);
  last_ = nullptr;  // an area of the name may now come first
  return g;
}

Area* Catalog::find_area(const Group& group, std::string_view name) const {
  if (group.chain_position_ < 0) {
    // A group being configured: a few areas, not yet in the index.
    for (Area* area : group.areas_) {
      if (names_equal(area->name_, name)) return area;
    }
    return nullptr;
  }
  for (Area* area = index_.find(name); area != nullptr; area = area->next_same_name_) {
    if (area->group_ == &group) return area;
  }
  return nullptr;
}

void Catalog::insert_area(Group& group, std::string_view name, Text description, Text link) {
  if (find_area(group, name) == nullptr) make_area(group, name, description, link);
}

Area& Catalog::make_area(Group& group, std::string_view name, Text description, Text link) {
  Area& area = areas_.emplace_back(*this, group, static_cast<std::uint32_t>(areas_.size()),
                                   area_names_.copy(name), keep(description), keep(link));
  // Areas made in name order, as a configuration often lists them, stay sorted.
  if (!group.areas_.empty() && compare_names(group.areas_.back()->name_, name) > 0) {
    group.sorted_ = false;
  }
  group.areas_.push_back(&area);
  if (group.chain_position_ >= 0) {
    index_.add(area);
    last_ = nullptr;
  }
  return area;
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
  // Arrival numbers and counts are 32-bit: a list of more files than that
  // (160 GiB of entries alone) is more than the memory of any host.
  if (files_.size() >= UINT32_MAX) throw std::bad_alloc();
  FileEntry& entry = files_.emplace_back(file);
  entry.seq_ = static_cast<std::uint32_t>(files_.size() - 1);
  entry.area_ = area.number_;
  entry.key_ = sort_key(entry.name());
  ++area.count_;
  arranged_ = false;
}

namespace {

// Sorts files by area number, a radix of kDigitBits bits at a time from the
// top (an in-place, American flag, sort): each file is swapped straight into
// the next free slot of its bucket, and each bucket is then sorted by the
// next digit. With a hundred thousand areas a single pass over all of them
// would swap each file into one of that many places, a cache miss for
// nearly every file; two passes of a few hundred buckets stay in the cache.
constexpr unsigned kDigitBits = 9;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;

void sort_by_area(FileEntry* first, FileEntry* last, unsigned shift) {
  const auto bucket = [shift](const FileEntry& file) {
    return (file.area() >> shift) & (kBuckets - 1);
  };
  std::size_t next[kBuckets] = {};
  std::size_t end[kBuckets];
  for (const FileEntry* file = first; file != last; ++file)
    ++next[bucket(*file)];
  std::size_t at = 0;
  for (std::size_t b = 0; b < kBuckets; ++b) {
    const std::size_t n = next[b];
    next[b] = at;
    at += n;
    end[b] = at;
  }
  for (std::size_t b = 0; b < kBuckets; ++b) {
    while (next[b] < end[b]) {
      FileEntry& file = first[next[b]];
      const std::size_t home = bucket(file);
      if (home == b) {
        ++next[b];
      } else {
        std::swap(file, first[next[home]++]);
      }
    }
  }
  if (shift == 0) return;
  const unsigned lower = shift > kDigitBits ? shift - kDigitBits : 0;
  std::size_t start = 0;
  for (std::size_t b = 0; b < kBuckets; ++b) {
    if (end[b] - start > 1) sort_by_area(first + start, first + end[b], lower);
    start = end[b];
  }
}

}  // namespace

void Catalog::arrange_files() const {
  if (arranged_) return;
  std::size_t at = 0;
  for (const Area& area : areas_) {
    area.first_ = at;
    at += area.count_;
    area.sorted_ = area.count_ < 2;
  }
  unsigned bits = 0;
  while (bits < 32 && (std::uint64_t{1} << bits) < areas_.size())
    ++bits;
  sort_by_area(files_.data(), files_.data() + files_.size(),
               bits > kDigitBits ? bits - kDigitBits : 0);
  arranged_ = true;
}

void Catalog::add_input_record(const InputRecord& record, Texts texts) {
  const std::string_view area_name = *record.area_name;
  Area* area = last_;
  if (area == nullptr || !names_equal(area->name_, area_name)) area = index_.find(area_name);
  if (area == nullptr) {
    area = &make_area(default_group(), area_name, record.area_description, record.link);
  }
  if (!area->description_ && record.area_description) {
    area->description_ = keep(record.area_description);
  }
  if (!area->link_ && record.link) area->link_ = keep(record.link);
  if (texts == Texts::kCopy) {
    insert_file(*area, *record.file_name, record.size, record.file_description, record.origin);
  } else {
    const Text fields[4] = {record.file_name, record.size, record.file_description, record.origin};
    const char* data[4];
    std::size_t lengths[4];
    for (int i = 0; i < 4; ++i) {
      data[i] = fields[i] ? fields[i]->data() : nullptr;
      lengths[i] = fields[i] ? fields[i]->size() : FileEntry::kMissing;
    }
    add_file(*area, FileEntry::over(arena_, data, lengths));
  }
  ++area->group_->file_count_;
  last_ = area;
}

}  // namespace movrek
