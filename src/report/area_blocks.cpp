#include "report/area_blocks.h"

#include <algorithm>
#include <system_error>

#include "report/area_block.h"

namespace movrek {

namespace {

// Files per unit: enough to make handing a unit over cheap beside making it,
// few enough that the units made ahead take little memory. A small list
// still comes in several units.
constexpr std::size_t kUnitFiles = 512;
constexpr std::size_t kUnitsAtLeast = 64;
// Entries whose texts are fetched ahead in the next area of a run.
constexpr std::size_t kNextAreaPrefetch = 16;

constexpr std::size_t kStopped = SIZE_MAX;

}  // namespace

AreaBlocks::AreaBlocks(std::span<const Group* const> groups, const Settings& settings)
    : settings_(settings) {
  std::size_t total = 0;
  for (const Group* group : groups) {
    for (const Area* area : group->areas()) {
      if (area->file_count() == 0) continue;
      areas_.push_back(area);
      total += area->file_count();
    }
  }
  const std::size_t unit_files = std::clamp<std::size_t>(total / kUnitsAtLeast, 1, kUnitFiles);

  std::size_t k = 0;
  for (const Group* group : groups) {
    group_units_.push_back(units_.size());
    std::size_t run_files = 0;  // in the run of whole areas being planned
    for (const Area* area : group->areas()) {
      const std::size_t n = area->file_count();
      if (n == 0) continue;
      if (n > unit_files) {
        run_files = 0;
        for (std::size_t first = 0; first < n; first += unit_files)
          units_.push_back({k, k + 1, first, std::min(n, first + unit_files), true});
      } else if (run_files == 0 || run_files + n > unit_files) {
        run_files = n;
        units_.push_back({k, k + 1});
      } else {
        run_files += n;
        ++units_.back().end_area;
      }
      ++k;
    }
  }
  group_units_.push_back(units_.size());

  if (units_.size() > 1) {
    try {
      helper_ = std::thread([this] { help(); });
    } catch (const std::system_error&) {
      // No second thread: the caller makes every unit itself.
    }
  }
}

AreaBlocks::~AreaBlocks() {
  stop();
}

void AreaBlocks::stop() {
  signal_.publish([&] { written_.store(kStopped, std::memory_order_release); });
  if (helper_.joinable()) helper_.join();
}

void AreaBlocks::help() {
  while (true) {
    const std::size_t written = written_.load(std::memory_order_acquire);
    if (written == kStopped) return;
    if (!take_and_make(written + kAhead)) {
      if (next_.load(std::memory_order_relaxed) >= units_.size()) return;
      signal_.wait([&] { return written_.load(std::memory_order_acquire) != written; });
    }
  }
}

bool AreaBlocks::take_and_make(std::size_t limit) {
  std::size_t unit = next_.load(std::memory_order_relaxed);
  do {
    if (unit >= units_.size() || unit >= limit) return false;
  } while (!next_.compare_exchange_weak(unit, unit + 1, std::memory_order_relaxed));
  make(unit);
  return true;
}

void AreaBlocks::make(std::size_t index) {
  const Unit& unit = units_[index];
  Slot& slot = slots_[index % kAhead];
  try {
    slot.text.clear();
    if (unit.part_of) {
      const Area& area = *areas_[unit.first_area];
      if (unit.first_file == 0) write_area_head(area, settings_, slot.text);
      slot.byte_total =
          write_file_entries(area.files().subspan(unit.first_file, unit.end_file - unit.first_file),
                             settings_, slot.text);
    } else {
      for (std::size_t k = unit.first_area; k < unit.end_area; ++k) {
        // The first files of the next area are fetched while this one is made.
        if (k + 1 < unit.end_area) {
          const std::span<const FileEntry> next = areas_[k + 1]->files();
          for (std::size_t i = 0; i < next.size() && i < kNextAreaPrefetch; ++i)
            next[i].prefetch();
        }
        write_area_block(*areas_[k], settings_, slot.text);
      }
    }
  } catch (...) {
    slot.failure = std::current_exception();
  }
  signal_.publish([&] { slot.made.store(true, std::memory_order_release); });
}

void AreaBlocks::write_group(std::size_t index, TextWriter& out) {
  for (std::size_t u = group_units_[index]; u < group_units_[index + 1] && out.ok(); ++u) {
    Slot& slot = slots_[u % kAhead];
    // Rather than wait for the helper, make the next unit not taken.
    while (!slot.made.load(std::memory_order_acquire)) {
      if (!take_and_make(u + kAhead)) {
        signal_.wait([&] { return slot.made.load(std::memory_order_acquire); });
      }
    }
    if (slot.failure) std::rethrow_exception(slot.failure);
    out.write_raw(slot.text.bytes());
    const Unit& unit = units_[u];
    if (unit.part_of) {
      area_total_ = unit.first_file == 0 ? slot.byte_total : area_total_ + slot.byte_total;
      const std::size_t n = areas_[unit.first_area]->file_count();
      if (unit.end_file == n) write_area_tail(area_total_, n, settings_, out);
    }
    slot.made.store(false, std::memory_order_relaxed);
    signal_.publish([&] { written_.store(u + 1, std::memory_order_release); });
  }
}

}  // namespace movrek
