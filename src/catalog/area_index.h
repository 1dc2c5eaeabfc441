#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace movrek {

class Area;
class Group;

// Finds, by area name under compare_names, the first group in chain order that
// holds an area of that name. An open-addressing table of (hash, area, group)
// slots: a lookup touches one slot and, on a hash match, the area's name.
class AreaIndex {
 public:
  struct Entry {
    Group* group = nullptr;
    Area* area = nullptr;
  };

  // The entry for `name`, or an entry with no area.
  Entry find(std::string_view name) const;

  // Records that `group` holds `area`, unless a group earlier in the chain
  // already holds an area of that name.
  void add(Group& group, Area& area);

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::string_view name;  // the area's name, so a lookup need not visit the area
    Entry entry;
  };
  std::size_t slot_for(std::string_view name, std::uint64_t hash) const;
  void grow();

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace movrek
