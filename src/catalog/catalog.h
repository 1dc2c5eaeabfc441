#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/area_index.h"
#include "text/arena.h"
#include "text/names.h"

// The announcement catalog: the group chain, each group's areas sorted by
// name, each area's files sorted by name. A run fills it once (configured
// groups first, then one record per announced file) and the report writer
// reads it. Nothing is ever removed.
//
// Orders are those of plain sorted insertion under compare_names: areas are
// unique per group and keep the name as first written; files with equal names
// are listed newest first. They are kept with an index and sorts, so that
// placing a record costs O(1), not a walk of every list: files are kept in
// the order they arrive, each marked with its area's number, and are put
// together area by area, and sorted, only when they are first read.
namespace movrek {

// A text that may be missing. A present text may be empty.
using Text = std::optional<std::string_view>;

// The seven texts of one record of the new-files list. The views belong to the
// caller and need only live for the call that takes the record.
struct InputRecord {
  Text area_name;
  Text area_description;
  Text link;
  Text file_name;
  Text size;
  Text file_description;
  Text origin;
};

// One announced file. Its texts live in the catalog's arena: copied there
// back to back, or where a list read into it holds them.
class FileEntry {
 public:
  // A length that marks a missing text.
  static constexpr std::size_t kMissing = SIZE_MAX;

  // An entry over the texts name, size, description and origin, each
  // lengths[i] bytes at data[i]; the arena keeps where they lie when they are
  // too long, or too far apart, for the entry itself. The name must not be
  // missing.
  static FileEntry over(Arena& arena, const char* const (&data)[4],
                        const std::size_t (&lengths)[4]);

  std::string_view name() const {
    return len_[0] != kLong ? std::string_view(base_ + offset_[0], len_[0]) : long_field(0).value();
  }
  Text size() const { return field(1); }
  Text description() const { return field(2); }
  Text origin() const { return field(3); }
  // The number of its area in the catalog.
  std::uint32_t area() const { return area_; }

  // Asks the processor to fetch the first bytes of the texts into its cache
  // ahead of their use: a walk in name order meets them scattered over the
  // arena. Inlined by force: GCC takes a function of prefetches alone for one
  // without effects and drops its calls.
  [[gnu::always_inline]] void prefetch() const {
    std::size_t bytes = 0;
    if (len_[0] != kLong) {
      for (int i = 0; i < 4; ++i) {
        if (len_[i] != kNone && offset_[i] + len_[i] > bytes) bytes = offset_[i] + len_[i];
      }
    }
    __builtin_prefetch(base_);
    if (bytes > 64) __builtin_prefetch(base_ + 64);
    if (bytes > 128) __builtin_prefetch(base_ + 128);
    if (bytes > 192) __builtin_prefetch(base_ + 192);
    if (bytes > 256) __builtin_prefetch(base_ + 256);
  }

 private:
  friend class Catalog;
  friend class Area;
  static constexpr std::uint16_t kNone = UINT16_MAX;
  // In len_[0]: some text is too long, or lies too far from base_, for the
  // 16-bit fields, and base_ points to a LongTexts kept in the arena.
  static constexpr std::uint16_t kLong = UINT16_MAX - 1;
  struct LongTexts {
    const char* data[4];
    std::size_t lengths[4];
  };
  Text field(int i) const {
    if (len_[0] == kLong) return long_field(i);
    if (len_[i] == kNone) return std::nullopt;
    return std::string_view(base_ + offset_[i], len_[i]);
  }
  Text long_field(int i) const;

  const char* base_ = nullptr;              // the first byte of the texts
  std::uint16_t offset_[4] = {0, 0, 0, 0};  // from base_
  std::uint16_t len_[4] = {0, 0, 0, 0};     // kNone for a missing text
  std::uint32_t seq_ = 0;                   // arrival order, for newest-first among equals
  std::uint32_t area_ = 0;                  // the number of its area
  std::uint64_t key_ = 0;                   // folded first 8 name bytes, big-endian
};

class Catalog;
class Group;

// A file area. Areas are made by the catalog, which keeps them.
class Area {
 public:
  // The texts must outlive the area (the catalog keeps them in its arena).
  Area(const Catalog& catalog, Group& group, std::uint32_t number, std::string_view name,
       Text description, Text link)
      : name_(name),
        group_(&group),
        number_(number),
        catalog_(&catalog),
        description_(description),
        link_(link) {}

  std::string_view name() const { return name_; }
  Text description() const { return description_; }
  Text link() const { return link_; }
  // The files in list order: ascending by name, equal names newest first.
  // REQUIRES: the catalog is arranged (Catalog::arrange).
  std::span<const FileEntry> files() const;
  std::size_t file_count() const { return count_; }

 private:
  friend class Catalog;
  // What placing a record reads comes first, to share a cache line.
  std::string_view name_;
  Group* group_;
  Area* next_same_name_ = nullptr;  // the area of this name in a later group
  std::uint32_t count_ = 0;         // files
  std::uint32_t number_;            // in the catalog, from 0 in the order made
  const Catalog* catalog_;
  Text description_;
  Text link_;
  std::size_t first_ = 0;  // of its files in the catalog's, once arranged
};

class Group {
 public:
  // The three names are the group's own; any of them may be missing.
  Group(std::optional<std::string> report, std::optional<std::string> header,
        std::optional<std::string> footer);

  std::optional<std::string> report;
  std::optional<std::string> header;
  std::optional<std::string> footer;

  // Number of files placed into this group by add_input_record.
  std::uint32_t file_count() const { return file_count_; }

  // The areas in list order: ascending by name, one per name. A group not
  // yet in the chain keeps them so as they are inserted; one in the chain
  // gets the areas of new records unsorted until the catalog is arranged.
  std::span<const Area* const> areas() const { return areas_; }

  // The group's place in the chain (0 for the default group), or -1 while it
  // is not in the chain.
  long chain_position() const { return chain_position_; }

 private:
  friend class Catalog;

  std::vector<const Area*> areas_;
  bool sorted_ = true;
  std::uint32_t file_count_ = 0;
  long chain_position_ = -1;  // -1 until the group is in the chain
};

inline constexpr std::string_view kDefaultHeaderName = "header.txt";
inline constexpr std::string_view kDefaultFooterName = "footer.txt";

// A group as configured groups start: no report, the default header and footer.
std::unique_ptr<Group> make_configured_group();

// The catalog is filled and arranged on one thread. Once arranged it is only
// read, and may then be read from any number of threads.
class Catalog {
 public:
  // The chain starts with the default group: no report yet, the default
  // header and footer names, no areas.
  Catalog();
  Catalog(const Catalog&) = delete;
  Catalog& operator=(const Catalog&) = delete;

  Group& default_group() { return *chain_.front(); }
  const Group& default_group() const { return *chain_.front(); }
  // The group chain: the default group, then the configured groups in the
  // order they were appended.
  const std::vector<std::unique_ptr<Group>>& groups() const { return chain_; }

  // Links `group` after the last group of the chain.
  Group& append_group(std::unique_ptr<Group> group);

  // Inserts an area at its sorted place, or does nothing when the group has
  // an area of that name already (the first-written name and its texts stay).
  void insert_area(Group& group, std::string_view name, Text description, Text link);

  // The area of the group whose name equals `name` under compare_names, or
  // nullptr.
  const Area* find_area(const Group& group, std::string_view name) const;

  // Places the file of one record: into the first group in chain order that
  // has an area of the record's area name, or else into a new area of the
  // default group. An area's description and link are set once, by the first
  // record that carries them. The file's texts are not copied: REQUIRES they
  // lie in kept_bytes(), and area_name and file_name are present.
  void add_input_record(const InputRecord& record);

  // Bytes that live as long as the catalog: a reader reads the list into
  // them and places its records, whose texts stay where they were read.
  Arena& kept_bytes() { return arena_; }

  // Puts the catalog in list order once it is filled: every group's areas by
  // name, and every area's files together and by name. A large catalog is
  // sorted on a second thread as well, which has ended when this returns.
  // Cheap when nothing was added since the last call.
  void arrange();

 private:
  friend class Area;
  Area& make_area(Group& group, std::string_view name, Text description, Text link);
  // Puts an area of a group in the chain into the index, after the areas of
  // its name in groups before its own.
  void index_area(Area& area);
  Text keep(Text text) { return text ? Text(arena_.copy(*text)) : std::nullopt; }
  void add_file(Area& area, const FileEntry& entry);
  void gather_files();
  void sort_files();
  // Sorts the files of areas [first, last) by name, equal names newest first.
  static void sort_areas_files(std::deque<Area>::iterator first, std::deque<Area>::iterator last,
                               FileEntry* files);

  std::vector<std::unique_ptr<Group>> chain_;
  std::deque<Area> areas_;  // every area made, by number
  AreaIndex index_;         // area name -> the area in the first group in chain order
  Area* last_ = nullptr;    // the area of the previous record
  // The files in the order they arrived, until arrange() puts them together
  // area by area.
  std::vector<FileEntry> files_;
  bool arranged_ = true;
  Arena arena_;
  // Area names on their own: the index compares them on every record, and a
  // hub's hundred thousand names then share a few megabytes of cache.
  Arena area_names_;
};

}  // namespace movrek
