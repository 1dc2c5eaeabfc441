#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace movrek {

class Area;

// Finds, by area name under compare_names, the area in the first group in
// chain order that holds one of that name. An open-addressing table of
// (hash, area) slots: a lookup touches one slot and, on a hash match, the
// area. Areas of one name in later groups hang off the first, in chain order.
class AreaIndex {
 public:
  // The area of that name in the group earliest in the chain, or nullptr.
  Area* find(std::string_view name) const;

  // Indexes an area of a group in the chain. REQUIRES: no other area of the
  // same name in that group is indexed.
  void add(Area& area);

 private:
  struct Slot {
    std::uint64_t hash = 0;
    Area* area = nullptr;
  };
  std::size_t slot_for(std::string_view name, std::uint64_t hash) const;
  void grow();

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace movrek
