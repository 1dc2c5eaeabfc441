#include "catalog/catalog.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

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
  return std::span<const FileEntry>(catalog_->files_.data() + first_, count_);
}

Group::Group(std::optional<std::string> report_name, std::optional<std::string> header_name,
             std::optional<std::string> footer_name)
    : report(std::move(report_name)),
      header(std::move(header_name)),
      footer(std::move(footer_name)) {}

std::unique_ptr<Group> make_configured_group() {
  return std::make_unique<Group>(std::nullopt, std::string(kDefaultHeaderName),
                                 std::string(kDefaultFooterName));
}

namespace {

bool name_less(const Area* a, const Area* b) {
  return compare_names(a->name(), b->name()) < 0;
}

}  // namespace

Catalog::Catalog() {
  chain_.push_back(make_configured_group());
  chain_.front()->chain_position_ = 0;
}

Group& Catalog::append_group(std::unique_ptr<Group> group) {
  group->chain_position_ = static_cast<long>(chain_.size());
  chain_.push_back(std::move(group));
  Group& g = *chain_.back();
  for (const Area* area : g.areas_)
    index_area(areas_[area->number_]);
  last_ = nullptr;  // an area of the name may now come first
  return g;
}

void Catalog::index_area(Area& area) {
  Area* const first = index_.insert(area.name_, &area);
  if (first == nullptr) return;
  const long position = area.group_->chain_position_;
  if (position < first->group_->chain_position_) {
    area.next_same_name_ = first;
    index_.replace(area.name_, &area);
    return;
  }
  Area* before = first;
  while (before->next_same_name_ != nullptr &&
         before->next_same_name_->group_->chain_position_ < position)
    before = before->next_same_name_;
  area.next_same_name_ = before->next_same_name_;
  before->next_same_name_ = &area;
}

const Area* Catalog::find_area(const Group& group, std::string_view name) const {
  if (group.chain_position_ < 0) {
    // A group being configured: its areas are sorted, and not in the index.
    const auto it = std::lower_bound(
        group.areas_.begin(), group.areas_.end(), name,
        [](const Area* area, std::string_view key) { return compare_names(area->name_, key) < 0; });
    return it != group.areas_.end() && names_equal((*it)->name_, name) ? *it : nullptr;
  }
  for (const Area* area = index_.find(name); area != nullptr; area = area->next_same_name_) {
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
  if (group.chain_position_ < 0) {
    group.areas_.insert(
        std::upper_bound(group.areas_.begin(), group.areas_.end(), &area, name_less), &area);
    return area;
  }
  // Areas made in name order, as a list often brings them, stay sorted.
  if (!group.areas_.empty() && compare_names(group.areas_.back()->name_, name) > 0) {
    group.sorted_ = false;
    arranged_ = false;
  }
  group.areas_.push_back(&area);
  index_area(area);
  last_ = nullptr;
  return area;
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

void Catalog::gather_files() {
  std::size_t at = 0;
  for (Area& area : areas_) {
    area.first_ = at;
    at += area.count_;
  }
  unsigned bits = 0;
  while (bits < 32 && (std::uint64_t{1} << bits) < areas_.size())
    ++bits;
  sort_by_area(files_.data(), files_.data() + files_.size(),
               bits > kDigitBits ? bits - kDigitBits : 0);
}

namespace {

// Below this many files a second thread costs more than it saves.
constexpr std::size_t kFilesForTwoThreads = 1 << 16;

}  // namespace

void Catalog::sort_areas_files(std::deque<Area>::iterator first, std::deque<Area>::iterator last,
                               FileEntry* files) {
  for (; first != last; ++first) {
    if (first->count_ < 2) continue;
    FileEntry* const from = files + first->first_;
    std::sort(from, from + first->count_, [](const FileEntry& a, const FileEntry& b) {
      if (a.key_ != b.key_) return a.key_ < b.key_;
      const int c = compare_names(a.name(), b.name());
      if (c != 0) return c < 0;
      return a.seq_ > b.seq_;
    });
  }
}

void Catalog::sort_files() {
  // The areas in two runs of about half the files each: the second on a
  // thread of its own, when there are enough files to be worth one.
  auto split = areas_.end();
  if (files_.size() >= kFilesForTwoThreads) {
    std::size_t half = 0;
    split = areas_.begin();
    while (split != areas_.end() && 2 * half < files_.size())
      half += (split++)->count_;
  }
  std::thread helper;
  if (split != areas_.end()) {
    try {
      helper = std::thread(sort_areas_files, split, areas_.end(), files_.data());
    } catch (const std::system_error&) {
      split = areas_.end();  // no second thread: all on this one
    }
  }
  sort_areas_files(areas_.begin(), split, files_.data());
  if (helper.joinable()) helper.join();
}

void Catalog::arrange() {
  if (arranged_) return;
  for (const auto& group : chain_) {
    if (!group->sorted_) std::sort(group->areas_.begin(), group->areas_.end(), name_less);
    group->sorted_ = true;
  }
  gather_files();
  sort_files();
  arranged_ = true;
}

void Catalog::add_input_record(const InputRecord& record) {
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
  const Text fields[4] = {record.file_name, record.size, record.file_description, record.origin};
  const char* data[4];
  std::size_t lengths[4];
  for (int i = 0; i < 4; ++i) {
    data[i] = fields[i] ? fields[i]->data() : nullptr;
    lengths[i] = fields[i] ? fields[i]->size() : FileEntry::kMissing;
  }
  add_file(*area, FileEntry::over(arena_, data, lengths));
  ++area->group_->file_count_;
  last_ = area;
}

}  // namespace movrek
