#include "catalog/area_index.h"

#include "text/names.h"

namespace movrek {

std::size_t AreaIndex::slot_for(std::string_view name, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>(hash) & mask;
  while (slots_[i].area != nullptr) {
    if (slots_[i].hash == hash && names_equal(slots_[i].name, name)) break;
    i = (i + 1) & mask;
  }
  return i;
}

Area* AreaIndex::find(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  return slots_[slot_for(name, NameHash{}(name))].area;
}

Area* AreaIndex::insert(std::string_view name, Area* area) {
  if (2 * (used_ + 1) > slots_.size()) grow();
  const std::uint64_t hash = NameHash{}(name);
  Slot& slot = slots_[slot_for(name, hash)];
  if (slot.area != nullptr) return slot.area;
  slot = Slot{hash, name, area};
  ++used_;
  return nullptr;
}

void AreaIndex::replace(std::string_view name, Area* area) {
  Slot& slot = slots_[slot_for(name, NameHash{}(name))];
  slot.name = name;
  slot.area = area;
}

void AreaIndex::grow() {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.resize(old.empty() ? 64 : old.size() * 2);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.area == nullptr) continue;
    std::size_t i = static_cast<std::size_t>(s.hash) & mask;
    while (slots_[i].area != nullptr)
      i = (i + 1) & mask;
    slots_[i] = s;
  }
}

}  // namespace movrek
