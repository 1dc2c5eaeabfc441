#include "catalog/area_index.h"

#include "catalog/catalog.h"
#include "text/names.h"

namespace movrek {

std::size_t AreaIndex::slot_for(std::string_view name, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>(hash) & mask;
  while (slots_[i].entry.area != nullptr) {
    if (slots_[i].hash == hash && names_equal(slots_[i].name, name)) break;
    i = (i + 1) & mask;
  }
  return i;
}

AreaIndex::Entry AreaIndex::find(std::string_view name) const {
  if (slots_.empty()) return {};
  return slots_[slot_for(name, NameHash{}(name))].entry;
}

void AreaIndex::add(Group& group, Area& area) {
  if (2 * (used_ + 1) > slots_.size()) grow();
  const std::uint64_t hash = NameHash{}(area.name());
  Slot& slot = slots_[slot_for(area.name(), hash)];
  if (slot.entry.area == nullptr) {
    slot.hash = hash;
    slot.name = area.name();
    slot.entry = Entry{&group, &area};
    ++used_;
  } else if (slot.entry.group->chain_position() > group.chain_position()) {
    slot.entry = Entry{&group, &area};
  }
}

void AreaIndex::grow() {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.resize(old.empty() ? 64 : old.size() * 2);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.entry.area == nullptr) continue;
    std::size_t i = static_cast<std::size_t>(s.hash) & mask;
    while (slots_[i].entry.area != nullptr)
      i = (i + 1) & mask;
    slots_[i] = s;
  }
}

}  // namespace movrek
