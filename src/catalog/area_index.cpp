#include "catalog/area_index.h"

#include "catalog/catalog.h"
#include "text/names.h"

namespace movrek {

std::size_t AreaIndex::slot_for(std::string_view name, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>(hash) & mask;
  while (slots_[i].area != nullptr) {
    if (slots_[i].hash == hash && names_equal(slots_[i].area->name_, name)) break;
    i = (i + 1) & mask;
  }
  return i;
}

Area* AreaIndex::find(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  return slots_[slot_for(name, NameHash{}(name))].area;
}

void AreaIndex::add(Area& area) {
  if (2 * (used_ + 1) > slots_.size()) grow();
  const std::uint64_t hash = NameHash{}(area.name_);
  Slot& slot = slots_[slot_for(area.name_, hash)];
  if (slot.area == nullptr) {
    slot = Slot{hash, &area};
    ++used_;
    return;
  }
  // After the areas of groups before its own.
  const long position = area.group_->chain_position();
  Area** link = &slot.area;
  while (*link != nullptr && (*link)->group_->chain_position() < position)
    link = &(*link)->next_same_name_;
  area.next_same_name_ = *link;
  *link = &area;
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
