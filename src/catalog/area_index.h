#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace movrek {

class Area;

// Finds areas by name under compare_names: one area per name, which the
// catalog keeps as the one earliest in the group chain. An open-addressing
// table of (hash, name, area) slots: a lookup touches one slot and, on a hash
// match, the name's bytes, never the area itself. The names must outlive
// the index.
class AreaIndex {
 public:
  // The area indexed under `name`, or nullptr.
  Area* find(std::string_view name) const;

  // Indexes `area` under `name` and returns nullptr; when an area is indexed
  // under an equal name already, changes nothing and returns that area.
  Area* insert(std::string_view name, Area* area);

  // Indexes `area` in place of the area indexed under an equal name.
  // REQUIRES: one is.
  void replace(std::string_view name, Area* area);

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::string_view name;
    Area* area = nullptr;  // nullptr: a free slot
  };
  std::size_t slot_for(std::string_view name, std::uint64_t hash) const;
  void grow();

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace movrek
