#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <exception>
#include <span>
#include <thread>
#include <vector>

#include "catalog/catalog.h"
#include "config/settings.h"
#include "report/layout.h"
#include "text/signal.h"
#include "text/text_writer.h"

namespace movrek {

// The area blocks of the reports of a run, made in memory on a second thread
// as well as on the caller's, and handed to the caller report by report in
// list order. Only the caller writes them: every file call stays on its
// thread, in the order it has without the second one, and the bytes are
// those of writing each block straight into its report.
//
// The blocks come in units of a few hundred files: a run of whole areas, or a
// part of an area too large for one. Both threads take the next unit not yet
// taken, at most kAhead units before the one the caller writes next; the
// caller makes one itself rather than wait. What goes wrong while a unit is
// made (memory running out) goes to the caller when it comes to that unit.
//
// REQUIRES: the catalog is arranged and does not change while the object
// lives. The second thread ends before the destructor returns.
class AreaBlocks {
 public:
  // `groups`: the groups whose reports are written, in the order they are.
  AreaBlocks(std::span<const Group* const> groups, const Settings& settings);
  ~AreaBlocks();
  AreaBlocks(const AreaBlocks&) = delete;
  AreaBlocks& operator=(const AreaBlocks&) = delete;

  // Writes the area blocks of groups[index], in list order, to `out`,
  // stopping when a write fails. Throws std::bad_alloc when memory ran out
  // while they were made. REQUIRES: called for each group in turn, from 0.
  void write_group(std::size_t index, TextWriter& out);

  static constexpr std::size_t kAhead = 8;

 private:
  // Areas [first_area, end_area) of areas_, or when `part_of` is set, files
  // [first_file, end_file) of the one area first_area.
  struct Unit {
    std::size_t first_area = 0;
    std::size_t end_area = 0;
    std::size_t first_file = 0;
    std::size_t end_file = 0;
    bool part_of = false;
  };
  // Where a unit is made. The thread that took the unit fills `text`,
  // `byte_total` and `failure`, then publishes `made`; the caller reads them
  // once it sees `made`, and clears it before the slot's next unit can be
  // taken.
  struct Slot {
    TextWriter text;
    layout::ByteTotal byte_total = 0;  // of a part of an area
    std::exception_ptr failure;
    std::atomic<bool> made{false};
  };

  void help();
  // Takes the next unit when it is before `limit` and makes it.
  bool take_and_make(std::size_t limit);
  void make(std::size_t unit);
  void stop();

  // Set up by the constructor before the second thread starts; read only.
  const Settings& settings_;
  std::vector<const Area*> areas_;        // with files, in report and list order
  std::vector<Unit> units_;               // in the order they are written
  std::vector<std::size_t> group_units_;  // group i: units [group_units_[i], group_units_[i + 1])

  // Shared by both threads. `next_` is taken by compare-and-swap; `written_`
  // and each slot's `made` change through signal_, which both threads wait on.
  std::array<Slot, kAhead> slots_;       // unit u is made in slots_[u % kAhead]
  std::atomic<std::size_t> next_{0};     // the first unit not taken
  std::atomic<std::size_t> written_{0};  // units handed to the caller; kStopped at the end
  Signal signal_;

  // The caller's own.
  layout::ByteTotal area_total_ = 0;  // of the parts of an area written so far
  std::thread helper_;
};

}  // namespace movrek
